// The main window's components: what the window shows, its actions and their
// commands.
#include "app/StartupClock.h"
#include "app/TMainForm.h"
#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "controls/SvgIcon.h"
#include "controls/TAdvertisingStrip.h"
#include "controls/TBannerCap.h"
#include "controls/TImagePanel.h"
#include "controls/TKorvalinBanner.h"
#include "controls/TSideChannel.h"
#include "controls/TabOrder.h"
#include "remote/AdvertisingPlayer.h"
#include "remote/RemoteSettings.h"
#include "remote/ServerAddresses.h"
#include "remote/StationCatalogueDownload.h"
#include "settings/Tparameter.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayPresenter.h"
#include "views/TMoonPanel.h"
#include "views/TNavigationMenu.h"
#include "views/TViewArea.h"
#include "views/ViewTable.h"
#include "views/frm_graf.h"
#include "views/pas_parametri.h"
#include "weather/CurrentViewKind.h"
#include "weather/StationCatalogue.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"

#include <QAction>
#include <QCollator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
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
// With the advertising strip: the strip 5 pixels from the top, and as much below.
constexpr int HeaderHeightWithStrip = TAdvertisingStrip::StripHeight + 10;
// Side channel panel rows: the pin row, the moon and four-day panels, the splitter.
constexpr int PinRowHeight = 24;
constexpr int PicturePanelHeight = 71;
constexpr int SplitterHeight = 10;
constexpr int PanelMargin = 3;
// The banner: amber band, dark brown bold text.
const QColor BannerColor(232, 179, 84);
const QColor BannerTextColor(103, 72, 14);
constexpr int BannerHeight = 16;
constexpr int BannerFontPixels = 11;
constexpr int BannerSpeed = 270;
constexpr quint16 BannerGap = 40;

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
    button->setAccessibleName(hint);
    button->setCursor(Qt::PointingHandCursor);
    return button;
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
    FViewArea = new TViewArea(*FWeather);
    connect(FViewArea, &TViewArea::ViewChosen, this, &TMainForm::ViewChosen);
    connect(FViewArea, &TViewArea::PicturesBusyChanged, this, &TMainForm::ShowBusy);
    connect(FViewArea, &TViewArea::GraphOpened, this, [this](TFrameGraf* frame) {
        connect(frame->DailyButton(), &QToolButton::clicked, this,
                &TMainForm::FrameGraf1btnDnevniGrafClick);
    });
    connect(this, &TMainForm::PictureRefreshRequested, FViewArea, &TViewArea::RefreshPicture);
    rootLayout->addWidget(CreateHeader());
    QWidget* channel = CreateSideChannel();
    rootLayout->addWidget(
        new TSideChannelHost(static_cast<TSideChannel*>(channel), FViewArea, root), 1);
    QWidget* bottomBar = CreateBottomBar();
    rootLayout->addWidget(bottomBar);
    setCentralWidget(root);
    // Tab reads the window as the eye does: top area, menu, content, bottom bar.
    ChainTabOrder({FHeader, channel, FViewArea, bottomBar});

    CoolTrayIcon1 = new TTrayIcon(this);
    FTray = new TTrayPresenter(*CoolTrayIcon1, this);
    connect(CoolTrayIcon1, &TTrayIcon::ShowWindowRequested, this, &TMainForm::Prikaiokno1Click);
    connect(CoolTrayIcon1, &TTrayIcon::HideWindowRequested, this, &TMainForm::Skrijokno1Click);
    connect(CoolTrayIcon1, &TTrayIcon::RefreshRequested, actOsvezitev, &QAction::trigger);
    connect(CoolTrayIcon1, &TTrayIcon::AboutRequested, this, &TMainForm::Vizitka1Click);
    connect(CoolTrayIcon1, &TTrayIcon::ExitRequested, actIzhod, &QAction::trigger);
    connect(CoolTrayIcon1, &TTrayIcon::FirstShown, this, [this] {
        qCDebug(lcMainForm) << "Tray icon shown" << MillisecondsSinceProcessStart()
                            << "ms after the start";
        FViewArea->HideNote();
    });
    connect(this, &TMainForm::BalloonRequested, CoolTrayIcon1, &TTrayIcon::ShowBalloon);
}

