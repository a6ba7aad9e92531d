#include "views/pas_parametri.h"

#include "common/Messages.h"
#include "common/WindowsColor.h"
#include "controls/TCheckList.h"
#include "platform/StartAtLogon.h"
#include "settings/Tparameter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int RefreshMinutesMin = 10;
constexpr int RefreshMinutesMax = 180;
// Room the window manager's frame takes around the dialog.
const QSize FrameAllowance(16, 48);

// A page that scrolls when the dialog is smaller than the page, so that its
// controls never squeeze into each other.
class TPageScroll : public QScrollArea
{
public:
    explicit TPageScroll(QWidget* page)
    {
        setObjectName(page->objectName() + QStringLiteral("Scroll"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(page);
        viewport()->setAutoFillBackground(false);
        page->setAutoFillBackground(false);
    }

    // The whole page: QScrollArea's own hint stops at a few dozen lines.
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(frame, frame);
    }
};

QVariant Get(TParam parameter)
{
    return parametri ? parametri->Get(parameter) : QVariant();
}

void Set(TParam parameter, const QVariant& value)
{
    if (parametri)
        parametri->Set(parameter, value);
}

// Whole numbers only; anything else reads as 0.
int IntOf(const QVariant& value)
{
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : 0;
}

// A check list whose items the user ticks.
TCheckList* CheckList(const QString& name, const QStringList& items, QWidget* parent,
                      int columns = 1)
{
    auto* list = new TCheckList(items, columns, parent);
    list->setObjectName(name);
    return list;
}

// A group of radio buttons in columns; the button ids are the item numbers.
QGroupBox* RadioGroup(const QString& name, const QString& caption, const QStringList& items,
                      QButtonGroup*& group, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    auto* layout = new QGridLayout(box);
    group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], box);
        button->setObjectName(name + QString::number(i));
        group->addButton(button, i);
        layout->addWidget(button, i / 2, i % 2);
    }
    return box;
}

void SelectPlace(QComboBox* list, const QString& place)
{
    list->setCurrentIndex(list->findText(place, Qt::MatchExactly));
}

QLabel* Caption(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

using TBinding = Tform_parametri::TBinding;

// A place list shows its place; a place not in the list selects nothing.
TBinding Bind(TParam parameter, QComboBox* list)
{
    return {parameter, list, -1,
            [list](const QVariant& value) { SelectPlace(list, value.toString()); },
            [list] { return QVariant(list->currentText()); }};
}

// A value out of the slider's range shows as its nearest end.
TBinding Bind(TParam parameter, QSlider* slider)
{
    return {parameter, slider, -1,
            [slider](const QVariant& value) {
                slider->setValue(std::clamp(IntOf(value), slider->minimum(), slider->maximum()));
            },
            [slider] { return QVariant(slider->value()); }};
}

// The checked button's id; an unknown id checks none, and none checked is 0.
TBinding Bind(TParam parameter, QButtonGroup* group)
{
    return {parameter, group, -1,
            [group](const QVariant& value) {
                if (QAbstractButton* button = group->button(IntOf(value)))
                    button->setChecked(true);
            },
            [group] { return QVariant(std::max(0, group->checkedId())); }};
}

enum class TSense { Same, Inverted };

TBinding Bind(TParam parameter, QCheckBox* box, TSense sense = TSense::Same)
{
    const bool inverted = sense == TSense::Inverted;
    return {parameter, box, -1,
            [box, inverted](const QVariant& value) { box->setChecked(value.toBool() != inverted); },
            [box, inverted] { return QVariant(box->isChecked() != inverted); }};
}

TBinding Bind(TParam parameter, QLineEdit* edit)
{
    return {parameter, edit, -1, [edit](const QVariant& value) { edit->setText(value.toString()); },
            [edit] { return QVariant(edit->text()); }};
}

// Shown as a whole number (nothing shows as 0), stored as typed.
TBinding BindNumber(TParam parameter, QLineEdit* edit)
{
    return {parameter, edit, -1,
            [edit](const QVariant& value) { edit->setText(QString::number(IntOf(value))); },
            [edit] { return QVariant(edit->text()); }};
}

TBinding Bind(TParam parameter, TCheckList* list, int row)
{
    return {parameter, list, row,
            [list, row](const QVariant& value) { list->SetChecked(row, value.toBool()); },
            [list, row] { return QVariant(list->IsChecked(row)); }};
}

// Item k is checked when the text holds the digit k.
TBinding BindDigits(TParam parameter, TCheckList* list)
{
    return {parameter, list, -1,
            [list](const QVariant& value) {
                const QString digits = value.toString();
                for (int k = 0; k < list->Count(); ++k)
                    list->SetChecked(k, digits.contains(QChar(u'0' + k)));
            },
            [list] {
                QString digits;
                for (int k = 0; k < list->Count(); ++k)
                    if (list->IsChecked(k))
                        digits += QChar(u'0' + k);
                return QVariant(digits);
            }};
}

} // namespace

