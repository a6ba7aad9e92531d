#include "views/TViewArea.h"

#include "views/TForecastView.h"
#include "views/TPictureContext.h"
#include "views/TRadarView.h"
#include "views/TStationGrid.h"
#include "views/TStatisticsBar.h"
#include "views/TTitlePanel.h"
#include "views/ViewTable.h"
#include "views/ViewsLog.h"
#include "views/frm_about.h"
#include "views/frm_animations.h"
#include "views/frm_graf.h"
#include "views/frm_primorje.h"
#include "views/frm_satelitske_slike.h"
#include "weather/CurrentViewKind.h"
#include "weather/LoadFeedSection.h"
#include "weather/TWeatherData.h"
#include "weather/TWeatherTableModel.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

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

TViewArea::TViewArea(TWeatherData& weather, QWidget* parent)
    : QWidget(parent), FWeather(weather), FPictures(new TPictureContext(this))
{
    connect(FPictures, &TPictureContext::BusyChanged, this, &TViewArea::PicturesBusyChanged);
    setObjectName(QStringLiteral("suiImagePanelBckgnd"));
    setAttribute(Qt::WA_StyledBackground);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    PanelLine = new QWidget(this);
    PanelLine->setObjectName(QStringLiteral("PanelLine"));
    PanelLine->setAttribute(Qt::WA_StyledBackground);
    PanelLine->setFixedWidth(1);
    PanelLine->hide();
    outer->addWidget(PanelLine);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(0);
    outer->addLayout(column, 1);
    lblObvestilo = new QLabel(this);
    lblObvestilo->setObjectName(QStringLiteral("lblObvestilo"));
    lblObvestilo->setTextFormat(Qt::PlainText);
    lblObvestilo->setWordWrap(true);
    lblObvestilo->hide();
    column->addWidget(lblObvestilo);
    suiImagePanelTitle = new TTitlePanel(this);
    column->addWidget(suiImagePanelTitle);
    connect(FWeather.ViewTitle, &TViewTitle::textChanged, this, [this](const QString& text) {
        if (!AboutShown())
            suiImagePanelTitle->SetTitle(text);
    });
    connect(suiImagePanelTitle->CloseButton(), &QToolButton::clicked, this, &TViewArea::CloseAbout);

    auto* views = new QWidget(this);
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
    RichEdit1->setDocument(FWeather.MainTextPane);
    FWeather.MainTextPane->setDocumentMargin(10);
    RichEdit1->setOpenLinks(false);
    RichEdit1->setOpenExternalLinks(false);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setFocusPolicy(Qt::StrongFocus);

    FrameAbout = new TFrameAbout(views);
    FrameAbout->hide();
    suiImagePanel1 = new TRadarView(*FPictures, views);
    suiImagePanel1->hide();
    FrameSateliskeSlike1 = new TFrameSateliskeSlike(*FPictures, views);
    FrameSateliskeSlike1->hide();
    suiIPNapovedVSliki = new TForecastView(*FPictures, views);
    suiIPNapovedVSliki->hide();
    FrameGraf1 = new TFrameGraf(FWeather, *FPictures, views);
    FrameGraf1->hide();
    FramePrimorje1 = new TFramePrimorje(FWeather, views);
    FramePrimorje1->hide();
    FrameAnimations = new TFrameAnimations(*FPictures, views);
    FrameAnimations->hide();

    FTaggedControls = {
        suiDBGrid1,
        suiStatusBar,
        RichEdit1,
        suiImagePanel1,
        suiIPNapovedVSliki,
        FrameAnimations,
        FramePrimorje1,
        FrameSateliskeSlike1,
        FrameGraf1,
        FrameAbout,
        suiImagePanelTitle->CloseButton(),
    };
    for (QWidget* control : std::as_const(FTaggedControls))
        if (control->parentWidget() == views)
            stack->addWidget(control, control == suiStatusBar ? 0 : 1);
}

TViewArea::~TViewArea()
{
    // What the picture views await ends before the context they report to goes.
    FPictures->blockSignals(true);
    StopPictures();
}

