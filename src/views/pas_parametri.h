#pragma once

#include "common/Awaiting.h"
#include "settings/ParameterNames.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTreeWidget;
class TCheckList;

// The settings dialog (form_parametri): the places, the view menu's entries,
// the icon and balloon, the proxy and the start-up options. The controls show
// the parameters when the dialog opens and are written back only by "Shrani";
// the two font buttons and the background colour button store their parameter
// at once.
class Tform_parametri : public QDialog
{
    Q_OBJECT
public:
    // The font and colour choosers, awaited; tests answer them in advance.
    using TFontChooser = std::function<QCoro::Task<std::optional<QFont>>(QFont initial)>;
    using TColorChooser = std::function<QCoro::Task<std::optional<QColor>>(QColor initial)>;
    // The place lists: automatic, observation and amateur stations.
    struct TPlaceLists
    {
        QStringList Automatic;
        QStringList Observation;
        QStringList Amateur;
    };
    // Downloads the station catalogue and gives the new place lists; nothing
    // when it failed and the lists are to stay as they are.
    using TCatalogueRefresh = std::function<QCoro::Task<std::optional<TPlaceLists>>()>;

    explicit Tform_parametri(QWidget* parent = nullptr);

    // The place lists, each sorted; a selected place stays selected.
    void SetPlaceLists(const TPlaceLists& lists);
    void SetCatalogueRefresh(TCatalogueRefresh refresh) { FCatalogueRefresh = std::move(refresh); }
    void SetFontChooser(TFontChooser chooser) { FFontChooser = std::move(chooser); }
    void SetColorChooser(TColorChooser chooser) { FColorChooser = std::move(chooser); }

    // Whether "Shrani" asked to save, and 0 once the values were saved (-1 before).
    bool SaveRequested = false;
    int Saved = -1;

    // One control bound to one parameter: loading shows the value in the
    // control, saving stores what the control holds.
    struct TBinding
    {
        TParam Parameter;
        QObject* Control;
        int Row; // the item of a check list; -1 for the whole control
        std::function<void(const QVariant& value)> Show;
        std::function<QVariant()> Value;
    };
    // Every parameter the dialog shows, in the order of loading and saving.
    const QList<TBinding>& Bindings() const { return FBindings; }

    // The page shown: 0 "Splošno", 1 "Področje za obvestila", 2 "Sistemske
    // nastavitve" (3, "Osveževanje", has no node and is never shown).
    int CurrentPage() const;

    // The size it opens at on a screen with this much room: the whole content
    // when there is room for it, else the room there is (the pages scroll),
    // never below the layout's minimum.
    QSize InitialSize(const QSize& room) const;

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // The handlers, by the controls they serve.
    void FormShow();
    void btn_potrdiClick();
    void btn_prekiniClick();
    void izberi_menuChange();
    void tb_intervalChange(int position);
    void tb_interval2Change(int position);
    void rg_tip_postajeClick();
    void cb_api_nastavitveClick();
    void lb_temp_ikonaClickCheck();
    bool db_proxy_portExit();
    QCoro::Task<> btn_fontClick();
    QCoro::Task<> btn_font_bg_colorClick();
    QCoro::Task<> BitBtn1Click();
    QCoro::Task<> btnOsveziKrajeClick();
    // FormCloseQuery: saves when "Shrani" asked for it.
    void done(int result) override;

private:
    QWidget* CreateGeneralPage();
    QWidget* CreateTrayPage();
    QWidget* CreateSystemPage();
    QWidget* CreateRefreshPage();
    void BindControls();
    void SaveAll();
    QFont StoredFont() const;

    TFontChooser FFontChooser;
    TColorChooser FColorChooser;
    TCatalogueRefresh FCatalogueRefresh;
    QList<TBinding> FBindings;

    QTreeWidget* izberi_menu;
    QStackedWidget* pc;
    QPushButton* btn_potrdi;
    QPushButton* btn_prekini;
    QComboBox* cb_moj_kraj_avto;
    QComboBox* cb_moj_kraj_opazovalne;
    QComboBox* cb_moj_kraj_amaterske;
    QPushButton* btnOsveziKraje;
    TCheckList* lb_parametri;
    TCheckList* lb_temp_ikona;
    QPushButton* btn_font;
    QPushButton* btn_font_bg_color;
    QGroupBox* rg_tip_postaje;
    QButtonGroup* FTipPostaje;
    QCheckBox* cb_vreme_opazovalne;
    TCheckList* lb_podatki_v_oblacku;
    QLabel* lbl_interval2;
    QSlider* tb_interval2;
    QGroupBox* rg_prikazem_ikono;
    QButtonGroup* FPrikazemIkono;
    QCheckBox* cb_izklop_oblacka;
    QGroupBox* GroupBox3;
    QLineEdit* db_proxy_server;
    QLineEdit* db_proxy_port;
    QLineEdit* db_proxy_user;
    QLineEdit* db_proxy_pwd;
    QCheckBox* cb_api_nastavitve;
    QCheckBox* cb_minimize;
    QCheckBox* cb_ne_avtomatski_zagon;
    QCheckBox* cb_nova_verzija;
    QCheckBox* cb_caption_writer;
    QPushButton* BitBtn1;
    QLabel* lbl_interval;
    QSlider* tb_interval;
    bool FShown = false;
    bool FSized = false;
    bool FCheckingPort = false;
};

// The 14 view switches the dialog lists, with their items, in list order.
struct TViewSwitchItem
{
    TParam Parameter;
    QString Item;
};
const QList<TViewSwitchItem>& DialogViewSwitches();
