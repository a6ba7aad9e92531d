#include "tray/TTrayIcon.h"

#include "controls/SvgIcon.h"
#include "tray/TrayRules.h"
#include "tray/TrayTexts.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <algorithm>

Q_LOGGING_CATEGORY(lcTray, "nimbulon.tray", QtInfoMsg)

namespace {
// Looking for a tray: every second at first, then every ten seconds.
constexpr int FastRetryMs = 1000;
constexpr int FastRetries = 30;
constexpr int SlowRetryMs = 10000;
// The refresh frames' pace.
constexpr int CycleMs = 100;
const QColor MenuIcon(0x48, 0x5A, 0x79);

// The texts separate lines by "\n\r", as Windows shows them; here a line
// break is one "\n".
QString PlatformLines(QString text)
{
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

// One line for the log.
QString LogLine(const QString& text)
{
    return PlatformLines(text).replace(u'\n', QStringLiteral(" | "));
}
} // namespace

TTrayIcon::TTrayIcon(QWidget* window)
    : QObject(window), FWindow(window), FProgramIcon(SvgIcon(QStringLiteral("nimbulon"))),
      FIcon(TrayFaceIcon(TTrayFace(), FProgramIcon))
{
    // Until the settings are applied: a small white font on the transparent
    // background.
    FTextStyle.Font = pas_lib::TrayTextFont(QStringLiteral("Small Fonts"), QString(), QString());
    FTextStyle.Font.setPixelSize(9);
    FTextStyle.Color = Qt::white;
    FTextStyle.Transparent = true;
    FCycle.setInterval(CycleMs);
    connect(&FCycle, &QTimer::timeout, this, &TTrayIcon::CycleTick);

    setObjectName(QStringLiteral("CoolTrayIcon1"));
    FMenu = new QMenu(window);
    FMenu->setObjectName(QStringLiteral("suiPopupMenu1"));
    QAction* show = AddItem(QStringLiteral("Prikaiokno1"), QStringLiteral("Prikaži okno"),
                            &TTrayIcon::ShowWindowRequested);
    QFont bold = show->font();
    bold.setBold(true);
    show->setFont(bold); // the default item
    AddItem(QStringLiteral("Skrijokno1"), QStringLiteral("Skrij okno"),
            &TTrayIcon::HideWindowRequested);
    FMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    AddItem(QStringLiteral("Prikainamig1"), QStringLiteral("Prikaži namig"),
            &TTrayIcon::HintRequested);
    FMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    AddItem(QStringLiteral("Osveipodatke1"), QStringLiteral("Osveži zdaj!"),
            &TTrayIcon::RefreshRequested)
        ->setIcon(SvgIcon(QStringLiteral("refresh"), MenuIcon));
    FMenu->addSeparator()->setObjectName(QStringLiteral("N3"));
    AddItem(QStringLiteral("Vizitka1"), QStringLiteral("Vizitka"), &TTrayIcon::AboutRequested)
        ->setIcon(SvgIcon(QStringLiteral("help"), MenuIcon));
    FMenu->addSeparator()->setObjectName(QStringLiteral("N4"));
    AddItem(QStringLiteral("Izhod1"), QStringLiteral("Izhod"), &TTrayIcon::ExitRequested)
        ->setIcon(SvgIcon(QStringLiteral("exit"), MenuIcon));
    SetEnabled(false);

    FRetry.setSingleShot(true);
    connect(&FRetry, &QTimer::timeout, this, &TTrayIcon::TryShow);
}

TTrayIcon::~TTrayIcon()
{
    // The menu belongs to the window, which may outlive the icon for a moment.
    if (FIconWidget)
        FIconWidget->setContextMenu(nullptr);
}

QAction* TTrayIcon::AddItem(const QString& objectName, const QString& caption,
                            void (TTrayIcon::*signal)())
{
    QAction* action = FMenu->addAction(caption);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, [this, signal] {
        if (FEnabled)
            emit(this->*signal)();
    });
    return action;
}

QAction* TTrayIcon::Item(const QString& objectName) const
{
    return FMenu->findChild<QAction*>(objectName);
}

void TTrayIcon::SetEnabled(bool enabled)
{
    FEnabled = enabled;
    for (QAction* action : FMenu->actions())
        if (!action->isSeparator())
            action->setEnabled(enabled);
}

void TTrayIcon::Show()
{
    FWanted = true;
    TryShow();
}

bool TTrayIcon::Shown() const
{
    return FIconWidget && FIconWidget->isVisible();
}