const QList<TViewSwitchItem>& DialogViewSwitches()
{
    static const QList<TViewSwitchItem> items{
        {TParam::SLIKA_PADAVINE, QStringLiteral("Radarska slika padavin")},
        {TParam::VREMENSKA_NAPOVED, QStringLiteral("Napoved v besedi")},
        {TParam::NAPOVED_V_SLIKI, QStringLiteral("Napoved v sliki")},
        {TParam::GRAF_TEMPERATURE, QStringLiteral("Graf gibanja temperature mojega kraja")},
        {TParam::SATELITSKA_SLIKA, QStringLiteral("Satelitska slika")},
        {TParam::NAPOVED_BIO, QStringLiteral("Biometeorološka napoved")},
        {TParam::NAPOVED_JULIJCI, QStringLiteral("Napoved za gore")},
        {TParam::NAPOVED_LETALSTVO, QStringLiteral("Napoved za letalstvo v besedi")},
        {TParam::SNEZNA_ODEJA, QStringLiteral("Višina snežne odeje")},
        {TParam::ANIMACIJE, QStringLiteral("Animacije")},
        {TParam::NAPOVED_EVROPA, QStringLiteral("Vreme po Evropi")},
        {TParam::NAPOVED_PRIMORJE, QStringLiteral("Slovensko Primorje")},
        {TParam::VODOSTAJI, QStringLiteral("Vodostaji")},
        {TParam::AMATERSKE_POSTAJE, QStringLiteral("Amaterske postaje")},
    };
    return items;
}