void TViewArea::SetFeeds(const TFeeds* feeds)
{
    FPictures->SetFeeds(feeds);
}

bool TViewArea::PicturesBusy() const
{
    return FPictures->Busy();
}

void TViewArea::StopPictures()
{
    suiImagePanel1->Stop();
    FrameSateliskeSlike1->Stop();
    suiIPNapovedVSliki->Stop();
    FrameGraf1->Stop();
    FrameAnimations->Stop();
}

void TViewArea::ShowPanel(int tag)
{
    for (QWidget* control : std::as_const(FTaggedControls))
        control->setVisible(control->property("panelTag").toInt() == tag);
    FCurrentPanelTag = tag;
}

void TViewArea::ShowView(const TViewInfo& view, bool takeFocus)
{
    QElapsedTimer clock;
    clock.start();
    // A picture view that goes out of sight stops what it waits for.
    const int leaving = AboutShown() ? FAboutReturnTag : FCurrentPanelTag;
    if (leaving != view.tag) {
        if (leaving == PanelTag::Radar)
            suiImagePanel1->Stop();
        else if (leaving == PanelTag::Satellite)
            FrameSateliskeSlike1->Stop();
        else if (leaving == PanelTag::ForecastPictures)
            suiIPNapovedVSliki->Stop();
        else if (leaving == PanelTag::Graph)
            FrameGraf1->Stop();
        else if (leaving == PanelTag::Animations)
            FrameAnimations->Stop();
    }
    // The media player comes with the first visit.
    if (view.tag == PanelTag::Animations)
        FrameAnimations->Open();
    if (view.tag == PanelTag::Graph && !FrameGraf1->Opened()) {
        FrameGraf1->Open();
        emit GraphOpened(FrameGraf1);
    }
    // Leaving the About page for another view: the title follows the views again.
    FCurrentPanelTag = 0;
    // The data age follows the view's feed.
    pas_lib::CurrentViewKind = view.kind;
    FWeather.ViewTitle->SetText(view.Title());
    suiImagePanelTitle->SetTitle(FWeather.ViewTitle->Text());
    suiImagePanelTitle->SetDataAge(ShownDataAge());
    ShowPanel(view.tag);
    emit ViewChosen(view.kind);

    // Screen readers name the grid and the text pane by the view they show.
    const TViewKindInfo& kind = *ViewKindInfo(view.kind);
    if (kind.grid)
        suiDBGrid1->setAccessibleName(view.caption);
    if (view.tag == PanelTag::TextPane)
        RichEdit1->setAccessibleName(view.caption);
    if (kind.grid) {
        ShowTableView(kind, takeFocus);
    } else if (kind.picture) {
        ShowPicture(kind.kind);
    } else {
        if (FLoadView)
            FLoadView(kind.kind);
        if (kind.kind == TViewKind::Coast)
            FramePrimorje1->ShowTable();
        if (takeFocus && kind.textPane == &TWeatherData::MainTextPane)
            RichEdit1->setFocus();
    }
    qCDebug(lcViews) << "View" << int(view.kind) << "shown in" << clock.elapsed() << "ms";
}

void TViewArea::ShowTableView(const TViewKindInfo& view, bool takeFocus)
{
    if (!view.statistics)
        suiStatusBar->hide();
    if (FLoadView)
        FLoadView(view.kind);
    suiDBGrid1->Bind(TableModel(view), view.kind);
    if (takeFocus)
        suiDBGrid1->setFocus();
    RestoreSort();
    if (view.statistics)
        UpdateTableStatistics(*view.Table(FWeather));
}

TWeatherTableModel* TViewArea::TableModel(const TViewKindInfo& view)
{
    if (TWeatherTableModel* model = FTableModels.value(view.kind))
        return model;
    auto* model = new TWeatherTableModel(view.Table(FWeather), this);
    FTableModels.insert(view.kind, model);
    return model;
}