void TTrayIcon::TryShow()
{
    if (!FWanted || Shown())
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (FTries == 0)
            qCInfo(lcTray) << "No notification area yet; looking again until there is one";
        ++FTries;
        FRetry.start(FTries < FastRetries ? FastRetryMs : SlowRetryMs);
        return;
    }
    Create();
    FIconWidget->show();
    qCDebug(lcTray) << "Icon shown";
    if (!FEverShown) {
        FEverShown = true;
        emit FirstShown();
    }
}

void TTrayIcon::Create()
{
    if (FIconWidget)
        return;
    FIconWidget = new QSystemTrayIcon(FIcon, this);
    FIconWidget->setObjectName(QStringLiteral("CoolTrayIcon1Icon"));
    FIconWidget->setContextMenu(FMenu);
    FIconWidget->setToolTip(PlatformLines(FToolTip));
    connect(FIconWidget, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                qCDebug(lcTray) << "Icon activated:" << reason << (FEnabled ? "" : "(ignored)");
                if (!FEnabled)
                    return;
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    emit ShowWindowRequested();
            });
    connect(FIconWidget, &QSystemTrayIcon::messageClicked, this, [this] {
        qCDebug(lcTray) << "Balloon clicked" << (FEnabled ? "" : "(ignored)");
        if (FEnabled)
            emit ShowWindowRequested();
    });
}

// The tray gets a new icon only when the face differs from the last one.
void TTrayIcon::ShowFace(const TTrayFace& face)
{
    if (face == FFace)
        return;
    FFace = face;
    FIcon = TrayFaceIcon(face, FProgramIcon);
    if (FIconWidget)
        FIconWidget->setIcon(FIcon);
    if (!FCycle.isActive())
        qCDebug(lcTray).noquote() << "Icon shows" << face.Description();
}

void TTrayIcon::SetText(const QString& text)
{
    FText = text;
    if (FCycle.isActive())
        return;
    TTrayFace face;
    face.FaceKind = TTrayFace::Text;
    face.FaceText = text;
    face.TextStyle = FTextStyle;
    ShowFace(face);
}

void TTrayIcon::SetTextStyle(const TTrayTextStyle& style)
{
    FTextStyle = style;
    if (FFace.FaceKind == TTrayFace::Text)
        SetText(FText);
}

void TTrayIcon::SetImageList(TTrayList list, int index)
{
    FList = list;
    FIndex = std::clamp(index, 0, PictureCount(list) - 1);
    if (FFace.FaceKind == TTrayFace::Picture)
        ShowPicture();
}

void TTrayIcon::SetListBackground(const QColor& color)
{
    FListBackground = color;
    if (FFace.FaceKind == TTrayFace::Picture)
        ShowPicture();
}

void TTrayIcon::SetImageIndex(int index)
{
    FIndex = std::clamp(index, 0, PictureCount(FList) - 1);
    ShowPicture();
}

void TTrayIcon::ShowPicture()
{
    TTrayFace face;
    face.FaceKind = TTrayFace::Picture;
    face.List = FList;
    face.Index = FIndex;
    face.ListBackground = FListBackground;
    ShowFace(face);
}

void TTrayIcon::SetCycleIcons(bool cycle)
{
    if (cycle == FCycle.isActive())
        return;
    if (cycle) {
        qCDebug(lcTray).noquote() << "Icon cycles through the" << ListName(FList) << "every"
                                  << CycleMs << "ms";
        ShowPicture();
        FCycle.start();
    } else {
        FCycle.stop();
        qCDebug(lcTray).noquote() << "Icon stops cycling at" << FFace.Description();
    }
}

void TTrayIcon::CycleTick()
{
    FIndex = (FIndex + 1) % PictureCount(FList);
    ShowPicture();
}

void TTrayIcon::SetToolTip(const QString& text)
{
    if (text == FToolTip)
        return;
    FToolTip = text;
    qCDebug(lcTray).noquote() << "Tooltip:" << LogLine(text);
    if (FIconWidget)
        FIconWidget->setToolTip(PlatformLines(text));
}

bool TTrayIcon::ShowBalloon(const QString& title, const QString& text, int milliseconds)
{
    if (!Shown()) {
        qCDebug(lcTray).noquote() << "Balloon not shown (no tray):" << LogLine(title) << "/"
                                  << LogLine(text);
        return false;
    }
    qCDebug(lcTray).noquote() << "Balloon:" << LogLine(title) << "/" << LogLine(text);
    // Where balloons are desktop notifications, markup would be read as such.
    FIconWidget->showMessage(pas_lib::PlainNotificationText(PlatformLines(title)),
                             pas_lib::PlainNotificationText(PlatformLines(text)),
                             QSystemTrayIcon::Information, milliseconds);
    return true;
}