Tform_parametri::Tform_parametri(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("form_parametri"));
    setWindowTitle(QStringLiteral("Parametri programa"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    FFontChooser = [this](QFont initial) -> QCoro::Task<std::optional<QFont>> {
        QPointer<QFontDialog> chooser = new QFontDialog(initial, this);
        chooser->setWindowTitle(QStringLiteral("Pisava"));
        chooser->setAttribute(Qt::WA_DeleteOnClose, false);
        chooser->open();
        const bool closed = co_await pas_lib::TSignalWait(chooser.data(), &QDialog::finished);
        if (!closed || !chooser)
            co_return std::nullopt;
        const bool accepted = chooser->result() == QDialog::Accepted;
        const QFont font = chooser->selectedFont();
        chooser->deleteLater();
        co_return accepted ? std::optional(font) : std::nullopt;
    };
    FColorChooser = [this](QColor initial) -> QCoro::Task<std::optional<QColor>> {
        QPointer<QColorDialog> chooser = new QColorDialog(initial, this);
        chooser->setAttribute(Qt::WA_DeleteOnClose, false);
        chooser->open();
        const bool closed = co_await pas_lib::TSignalWait(chooser.data(), &QDialog::finished);
        if (!closed || !chooser)
            co_return std::nullopt;
        const bool accepted = chooser->result() == QDialog::Accepted;
        const QColor color = chooser->selectedColor();
        chooser->deleteLater();
        co_return accepted&& color.isValid() ? std::optional(color) : std::nullopt;
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(10, 10, 10, 10);
    body->setSpacing(10);
    layout->addLayout(body, 1);

    izberi_menu = new QTreeWidget(this);
    izberi_menu->setObjectName(QStringLiteral("izberi_menu"));
    izberi_menu->setHeaderHidden(true);
    izberi_menu->setRootIsDecorated(false);
    izberi_menu->setEditTriggers(QAbstractItemView::NoEditTriggers);
    izberi_menu->setTextElideMode(Qt::ElideNone);
    QFont bold = izberi_menu->font();
    bold.setBold(true);
    int widest = 0;
    for (const QString& node : {QStringLiteral("Splošno"), QStringLiteral("Področje za obvestila"),
                                QStringLiteral("Sistemske nastavitve")}) {
        new QTreeWidgetItem(izberi_menu, {node});
        widest = std::max(widest, QFontMetrics(bold).horizontalAdvance(node));
    }
    // At least its design width, and never so narrow that a caption is cut.
    izberi_menu->setFixedWidth(std::max(161, widest + 36));
    body->addWidget(izberi_menu);

    pc = new QStackedWidget(this);
    pc->setObjectName(QStringLiteral("pc"));
    for (QWidget* page :
         {CreateGeneralPage(), CreateTrayPage(), CreateSystemPage(), CreateRefreshPage()})
        pc->addWidget(new TPageScroll(page));
    body->addWidget(pc, 1);
    connect(izberi_menu, &QTreeWidget::currentItemChanged, this,
            &Tform_parametri::izberi_menuChange);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setMinimumHeight(43);
    auto* buttons = new QHBoxLayout(panel);
    buttons->setContentsMargins(10, 6, 10, 6);
    buttons->addStretch();
    btn_potrdi = new QPushButton(QStringLiteral("Shrani"), panel);
    btn_potrdi->setObjectName(QStringLiteral("btn_potrdi"));
    btn_potrdi->setDefault(true);
    btn_prekini = new QPushButton(QStringLiteral("Prekini"), panel);
    btn_prekini->setObjectName(QStringLiteral("btn_prekini"));
    buttons->addWidget(btn_potrdi);
    buttons->addWidget(btn_prekini);
    layout->addWidget(panel);
    connect(btn_potrdi, &QPushButton::clicked, this, &Tform_parametri::btn_potrdiClick);
    connect(btn_prekini, &QPushButton::clicked, this, &Tform_parametri::btn_prekiniClick);

    BindControls();
}

void Tform_parametri::BindControls()
{
    // Also the order of writing, in which keys new to Config.ini are appended.
    FBindings = {
        Bind(TParam::KRAJ_AVTOMATSKE, cb_moj_kraj_avto),
        Bind(TParam::KRAJ_OPAZOVALNE, cb_moj_kraj_opazovalne),
        Bind(TParam::KRAJ_AMATERSKE, cb_moj_kraj_amaterske),
        Bind(TParam::INTERVAL_IKONA, tb_interval2),
        Bind(TParam::PRIKAZEM_IKONO, FPrikazemIkono),
        Bind(TParam::INTERVAL_UPDATE, tb_interval),
        Bind(TParam::DOWNLOAD_API, cb_api_nastavitve),
        Bind(TParam::MINIMIZE_ON_X, cb_minimize),
        Bind(TParam::PREVERI_NOVO_VERZIJO, cb_nova_verzija),
        Bind(TParam::CAPTION_WRITER, cb_caption_writer),
        // The box asks for the start, the parameter says "no start".
        Bind(TParam::NE_AVTOMATSKI_ZAGON, cb_ne_avtomatski_zagon, TSense::Inverted),
        Bind(TParam::IZKLOPI_OBLACEK, cb_izklop_oblacka),
        Bind(TParam::TIP_POSTAJE, FTipPostaje),
        Bind(TParam::VREME_OPAZOVALNE, cb_vreme_opazovalne),
        BindNumber(TParam::PROXY_PORT, db_proxy_port),
        Bind(TParam::PROXY_SERVER, db_proxy_server),
        Bind(TParam::PROXY_USER, db_proxy_user),
        Bind(TParam::PROXY_PWD, db_proxy_pwd),
    };
    for (int i = 0; i < DialogViewSwitches().size(); ++i)
        FBindings.append(Bind(DialogViewSwitches()[i].Parameter, lb_parametri, i));
    FBindings.append({Bind(TParam::TI_TRANSPARENT, lb_temp_ikona, 0),
                      Bind(TParam::TI_ZNAK_STOPINJE, lb_temp_ikona, 1),
                      Bind(TParam::VI_TRANSPARENT, lb_temp_ikona, 2),
                      BindDigits(TParam::PODATKI_V_OBLACKU, lb_podatki_v_oblacku)});
}

QWidget* Tform_parametri::CreateGeneralPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* places = new QGroupBox(QStringLiteral("Kraj, najbližji moji lokaciji"), page);
    places->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(places);
    auto placeList = [&](const QString& name) {
        auto* list = new QComboBox(places);
        list->setObjectName(name);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(18);
        return list;
    };
    cb_moj_kraj_avto = placeList(QStringLiteral("cb_moj_kraj_avto"));
    cb_moj_kraj_opazovalne = placeList(QStringLiteral("cb_moj_kraj_opazovalne"));
    cb_moj_kraj_amaterske = placeList(QStringLiteral("cb_moj_kraj_amaterske"));
    grid->addWidget(Caption(QStringLiteral("Label2"), QStringLiteral("Avtomatske postaje"), places),
                    0, 0);
    grid->addWidget(cb_moj_kraj_avto, 0, 1);
    grid->addWidget(Caption(QStringLiteral("Label1"), QStringLiteral("Opazovalne postaje"), places),
                    1, 0);
    grid->addWidget(cb_moj_kraj_opazovalne, 1, 1);
    grid->addWidget(Caption(QStringLiteral("Label7"), QStringLiteral("Amaterske postaje"), places),
                    2, 0);
    grid->addWidget(cb_moj_kraj_amaterske, 2, 1);
    btnOsveziKraje = new QPushButton(QStringLiteral("Osveži seznam krajev"), places);
    btnOsveziKraje->setObjectName(QStringLiteral("btnOsveziKraje"));
    grid->addWidget(btnOsveziKraje, 3, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    connect(btnOsveziKraje, &QPushButton::clicked, this, &Tform_parametri::btnOsveziKrajeClick);
    layout->addWidget(places);

    auto* views = new QGroupBox(QStringLiteral("Podatki, ki me zanimajo"), page);
    views->setObjectName(QStringLiteral("GroupBox7"));
    auto* viewsLayout = new QVBoxLayout(views);
    QStringList items;
    for (const TViewSwitchItem& item : DialogViewSwitches())
        items.append(item.Item);
    lb_parametri = CheckList(QStringLiteral("lb_parametri"), items, views);
    viewsLayout->addWidget(lb_parametri);
    layout->addWidget(views, 1);
    return page;
}

QWidget* Tform_parametri::CreateTrayPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* icon = new QGroupBox(QStringLiteral("Nastavitve ikone v področju za obvestila"), page);
    icon->setObjectName(QStringLiteral("GroupBox4"));
    auto* iconLayout = new QGridLayout(icon);
    lb_temp_ikona = CheckList(QStringLiteral("lb_temp_ikona"),
                              {QStringLiteral("Prosojnost ikone s stopinjami"),
                               QStringLiteral("Znak za stopinje"),
                               QStringLiteral("Prosojnost ikone s stanjem vremena")},
                              icon);
    iconLayout->addWidget(lb_temp_ikona, 0, 0, 2, 1);
    btn_font = new QPushButton(QStringLiteral("Nastavi pisavo"), icon);
    btn_font->setObjectName(QStringLiteral("btn_font"));
    btn_font_bg_color = new QPushButton(QStringLiteral("Izberi ozadje, če ni prosojno"), icon);
    btn_font_bg_color->setObjectName(QStringLiteral("btn_font_bg_color"));
    iconLayout->addWidget(btn_font, 0, 1);
    iconLayout->addWidget(btn_font_bg_color, 1, 1);
    iconLayout->setColumnStretch(0, 1);
    connect(lb_temp_ikona, &TCheckList::ItemChanged, this,
            &Tform_parametri::lb_temp_ikonaClickCheck);
    connect(btn_font, &QPushButton::clicked, this, &Tform_parametri::btn_fontClick);
    connect(btn_font_bg_color, &QPushButton::clicked, this,
            &Tform_parametri::btn_font_bg_colorClick);

    rg_tip_postaje =
        RadioGroup(QStringLiteral("rg_tip_postaje"), QStringLiteral("V namigu prikažem podatke:"),
                   {QStringLiteral("Opazovalne postaje"), QStringLiteral("Avtomatske postaje"),
                    QStringLiteral("Amaterske postaje")},
                   FTipPostaje, icon);
    iconLayout->addWidget(rg_tip_postaje, 2, 0, 1, 2);
    connect(FTipPostaje, &QButtonGroup::idClicked, this, &Tform_parametri::rg_tip_postajeClick);
    cb_vreme_opazovalne = new QCheckBox(QStringLiteral("Vreme iz opazovalne postaje"), icon);
    cb_vreme_opazovalne->setObjectName(QStringLiteral("cb_vreme_opazovalne"));
    iconLayout->addWidget(cb_vreme_opazovalne, 3, 0, 1, 2);
    layout->addWidget(icon);

    auto* balloon = new QGroupBox(QStringLiteral("Podatki, ki jih prikažem v oblačku"), page);
    balloon->setObjectName(QStringLiteral("GroupBox8"));
    auto* balloonLayout = new QVBoxLayout(balloon);
    lb_podatki_v_oblacku = CheckList(QStringLiteral("lb_podatki_v_oblacku"),
                                     {QStringLiteral("Kraj"), QStringLiteral("Vreme"),
                                      QStringLiteral("Temperatura"), QStringLiteral("Vlažnost"),
                                      QStringLiteral("Veter"), QStringLiteral("Zračni tlak")},
                                     balloon, 2);
    balloonLayout->addWidget(lb_podatki_v_oblacku);
    layout->addWidget(balloon);

    auto* intervals = new QGroupBox(QStringLiteral("Časovni intervali"), page);
    intervals->setObjectName(QStringLiteral("GroupBox2"));
    auto* intervalsLayout = new QGridLayout(intervals);
    lbl_interval2 = Caption(QStringLiteral("lbl_interval2"),
                            QStringLiteral("Interval izmenjave ikone 3 [sek]"), intervals);
    lbl_interval2->setToolTip(QStringLiteral("Interval spreminjanja vremena in temperature"));
    tb_interval2 = new QSlider(Qt::Horizontal, intervals);
    tb_interval2->setObjectName(QStringLiteral("tb_interval2"));
    tb_interval2->setRange(0, 20);
    tb_interval2->setTickPosition(QSlider::TicksBelow);
    tb_interval2->setToolTip(lbl_interval2->toolTip());
    intervalsLayout->addWidget(lbl_interval2, 0, 0);
    intervalsLayout->addWidget(tb_interval2, 1, 0);
    rg_prikazem_ikono = RadioGroup(
        QStringLiteral("rg_prikazem_ikono"), QStringLiteral("Katero ikono prikažem"),
        {QStringLiteral("Ikona s stopinjami"), QStringLiteral("Ikona s stanjem vremena")},
        FPrikazemIkono, intervals);
    rg_prikazem_ikono->setEnabled(false);
    intervalsLayout->addWidget(rg_prikazem_ikono, 0, 1, 2, 1);
    cb_izklop_oblacka =
        new QCheckBox(QStringLiteral("Izklop oblačka, ki javi spremembe"), intervals);
    cb_izklop_oblacka->setObjectName(QStringLiteral("cb_izklop_oblacka"));
    intervalsLayout->addWidget(cb_izklop_oblacka, 2, 0, 1, 2);
    connect(tb_interval2, &QSlider::valueChanged, this, &Tform_parametri::tb_interval2Change);
    layout->addWidget(intervals);
    layout->addStretch();
    return page;
}

QWidget* Tform_parametri::CreateSystemPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    GroupBox3 = new QGroupBox(QStringLiteral("Nastavitve zastopnika (proxy strežnik)"), page);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    auto* proxy = new QGridLayout(GroupBox3);
    auto field = [&](const QString& name, const QString& labelName, const QString& caption,
                     int row) {
        auto* edit = new QLineEdit(GroupBox3);
        edit->setObjectName(name);
        proxy->addWidget(Caption(labelName, caption, GroupBox3), row, 0);
        proxy->addWidget(edit, row, 1);
        return edit;
    };
    db_proxy_server = field(QStringLiteral("db_proxy_server"), QStringLiteral("Label3"),
                            QStringLiteral("Strežnik"), 0);
    db_proxy_port = field(QStringLiteral("db_proxy_port"), QStringLiteral("Label4"),
                          QStringLiteral("Vrata"), 1);
    db_proxy_port->setMaxLength(5);
    db_proxy_user = field(QStringLiteral("db_proxy_user"), QStringLiteral("Label5"),
                          QStringLiteral("Uporabniško ime"), 2);
    db_proxy_pwd =
        field(QStringLiteral("db_proxy_pwd"), QStringLiteral("Label6"), QStringLiteral("Geslo"), 3);
    db_proxy_pwd->setEchoMode(QLineEdit::Password);
    db_proxy_port->installEventFilter(this);
    db_proxy_pwd->installEventFilter(this);
    layout->addWidget(GroupBox3);

    // One column of boxes, each caption on the left of its box.
    auto* options = new QWidget(page);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->setContentsMargins(6, 6, 6, 6);
    auto box = [&](const QString& name, const QString& caption) {
        auto* check = new QCheckBox(caption, options);
        check->setObjectName(name);
        check->setLayoutDirection(Qt::RightToLeft);
        optionsLayout->addWidget(check, 0, Qt::AlignLeft);
        return check;
    };
    cb_api_nastavitve = box(QStringLiteral("cb_api_nastavitve"),
                            QStringLiteral("Uporabi nastavitve Internet Explorerja"));
    cb_api_nastavitve->setToolTip(QStringLiteral("Nastavitve zastopnika iz sistema"));
    cb_minimize =
        box(QStringLiteral("cb_minimize"),
            QStringLiteral("Uporabi gumb X za minimiziranje in ne za zapiranje aplikacije"));
    cb_ne_avtomatski_zagon = box(QStringLiteral("cb_ne_avtomatski_zagon"),
                                 QStringLiteral("Zaženi ob naslednjem zagonu računalnika"));
    cb_nova_verzija = box(QStringLiteral("cb_nova_verzija"),
                          QStringLiteral("Ob zagonu preveri, če je na voljo nova verzija"));
    cb_caption_writer = box(QStringLiteral("cb_caption_writer"),
                            QStringLiteral("Prikaz trenutnih podatkov v naslovni vrstici"));
    connect(cb_api_nastavitve, &QCheckBox::toggled, this, &Tform_parametri::cb_api_nastavitveClick);
    BitBtn1 = new QPushButton(QStringLiteral("Velikost pisave"), options);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    optionsLayout->addWidget(BitBtn1, 0, Qt::AlignLeft);
    connect(BitBtn1, &QPushButton::clicked, this, &Tform_parametri::BitBtn1Click);
    layout->addWidget(options);
    layout->addStretch();
    return page;
}