void TViewArea::ShowPicture(TViewKind kind)
{
    switch (kind) {
    case TViewKind::Radar:
        suiImagePanel1->ShowRadarPicture(false, false, false);
        break;
    case TViewKind::Satellite:
        FrameSateliskeSlike1->ShowSatellitePicture(false);
        break;
    case TViewKind::ForecastMaps:
        suiIPNapovedVSliki->ShowForecastPictures(false);
        break;
    default:
        break;
    }
}

void TViewArea::RefreshPicture(TViewKind kind)
{
    switch (kind) {
    case TViewKind::Radar:
        suiImagePanel1->ShowRadarPicture(true, true, false);
        break;
    case TViewKind::Satellite:
        FrameSateliskeSlike1->ShowSatellitePicture(true);
        break;
    case TViewKind::ForecastMaps:
        suiIPNapovedVSliki->ShowForecastPictures(false);
        break;
    default:
        break;
    }
}

void TViewArea::Animate(TViewKind kind)
{
    if (kind == TViewKind::Radar)
        suiImagePanel1->ShowRadarPicture(true, false, false);
    else if (kind == TViewKind::Satellite)
        FrameSateliskeSlike1->AnimateSatellite();
}

void TViewArea::UpdatePicturesInBackground()
{
    suiImagePanel1->ShowRadarPicture(false, false, true);
    suiIPNapovedVSliki->ShowForecastPictures(true);
}

void TViewArea::UpdateTableStatistics(TWeatherTable& table)
{
    suiStatusBar->UpdateTableStatistics(table);
}

void TViewArea::RestoreSort()
{
    if (suiDBGrid1->Model() && suiDBGrid1->View() &&
        suiDBGrid1->View()->kind == pas_lib::CurrentViewKind)
        suiDBGrid1->RestoreSort();
}

void TViewArea::ShowRefreshing()
{
    suiImagePanelTitle->ShowRefreshing();
}

void TViewArea::HideRefreshing()
{
    suiImagePanelTitle->HideRefreshing();
}

void TViewArea::ShowNote(const QString& text)
{
    lblObvestilo->setText(text);
    lblObvestilo->setAccessibleName(text);
    lblObvestilo->show();
}

void TViewArea::HideNote()
{
    lblObvestilo->hide();
}

void TViewArea::SetPanelLineVisible(bool visible)
{
    PanelLine->setVisible(visible);
}

bool TViewArea::AboutShown() const
{
    return FCurrentPanelTag == PanelTag::About;
}

void TViewArea::OpenAbout()
{
    if (!AboutShown()) {
        FAboutReturnVisibility.clear();
        for (QWidget* control : std::as_const(FTaggedControls))
            FAboutReturnVisibility.insert(control, !control->isHidden());
        FAboutReturnTag = FCurrentPanelTag;
    }
    ShowPanel(PanelTag::About);
    suiImagePanelTitle->SetTitle(AboutCaption);
    suiImagePanelTitle->SetDataAge(QString());
}

void TViewArea::CloseAbout()
{
    if (!AboutShown())
        return;
    for (QWidget* control : std::as_const(FTaggedControls))
        control->setVisible(FAboutReturnVisibility.value(control, false));
    FCurrentPanelTag = FAboutReturnTag;
    // The view underneath kept its title up to date while About was shown.
    suiImagePanelTitle->SetTitle(FWeather.ViewTitle->Text());
    suiImagePanelTitle->SetDataAge(ShownDataAge());
}

void TViewArea::SetDataAges(const QString& mainFeed, const QString& secondFeed)
{
    FMainFeedAge = mainFeed;
    FSecondFeedAge = secondFeed;
    if (!AboutShown())
        suiImagePanelTitle->SetDataAge(ShownDataAge());
}

QString TViewArea::ShownDataAge() const
{
    const TViewKindInfo* view = ViewKindInfo(pas_lib::CurrentViewKind);
    if (!view || view->sections.isEmpty())
        return {};
    return view->sections.first().secondFeed ? FSecondFeedAge : FMainFeedAge;
}
