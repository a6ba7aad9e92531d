// The main window's components: what the window shows and its actions.
#include "app/StartupClock.h"
#include "app/TMainForm.h"
#include "common/Desktop.h"
#include "controls/SvgIcon.h"
#include "controls/TImagePanel.h"
#include "controls/TSideChannel.h"
#include "remote/RemoteSettings.h"
#include "remote/ServerAddresses.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayPresenter.h"
#include "views/TMoonPanel.h"
#include "views/TNavigationMenu.h"
#include "views/TStationGrid.h"
#include "views/TStatisticsBar.h"
#include "views/TTitlePanel.h"
#include "views/ViewTable.h"
#include "views/frm_about.h"
#include "weather/TWeatherData.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

Q_DECLARE_LOGGING_CATEGORY(lcMainForm)

namespace {

const QColor BarIcon(Qt::white);
const QColor BarIconActive(0xF1, 0xC8, 0x7A);
constexpr int BottomBarHeight = 36;
constexpr int HeaderHeight = 34;
// Side channel panel rows: the pin row, the moon and four-day panels, the splitter.
constexpr int PinRowHeight = 24;
constexpr int PicturePanelHeight = 71;
constexpr int SplitterHeight = 10;
constexpr int PanelMargin = 3;

QToolButton* BarButton(QWidget* parent, const QString& name, const QString& icon,
                       const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(SvgIcon(icon, BarIcon, BarIconActive));
    button->setIconSize(QSize(20, 20));
    button->setFixedSize(30, 28);
    button->setAutoRaise(true);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// A content control that shows one view; placeholder controls stay empty until
// their view is built.
QWidget* Tagged(QWidget* widget, const QString& name, int tag)
{
    widget->setObjectName(name);
    widget->setProperty("panelTag", tag);
    widget->hide();
    return widget;
}

} // namespace

void TMainForm::CreateComponents()
{
    setWindowIcon(SvgIcon(QStringLiteral("nimbulon")));
    CreateActions();

    auto* root = new QWidget(this);
    root->setObjectName(QStringLiteral("suiFormMain"));
    root->installEventFilter(this);
    auto* rootLayout = new QVBoxLayout(root);
    rootLayout->setContentsMargins(0, 0, 0, 0);
    rootLayout->setSpacing(0);
    rootLayout->addWidget(CreateHeader());
    QWidget* content = CreateContentArea();
    QWidget* channel = CreateSideChannel();
    rootLayout->addWidget(new TSideChannelHost(static_cast<TSideChannel*>(channel), content, root),
                          1);
    rootLayout->addWidget(CreateBottomBar());
    setCentralWidget(root);

    CoolTrayIcon1 = new TTrayIcon(this);
    FTray = new TTrayPresenter(*CoolTrayIcon1, this);
    connect(CoolTrayIcon1, &TTrayIcon::ShowWindowRequested, this, &TMainForm::Prikaiokno1Click);
    connect(CoolTrayIcon1, &TTrayIcon::HideWindowRequested, this, &TMainForm::Skrijokno1Click);
    connect(CoolTrayIcon1, &TTrayIcon::RefreshRequested, actOsvezitev, &QAction::trigger);
    connect(CoolTrayIcon1, &TTrayIcon::AboutRequested, this, &TMainForm::Vizitka1Click);
    connect(CoolTrayIcon1, &TTrayIcon::ExitRequested, actIzhod, &QAction::trigger);
    connect(CoolTrayIcon1, &TTrayIcon::FirstShown, this, [] {
        qCDebug(lcMainForm) << "Tray icon shown" << MillisecondsSinceProcessStart()
                            << "ms after the start";
    });
    connect(this, &TMainForm::BalloonRequested, CoolTrayIcon1, &TTrayIcon::ShowBalloon);
}

void TMainForm::CreateActions()
{
    for (const TViewInfo& view : Views()) {
        auto* action = new QAction(view.Caption, this);
        action->setObjectName(view.Action);
        action->setToolTip(view.Caption + view.Credit);
        action->setProperty("buttonName", view.Button);
        action->setData(view.Kind);
        connect(action, &QAction::triggered, this, [this, &view] { ExecuteView(view); });
        addAction(action);
        FViewActions.append(action);
    }

    auto makeAction = [this](const QString& name, const QString& hint, const QKeySequence& key) {
        auto* action = new QAction(hint, this);
        action->setObjectName(name);
        action->setToolTip(hint);
        action->setShortcut(key);
        addAction(action);
        return action;
    };
    actIzhod = makeAction(QStringLiteral("actIzhod"), QStringLiteral("Izhod iz programa"),
                          QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(actIzhod, &QAction::triggered, this, &TMainForm::actIzhodExecute);
    actOsvezitev = makeAction(QStringLiteral("actOsvezitev"), QStringLiteral("Osvežitev podatkov"),
                              QKeySequence(Qt::Key_F5));
    connect(actOsvezitev, &QAction::triggered, this, &TMainForm::actOsvezitevExecute);
    // Animates the radar and satellite pictures; enabled in those views.
    actAnimiraj = makeAction(QStringLiteral("actAnimiraj"), QStringLiteral("Animacija slike..."),
                             QKeySequence(Qt::Key_F3));
    actAnimiraj->setEnabled(false);
    actNastavitve =
        makeAction(QStringLiteral("actNastavitve"), QStringLiteral("Nastavitve programa"), {});
    connect(actNastavitve, &QAction::triggered, this, &TMainForm::actNastavitveExecute);
}

QWidget* TMainForm::CreateHeader()
{
    FHeader = new QWidget;
    FHeader->setObjectName(QStringLiteral("suiTitleArea"));
    FHeader->setAttribute(Qt::WA_StyledBackground);
    FHeader->setFixedHeight(HeaderHeight);
    auto* layout = new QHBoxLayout(FHeader);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(4);

    auto* product = new QToolButton(FHeader);
    product->setObjectName(QStringLiteral("suiImageButtonNimbulon"));
    product->setIcon(SvgIcon(QStringLiteral("nimbulon")));
    product->setIconSize(QSize(24, 24));
    product->setText(QStringLiteral("Nimbulon"));
    product->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    product->setAutoRaise(true);
    product->setToolTip(QStringLiteral("Nimbulonova spletna stran"));
    product->setCursor(Qt::PointingHandCursor);
    connect(product, &QToolButton::clicked, this, [] { pas_lib::OpenWebAddress(HomePageUrl); });
    layout->addWidget(product);
    layout->addStretch();

    auto* help = new QToolButton(FHeader);
    help->setObjectName(QStringLiteral("suiFormMainHelpButton"));
    help->setIcon(SvgIcon(QStringLiteral("help"), BarIcon, BarIconActive));
    help->setIconSize(QSize(18, 18));
    help->setFixedSize(28, 26);
    help->setAutoRaise(true);
    help->setToolTip(AboutCaption);
    help->setCursor(Qt::PointingHandCursor);
    connect(help, &QToolButton::clicked, this, &TMainForm::OpenAbout);
    layout->addWidget(help);

    // The advertising strip lies over the middle of the top area while
    // advertising is on; it is hidden otherwise.
    suiReklame = new QWidget(FHeader);
    suiReklame->setObjectName(QStringLiteral("suiReklame"));
    suiReklame->setAttribute(Qt::WA_StyledBackground);
    suiReklame->setFixedSize(StripWidth, StripHeight);
    auto* picture = new QLabel(suiReklame);
    picture->setObjectName(QStringLiteral("ImgReklama1"));
    picture->setGeometry(0, 0, StripWidth, StripHeight);
    suiReklame->hide();
    return FHeader;
}

QWidget* TMainForm::CreateSideChannel()
{
    suiSideChannel = new TSideChannel;
    QWidget* panel = suiSideChannel->Panel();
    int top = PinRowHeight;
    ipLunineMene = new TMoonPanel(panel);
    ipLunineMene->move(PanelMargin, top);
    top += PicturePanelHeight;
    suiImagePanel4dni = new TImagePanel(panel);
    suiImagePanel4dni->setObjectName(QStringLiteral("suiImagePanel4dni"));
    suiImagePanel4dni->setGeometry(PanelMargin, top, TMoonPanel::PanelWidth, PicturePanelHeight);
    top += PicturePanelHeight;
    auto* splitter = new QWidget(panel);
    splitter->setObjectName(QStringLiteral("suiSplitter"));
    splitter->setAttribute(Qt::WA_StyledBackground);
    splitter->setGeometry(PanelMargin + 8, top + SplitterHeight / 2, TMoonPanel::PanelWidth - 16,
                          1);
    top += SplitterHeight;

    FMenu = new TNavigationMenu(FViewActions, panel);
    FMenu->MenuPanel()->move(PanelMargin, top);
    FMenu->SetTop(top);
    connect(suiSideChannel, &TSideChannel::Pop, this, [this] {
        PanelLine->show();
        FitMenuPanel();
    });
    connect(suiSideChannel, &TSideChannel::Push, this, [this] { PanelLine->hide(); });
    return suiSideChannel;
}

void TMainForm::FitMenuPanel()
{
    FMenu->FitMenuPanel(suiSideChannel->height());
}

QWidget* TMainForm::CreateContentArea()
{
    auto* area = new QWidget;
    area->setObjectName(QStringLiteral("suiImagePanelBckgnd"));
    area->setAttribute(Qt::WA_StyledBackground);
    auto* outer = new QHBoxLayout(area);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    PanelLine = new QWidget(area);
    PanelLine->setObjectName(QStringLiteral("PanelLine"));
    PanelLine->setAttribute(Qt::WA_StyledBackground);
    PanelLine->setFixedWidth(1);
    PanelLine->hide();
    outer->addWidget(PanelLine);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(0);
    outer->addLayout(column, 1);
    suiImagePanelTitle = new TTitlePanel(area);
    column->addWidget(suiImagePanelTitle);
    connect(FWeather->ViewTitle, &TViewTitle::textChanged, this, [this](const QString& text) {
        if (!AboutShown())
            suiImagePanelTitle->SetTitle(text);
    });
    connect(suiImagePanelTitle->CloseButton(), &QToolButton::clicked, this, &TMainForm::CloseAbout);

    auto* views = new QWidget(area);
    views->setObjectName(QStringLiteral("suiViewArea"));
    views->setAttribute(Qt::WA_StyledBackground);
    auto* stack = new QVBoxLayout(views);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    column->addWidget(views, 1);

    suiDBGrid1 = new TStationGrid(views);
    suiDBGrid1->hide();
    suiStatusBar = new TStatisticsBar(views);
    suiStatusBar->hide();

    RichEdit1 = new QTextBrowser(views);
    Tagged(RichEdit1, QStringLiteral("RichEdit1"), PanelTag::TextPane);
    RichEdit1->setDocument(FWeather->MainTextPane);
    FWeather->MainTextPane->setDocumentMargin(10);
    RichEdit1->setOpenLinks(false);
    RichEdit1->setOpenExternalLinks(false);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setFocusPolicy(Qt::StrongFocus);

    FrameAbout = new TFrameAbout(views);
    FrameAbout->hide();

    FTaggedControls = {
        suiDBGrid1,
        suiStatusBar,
        RichEdit1,
        Tagged(new QLabel(views), QStringLiteral("suiImagePanel1"), PanelTag::Radar),
        Tagged(new QWidget(views), QStringLiteral("suiIPNapovedVSliki"),
               PanelTag::ForecastPictures),
        Tagged(new QWidget(views), QStringLiteral("FrameAnimations"), PanelTag::Animations),
        Tagged(new QWidget(views), QStringLiteral("FramePrimorje1"), PanelTag::Coast),
        Tagged(new QWidget(views), QStringLiteral("FrameSateliskeSlike1"), PanelTag::Satellite),
        Tagged(new QWidget(views), QStringLiteral("FrameGraf1"), PanelTag::Graph),
        FrameAbout,
        suiImagePanelTitle->CloseButton(),
    };
    for (QWidget* control : std::as_const(FTaggedControls))
        if (control->parentWidget() == views)
            stack->addWidget(control, control == suiStatusBar ? 0 : 1);
    return area;
}

QWidget* TMainForm::CreateBottomBar()
{
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("suiImagePanelBottom"));
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setFixedHeight(BottomBarHeight);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(10, 0, 6, 0);
    layout->setSpacing(2);
    // The scrolling banner's place.
    auto* banner = new QWidget(bar);
    banner->setObjectName(QStringLiteral("KorvalinBannerArea"));
    layout->addWidget(banner, 1);

    QToolButton* globe =
        BarButton(bar, QStringLiteral("suiImageButtonGlobe"), QStringLiteral("globe"),
                  QStringLiteral("Vreme na svetovnem spletu (Google)"));
    connect(globe, &QToolButton::clicked, this, [] {
        QUrl url(ServerAddress(TServer::Search));
        url.setPath(QStringLiteral("/search"));
        url.setQuery(QStringLiteral("q=World+Weather+Forecasts"));
        pas_lib::OpenWebAddress(url.toString());
    });
    layout->addWidget(globe);
    const QList<std::pair<QAction*, QString>> buttons{
        {actNastavitve, QStringLiteral("settings")},
        {actOsvezitev, QStringLiteral("refresh")},
        {actAnimiraj, QStringLiteral("animate")},
        {actIzhod, QStringLiteral("exit")},
    };
    const QStringList names{
        QStringLiteral("suiImageButtonTool"), QStringLiteral("suiImageButtonRefresh"),
        QStringLiteral("suiImageButtonAnim"), QStringLiteral("suiImageButtonExit")};
    for (int i = 0; i < buttons.size(); ++i) {
        QAction* action = buttons[i].first;
        QToolButton* button = BarButton(bar, names[i], buttons[i].second, action->toolTip());
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::enabledChanged, button, &QToolButton::setEnabled);
        button->setEnabled(action->isEnabled());
        layout->addWidget(button);
    }
    return bar;
}
