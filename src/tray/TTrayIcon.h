#pragma once

#include "tray/TrayPictures.h"

#include <QIcon>
#include <QLoggingCategory>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcTray)

class QAction;
class QMenu;
class QWidget;

// The program's icon in the notification area (CoolTrayIcon1) with its popup
// menu (suiPopupMenu1). It appears as soon as a tray is there: when none is
// yet (at log-on the panel often starts after the program) it keeps looking.
// While disabled it takes no input: clicks and menu items do nothing.
class TTrayIcon : public QObject
{
    Q_OBJECT
public:
    // window: the main window, parent of the menu.
    explicit TTrayIcon(QWidget* window);
    ~TTrayIcon() override;

    // Shows the icon now when a tray is there, otherwise as soon as one is.
    void Show();
    // Whether the icon is in a tray now.
    bool Shown() const;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    // The icon as the tray gets it; it draws the face shown.
    const QIcon& Icon() const { return FIcon; }
    // What the icon shows now.
    const TTrayFace& Face() const { return FFace; }

    // The temperature text: setting it shows it (unless the list cycles).
    void SetText(const QString& text);
    const QString& Text() const { return FText; }
    void SetTextStyle(const TTrayTextStyle& style);
    const TTrayTextStyle& TextStyle() const { return FTextStyle; }

    // Shows a face as it is (the program picture, say).
    void ShowFace(const TTrayFace& face);

    // The picture list with the picture index to use in it (0 when a list is
    // set the usual way); the picture shown follows when a picture shows.
    void SetImageList(TTrayList list, int index = 0);
    TTrayList ImageList() const { return FList; }
    // The opaque list's background colour.
    void SetListBackground(const QColor& color);
    // Shows the picture at this index of the list, clamped to the list.
    void SetImageIndex(int index);
    int ImageIndex() const { return FIndex; }
    // Shows the picture at the current index again.
    void ShowPicture();
    // Steps through the list's pictures every 100 ms while on.
    void SetCycleIcons(bool cycle);
    bool CycleIcons() const { return FCycle.isActive(); }

    // Lines are separated by "\n\r", as the balloon's and tooltip's texts are.
    void SetToolTip(const QString& text);
    const QString& ToolTip() const { return FToolTip; }
    // A balloon (a desktop notification where the desktop offers them) with the
    // information icon; false when there is no tray to show it from.
    bool ShowBalloon(const QString& title, const QString& text, int milliseconds);

    QMenu* Menu() const { return FMenu; }
    QAction* Item(const QString& objectName) const;
    QSystemTrayIcon* SystemIcon() const { return FIconWidget; }

signals:
    void ShowWindowRequested(); // "Prikaži okno", a click, a balloon click
    void HideWindowRequested(); // "Skrij okno"
    void HintRequested();       // "Prikaži namig"
    void RefreshRequested();    // "Osveži zdaj!"
    void AboutRequested();      // "Vizitka"
    void ExitRequested();       // "Izhod"
    // The icon went into a tray for the first time.
    void FirstShown();

private:
    void TryShow();
    void Create();
    void CycleTick();
    QAction* AddItem(const QString& objectName, const QString& caption,
                     void (TTrayIcon::*signal)());

    QWidget* FWindow;
    QMenu* FMenu;
    QSystemTrayIcon* FIconWidget = nullptr;
    QIcon FProgramIcon;
    QIcon FIcon;
    TTrayFace FFace;
    QString FText;
    TTrayTextStyle FTextStyle;
    TTrayList FList = TTrayList::Transparent;
    int FIndex = 0;
    QColor FListBackground = Qt::red;
    QTimer FCycle;
    QString FToolTip;
    QTimer FRetry;
    int FTries = 0;
    bool FEnabled = false;
    bool FWanted = false;
    bool FEverShown = false;
};
