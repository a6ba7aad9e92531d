#pragma once

#include "weather/ViewKinds.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>

class QLabel;
class QTextBrowser;
class TForecastView;
class TFrameAnimations;
class TFrameGraf;
class TFramePrimorje;
class TFrameSateliskeSlike;
class TPictureContext;
class TRadarView;
struct TFeeds;
class TFrameAbout;
class TStationGrid;
class TStatisticsBar;
class TTitlePanel;
class TWeatherData;
class TWeatherTable;
class TWeatherTableModel;
struct TViewInfo;

// The main window's content area (suiImagePanelBckgnd): the title panel over
// the controls of the views, of which the controls of one panel tag show at a
// time, and the About page that lies over the view it returns to. A new view
// adds its controls here, tagged, and its kind's row decides what is loaded.
class TViewArea : public QWidget
{
    Q_OBJECT
public:
    // Reads a view's feed sections into the weather data before it shows.
    using TViewLoader = std::function<void(TViewKind kind)>;

    explicit TViewArea(TWeatherData& weather, QWidget* parent = nullptr);
    ~TViewArea() override;

    void SetViewLoader(TViewLoader loader) { FLoadView = std::move(loader); }
    // The feeds whose change stamps the picture views compare their files with.
    void SetFeeds(const TFeeds* feeds);

    // Shows a view: its title and controls, then its data; takeFocus gives its
    // grid or text pane the keyboard (not while the window is minimised).
    void ShowView(const TViewInfo& view, bool takeFocus);
    // Shows the content controls of one panel tag and hides the other ones.
    void ShowPanel(int tag);
    int CurrentPanelTag() const { return FCurrentPanelTag; }

    // The About page and the way back to the view under it.
    void OpenAbout();
    void CloseAbout();
    bool AboutShown() const;

    // The view's share of a refresh: the statistics and sort order of the table
    // shown, and the refreshing indicator over the title.
    void UpdateTableStatistics(TWeatherTable& table);
    void RestoreSort();
    void ShowRefreshing();
    void HideRefreshing();

    // The age of old data from each feed ("podatki od 9.12. 22:00"; empty while
    // current): the title panel of a view that shows a feed's sections says it.
    void SetDataAges(const QString& mainFeed, const QString& secondFeed);
    // A line of news for the user above the title, until hidden.
    void ShowNote(const QString& text);
    void HideNote();
    QLabel* Note() const { return lblObvestilo; }

    // The picture views' share of the commands: the refresh command in a
    // picture view reloads only its picture, the animate command animates the
    // radar or the satellite pictures, and a refresh with pictures downloads
    // stale radar and forecast pictures in the background.
    void RefreshPicture(TViewKind kind);
    void Animate(TViewKind kind);
    void UpdatePicturesInBackground();
    // Whether a picture view's download or animation runs.
    bool PicturesBusy() const;

    // The one-pixel line at the left edge while the side channel lies over it.
    void SetPanelLineVisible(bool visible);

    TTitlePanel* TitlePanel() const { return suiImagePanelTitle; }
    TStationGrid* Grid() const { return suiDBGrid1; }
    TFrameAbout* About() const { return FrameAbout; }
    TRadarView* Radar() const { return suiImagePanel1; }
    TFrameSateliskeSlike* Satellite() const { return FrameSateliskeSlike1; }
    TForecastView* Forecast() const { return suiIPNapovedVSliki; }
    TFramePrimorje* Coast() const { return FramePrimorje1; }
    // Built when the graph view first opens.
    TFrameGraf* Graph() const { return FrameGraf1; }
    TFrameAnimations* Animations() const { return FrameAnimations; }

signals:
    // A view was chosen; its data loads right after.
    void ViewChosen(TViewKind kind);
    // A picture view's download or animation begins or ends: the window shows
    // the refreshing indicator and the busy cursor meanwhile.
    void PicturesBusyChanged(bool busy);
    // The graph view has opened for the first time: its frame is built.
    void GraphOpened(TFrameGraf* frame);

private:
    void ShowTableView(const TViewKindInfo& view, bool takeFocus);
    void ShowPicture(TViewKind kind);
    void StopPictures();
    TWeatherTableModel* TableModel(const TViewKindInfo& view);
    // The age of the feed the shown view's sections come from, if old.
    QString ShownDataAge() const;

    TWeatherData& FWeather;
    TPictureContext* FPictures;
    TViewLoader FLoadView;
    QWidget* PanelLine;
    QLabel* lblObvestilo;
    TTitlePanel* suiImagePanelTitle;
    TStationGrid* suiDBGrid1;
    TStatisticsBar* suiStatusBar;
    QTextBrowser* RichEdit1;
    TFrameAbout* FrameAbout;
    TRadarView* suiImagePanel1;
    TFrameSateliskeSlike* FrameSateliskeSlike1;
    TForecastView* suiIPNapovedVSliki;
    TFrameGraf* FrameGraf1;
    TFramePrimorje* FramePrimorje1;
    TFrameAnimations* FrameAnimations;
    QList<QWidget*> FTaggedControls;
    QHash<TViewKind, TWeatherTableModel*> FTableModels;

    int FCurrentPanelTag = 0;
    QString FMainFeedAge;
    QString FSecondFeedAge;
    int FAboutReturnTag = 0;
    QHash<QWidget*, bool> FAboutReturnVisibility;
};