QWidget* Tform_parametri::CreateRefreshPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet4"));
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Intervali osveževanja podatkov"), page);
    group->setObjectName(QStringLiteral("GroupBox9"));
    auto* groupLayout = new QVBoxLayout(group);
    lbl_interval = Caption(QStringLiteral("lbl_interval"),
                           QStringLiteral("Opaz. in avt. postaje [min]"), group);
    tb_interval = new QSlider(Qt::Horizontal, group);
    tb_interval->setObjectName(QStringLiteral("tb_interval"));
    tb_interval->setRange(RefreshMinutesMin, RefreshMinutesMax);
    tb_interval->setSingleStep(5);
    tb_interval->setPageStep(5);
    tb_interval->setTickInterval(5);
    groupLayout->addWidget(lbl_interval);
    groupLayout->addWidget(tb_interval);
    connect(tb_interval, &QSlider::valueChanged, this, &Tform_parametri::tb_intervalChange);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

void Tform_parametri::SetPlaceLists(const TPlaceLists& places)
{
    const std::pair<QComboBox*, const QStringList*> lists[] = {
        {cb_moj_kraj_avto, &places.Automatic},
        {cb_moj_kraj_opazovalne, &places.Observation},
        {cb_moj_kraj_amaterske, &places.Amateur}};
    for (const auto& [list, items] : lists) {
        const QString selected = list->currentText();
        list->clear();
        list->addItems(*items);
        if (!selected.isEmpty())
            SelectPlace(list, selected);
    }
}

