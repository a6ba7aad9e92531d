#pragma once

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

    void SetIcon(const QIcon& icon);
    const QIcon& Icon() const { return FIcon; }
    void SetToolTip(const QString& text);
    // A balloon (a desktop notification where the desktop offers them) with the
    // information icon; false when there is no tray to show it from.
    bool ShowBalloon(const QString& title, const QString& text, int milliseconds);

    QMenu* Menu() const { return FMenu; }
    QAction* Item(const QString& objectName) const;
    QSystemTrayIcon* SystemIcon() const { return FIconWidget; }

signals:
    void ShowWindowRequested(); // "Prikaži okno", a click, a balloon click
    void HideWindowRequested(); // "Skrij okno"
    void RefreshRequested();    // "Osveži zdaj!"
    void AboutRequested();      // "Vizitka"
    void ExitRequested();       // "Izhod"
    // The icon went into a tray for the first time.
    void FirstShown();

private:
    void TryShow();
    void Create();
    QAction* AddItem(const QString& objectName, const QString& caption,
                     void (TTrayIcon::*signal)());

    QWidget* FWindow;
    QMenu* FMenu;
    QSystemTrayIcon* FIconWidget = nullptr;
    QIcon FIcon;
    QString FToolTip;
    QTimer FRetry;
    int FTries = 0;
    bool FEnabled = false;
    bool FWanted = false;
    bool FEverShown = false;
};
