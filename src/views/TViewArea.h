#pragma once

#include "weather/ViewKinds.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>

class QLabel;
class QTextBrowser;
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

    void SetViewLoader(TViewLoader loader) { FLoadView = std::move(loader); }

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

    // A line of news for the user above the title, until hidden.
    void ShowNote(const QString& text);
    void HideNote();
    QLabel* Note() const { return lblObvestilo; }

    // The one-pixel line at the left edge while the side channel lies over it.
    void SetPanelLineVisible(bool visible);

    TTitlePanel* TitlePanel() const { return suiImagePanelTitle; }
    TStationGrid* Grid() const { return suiDBGrid1; }
    TFrameAbout* About() const { return FrameAbout; }

signals:
    // A view was chosen; its data loads right after.
    void ViewChosen(TViewKind kind);

private:
    void ShowTableView(const TViewKindInfo& view, bool takeFocus);
    TWeatherTableModel* TableModel(const TViewKindInfo& view);

    TWeatherData& FWeather;
    TViewLoader FLoadView;
    QWidget* PanelLine;
    QLabel* lblObvestilo;
    TTitlePanel* suiImagePanelTitle;
    TStationGrid* suiDBGrid1;
    TStatisticsBar* suiStatusBar;
    QTextBrowser* RichEdit1;
    TFrameAbout* FrameAbout;
    QList<QWidget*> FTaggedControls;
    QHash<TViewKind, TWeatherTableModel*> FTableModels;

    int FCurrentPanelTag = 0;
    int FAboutReturnTag = 0;
    QHash<QWidget*, bool> FAboutReturnVisibility;
};