void TMainForm::CreateActions()
{
    for (const TViewInfo& view : Views()) {
        auto* action = new QAction(view.caption, this);
        action->setObjectName(view.action);
        action->setToolTip(view.caption + view.credit);
        action->setProperty("buttonName", view.button);
        action->setData(int(view.kind));
        connect(action, &QAction::triggered, this,
                [this, &view] { FViewArea->ShowView(view, !WindowMinimized()); });
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
    connect(actAnimiraj, &QAction::triggered, this,
            [this] { FViewArea->Animate(pas_lib::CurrentViewKind); });
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
    product->setAccessibleName(product->toolTip());
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
    help->setAccessibleName(AboutCaption);
    help->setCursor(Qt::PointingHandCursor);
    connect(help, &QToolButton::clicked, FViewArea, &TViewArea::OpenAbout);
    layout->addWidget(help);

    // The advertising strip lies over the middle of the top area, which has
    // room for it while advertising is on.
    suiReklame = new TAdvertisingStrip(FHeader);
    FAdvertising = new TAdvertisingPlayer(this);
    FAdvertising->setObjectName(QStringLiteral("AdvertisingPlayer"));
    connect(FAdvertising, &TAdvertisingPlayer::PictureChanged, suiReklame,
            &TAdvertisingStrip::SetPicture);
    connect(FAdvertising, &TAdvertisingPlayer::StripShownChanged, this,
            &TMainForm::ShowAdvertisingStrip);
    connect(suiReklame, &TAdvertisingStrip::pictureClicked, this, &TMainForm::ImgReklama1Click);
    connect(suiReklame, &TAdvertisingStrip::stripClicked, this, &TMainForm::suiReklameClick);
    ShowAdvertisingStrip(FAdvertising->StripShown());
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
    connect(FMenu, &TNavigationMenu::FocusRequested, suiSideChannel, &TSideChannel::Expand);
    connect(suiSideChannel, &TSideChannel::Pop, this, [this] {
        FViewArea->SetPanelLineVisible(true);
        FitMenuPanel();
    });
    connect(suiSideChannel, &TSideChannel::Push, this,
            [this] { FViewArea->SetPanelLineVisible(false); });
    return suiSideChannel;
}

void TMainForm::FitMenuPanel()
{
    FMenu->FitMenuPanel(suiSideChannel->height());
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
    // The scrolling banner between its round ends, right of free space; all
    // three hidden until there is a proverb to show.
    layout->addStretch(1);
    auto* band = new QHBoxLayout;
    band->setSpacing(0);
    suiImageBannerL = new TBannerCap(TBannerCap::TSide::Left, bar);
    suiImageBannerL->setObjectName(QStringLiteral("suiImageBannerL"));
    suiImageBannerR = new TBannerCap(TBannerCap::TSide::Right, bar);
    suiImageBannerR->setObjectName(QStringLiteral("suiImageBannerR"));
    KorvalinBanner = new TKorvalinBanner(bar);
    KorvalinBanner->setObjectName(QStringLiteral("KorvalinBanner"));
    KorvalinBanner->SetSpeed(BannerSpeed);
    KorvalinBanner->SetGap(BannerGap);
    KorvalinBanner->SetColor(BannerColor);
    KorvalinBanner->SetFontColor(BannerTextColor);
    QFont bannerFont;
    // The design's font where it exists, else one that every Linux desktop has.
    bannerFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    bannerFont.setPixelSize(BannerFontPixels);
    bannerFont.setBold(true);
    KorvalinBanner->setFont(bannerFont);
    KorvalinBanner->setFixedHeight(BannerHeight);
    for (TBannerCap* cap : {suiImageBannerL, suiImageBannerR}) {
        cap->SetBand(KorvalinBanner, BannerColor);
        cap->hide();
    }
    KorvalinBanner->hide();
    band->addWidget(suiImageBannerL);
    band->addWidget(KorvalinBanner, 0, Qt::AlignVCenter);
    band->addWidget(suiImageBannerR);
    layout->addLayout(band);
    layout->addSpacing(8);

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

QAction* TMainForm::ViewAction(TViewKind kind) const
{
    for (QAction* action : FViewActions)
        if (action->data().toInt() == int(kind))
            return action;
    return nullptr;
}

TTitlePanel* TMainForm::TitlePanel() const
{
    return FViewArea->TitlePanel();
}

void TMainForm::ApplyViewSwitches()
{
    FMenu->ApplyViewSwitches([this](int index) {
        const std::optional<TParam> name = ViewKindInfo(Views().at(index).kind)->switchParameter;
        return !name || (parametri && parametri->Get(*name).toBool());
    });
    if (suiSideChannel->Expanded())
        FitMenuPanel();
}

void TMainForm::ShowAdvertisingStrip(bool shown)
{
    suiReklame->setVisible(shown);
    FHeader->setFixedHeight(shown ? HeaderHeightWithStrip : HeaderHeight);
    qCDebug(lcMainForm) << "Advertising strip" << (shown ? "shown" : "hidden");
}

void TMainForm::SetAdvertising(bool on)
{
    FAdvertising->SetAdvertising(on);
}

void TMainForm::ImgReklama1Click()
{
    pas_lib::OpenWebAddress(FAdvertising->PictureClickAddress());
}

void TMainForm::suiReklameClick()
{
    pas_lib::OpenWebAddress(FAdvertising->PanelClickAddress());
}

void TMainForm::FrameGraf1btnDnevniGrafClick()
{
    FViewArea->Graph()->btnDnevniGrafClick();
}

void TMainForm::ViewChosen(TViewKind kind)
{
    suiSideChannel->Collapse();
    FMenu->SetCurrent(ViewAction(kind));
    actAnimiraj->setEnabled(ViewKindInfo(kind)->animates);
}

void TMainForm::actOsvezitevExecute()
{
    if (WindowMinimized()) {
        RefreshData(true);
        return;
    }
    ShowRefreshIndicator();
    const TViewKindInfo* view = ViewKindInfo(pas_lib::CurrentViewKind);
    if (view && view->picture) {
        emit PictureRefreshRequested(view->kind);
        HideRefreshIndicator();
        return;
    }
    RefreshData(true);
    // A refresh that runs (this one, or one before it that this one waits
    // for) hides the indicator when it ends.
    if (!FRefresh || !FRefresh->Refreshing())
        HideRefreshIndicator();
}

namespace {

// A table's places in Slovenian alphabetical order, whatever the table's sort.
QStringList SortedPlaces(const TWeatherTable& table)
{
    QStringList places;
    pas_lib::FillPlaceList(places, table);
    QCollator slovenian{QLocale(QLocale::Slovenian, QLocale::Slovenia)};
    slovenian.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(places.begin(), places.end(), slovenian);
    places.removeAll(QString());
    return places;
}

} // namespace

void TMainForm::actNastavitveExecute()
{
    if (FSettingsDialog) {
        FSettingsDialog->raise();
        FSettingsDialog->activateWindow();
        return;
    }
    FSettingsRun = RunSettingsDialog();
}

// The dialog is awaited: the refresh, the timers and the tray go on under it.
QCoro::Task<> TMainForm::RunSettingsDialog()
{
    auto placeLists = [this] {
        return Tform_parametri::TPlaceLists{SortedPlaces(*FWeather->tbl_avtomatske),
                                            SortedPlaces(*FWeather->tbl_opazovalne),
                                            SortedPlaces(*FWeather->tblAmaterske)};
    };
    FSettingsDialog = new Tform_parametri(this);
    Tform_parametri* dialog = FSettingsDialog;
    dialog->SetPlaceLists(placeLists());
    dialog->SetCatalogueRefresh(
        [this, placeLists]() -> QCoro::Task<std::optional<Tform_parametri::TPlaceLists>> {
            if (!co_await DownloadStationCatalogue(&FCancellation))
                co_return std::nullopt;
            pas_lib::LoadStationCatalogue(*FWeather, pas_lib::PostajeXmlPath);
            co_return placeLists();
        });
    dialog->open();
    if (!co_await pas_lib::TSignalWait(dialog, &QDialog::finished, &FCancellation))
        co_return;
    const bool saved = dialog->Saved == 0;
    dialog->deleteLater();
    if (saved)
        ApplySettings();
}