int Tform_parametri::CurrentPage() const
{
    return pc->currentIndex();
}

QSize Tform_parametri::InitialSize(const QSize& room) const
{
    ensurePolished();
    return sizeHint().boundedTo(room - FrameAllowance).expandedTo(minimumSizeHint());
}

void Tform_parametri::setVisible(bool visible)
{
    // Sized before the first show, so that it opens centred at that size.
    if (visible && !FSized) {
        FSized = true;
        const QWidget* over = parentWidget() ? parentWidget()->window() : this;
        if (QScreen* where = over->screen())
            resize(InitialSize(where->availableGeometry().size()));
    }
    QDialog::setVisible(visible);
}

void Tform_parametri::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void Tform_parametri::FormShow()
{
    pc->setCurrentIndex(0);
    // An old catalogue code in place of the automatic station's name.
    if (IntOf(Get(TParam::KRAJ_AVTOMATSKE)) > 0)
        Set(TParam::KRAJ_AVTOMATSKE, QStringLiteral("Ljubljana"));
    for (const TBinding& binding : FBindings)
        binding.Show(Get(binding.Parameter));
    // The controls that depend on others follow the values shown.
    tb_interval2Change(tb_interval2->value());
    tb_intervalChange(tb_interval->value());
    cb_api_nastavitveClick();
    rg_tip_postajeClick();
    lb_temp_ikonaClickCheck();

    izberi_menu->setCurrentItem(izberi_menu->topLevelItem(0));
    izberi_menu->setFocus();
}

void Tform_parametri::izberi_menuChange()
{
    const int page = izberi_menu->indexOfTopLevelItem(izberi_menu->currentItem());
    if (page >= 0)
        pc->setCurrentIndex(page);
}

void Tform_parametri::tb_intervalChange(int position)
{
    lbl_interval->setText(QStringLiteral("Opaz. in avt. postaje %1 [min]").arg(position));
}

void Tform_parametri::tb_interval2Change(int position)
{
    lbl_interval2->setText(QStringLiteral("Interval izmenjave ikone %1 [sek]").arg(position));
    rg_prikazem_ikono->setEnabled(position == 0);
}

void Tform_parametri::rg_tip_postajeClick()
{
    cb_vreme_opazovalne->setEnabled(FTipPostaje->checkedId() > 0);
}

void Tform_parametri::cb_api_nastavitveClick()
{
    GroupBox3->setEnabled(!cb_api_nastavitve->isChecked());
}

void Tform_parametri::lb_temp_ikonaClickCheck()
{
    btn_font_bg_color->setEnabled(!lb_temp_ikona->IsChecked(0));
}

bool Tform_parametri::db_proxy_portExit()
{
    const QString port = db_proxy_port->text();
    if (std::all_of(port.begin(), port.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return true;
    FCheckingPort = true;
    pas_lib::ShowMessage(QStringLiteral("Za port vpiši številko!!!"));
    db_proxy_port->setFocus();
    FCheckingPort = false;
    return false;
}

bool Tform_parametri::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the port or the password field checks the port.
    if (event->type() == QEvent::FocusOut && !FCheckingPort &&
        (watched == db_proxy_port || watched == db_proxy_pwd) &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        db_proxy_portExit();
    return QDialog::eventFilter(watched, event);
}

QFont Tform_parametri::StoredFont() const
{
    QFont font(Get(TParam::FONT_NAME).toString());
    const int size = IntOf(Get(TParam::FONT_SIZE));
    if (size > 0)
        font.setPointSize(std::min(size, 200));
    const QString style = Get(TParam::FONT_STYLE).toString();
    font.setBold(style.contains(QLatin1Char('B')));
    font.setItalic(style.contains(QLatin1Char('I')));
    font.setUnderline(style.contains(QLatin1Char('U')));
    font.setStrikeOut(style.contains(QLatin1Char('S')));
    return font;
}

QCoro::Task<> Tform_parametri::btn_fontClick()
{
    const QPointer<Tform_parametri> self(this);
    const std::optional<QFont> font = co_await FFontChooser(StoredFont());
    if (!self || !font)
        co_return;
    QString style = QStringLiteral("X");
    if (font->bold())
        style += QLatin1Char('B');
    if (font->italic())
        style += QLatin1Char('I');
    if (font->underline())
        style += QLatin1Char('U');
    if (font->strikeOut())
        style += QLatin1Char('S');
    Set(TParam::FONT_NAME, font->family());
    Set(TParam::FONT_SIZE, QString::number(std::max(1, qRound(font->pointSizeF()))));
    Set(TParam::FONT_STYLE, style);
    // The font chooser of this toolkit has no colour: the colour comes next.
    const std::optional<QColor> color =
        co_await FColorChooser(ColorFromWindows(IntOf(Get(TParam::FONT_COLOR))));
    if (self && color)
        Set(TParam::FONT_COLOR, WindowsColorValue(*color));
}

QCoro::Task<> Tform_parametri::btn_font_bg_colorClick()
{
    const QPointer<Tform_parametri> self(this);
    const std::optional<QColor> color =
        co_await FColorChooser(ColorFromWindows(IntOf(Get(TParam::FONT_BG_COLOR))));
    if (self && color)
        Set(TParam::FONT_BG_COLOR, WindowsColorValue(*color));
}

QCoro::Task<> Tform_parametri::BitBtn1Click()
{
    const QPointer<Tform_parametri> self(this);
    QFont initial;
    const int size = IntOf(Get(TParam::PISAVA_VELIKOST));
    initial.setPointSize(size > 0 && size <= 200 ? size : 8);
    const std::optional<QFont> font = co_await FFontChooser(initial);
    if (self && font)
        Set(TParam::PISAVA_VELIKOST, QString::number(std::max(1, qRound(font->pointSizeF()))));
}

QCoro::Task<> Tform_parametri::btnOsveziKrajeClick()
{
    if (!FCatalogueRefresh || !btnOsveziKraje->isEnabled())
        co_return;
    // Only the dialog waits; the program goes on meanwhile.
    const QPointer<Tform_parametri> self(this);
    btnOsveziKraje->setEnabled(false);
    setCursor(Qt::WaitCursor);
    const std::optional<TPlaceLists> places = co_await FCatalogueRefresh();
    if (!self)
        co_return;
    unsetCursor();
    btnOsveziKraje->setEnabled(true);
    if (places)
        SetPlaceLists(*places);
}

void Tform_parametri::btn_potrdiClick()
{
    SaveRequested = true;
    accept();
}

void Tform_parametri::btn_prekiniClick()
{
    SaveRequested = false;
    reject();
}

void Tform_parametri::done(int result)
{
    // Closing by any way but "Shrani" writes nothing.
    if (SaveRequested) {
        SaveRequested = false;
        SaveAll();
        Saved = 0;
    }
    QDialog::done(result);
}

void Tform_parametri::SaveAll()
{
    for (const TBinding& binding : FBindings) {
        Set(binding.Parameter, binding.Value());
        // The log-on entry follows its parameter at once.
        if (binding.Parameter == TParam::NE_AVTOMATSKI_ZAGON &&
            !SetStartAtLogon(cb_ne_avtomatski_zagon->isChecked()))
            pas_lib::ShowMessage(QStringLiteral("Zagona ob prijavi ni bilo mogoče nastaviti: ") +
                                     StartAtLogonEntryPath(),
                                 pas_lib::TMessageKind::Warning);
    }
    if (parametri)
        parametri->SaveAll();
}
