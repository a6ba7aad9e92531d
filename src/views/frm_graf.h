#pragma once

#include "common/Awaiting.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QWidget>
#include <memory>

class QBarSeries;
class QChart;
class QChartView;
class QComboBox;
class QDateTimeEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QToolButton;
class TGraphTable;
class TPictureContext;
class TWeatherData;
class TWeatherTableModel;

// The temperature graph view (FrameGraf1): a station kind and station, a date
// and a graph kind give a bar chart of the station's measured temperatures
// from the chart server. Graphs of one kind pile up for comparison; another
// kind clears the chart. The table and line-chart pages of a date range are
// there, disabled.
class TFrameGraf : public QWidget
{
    Q_OBJECT
public:
    // Only the frame's place: its controls, charts and table come with Open().
    TFrameGraf(TWeatherData& weather, TPictureContext& context, QWidget* parent = nullptr);
    ~TFrameGraf() override;

    // Builds the frame and sets it up, the first time the view opens.
    void Open();
    bool Opened() const { return FGraphTable != nullptr; }
    // From the settings: today in the pickers, the station kind of
    // "TIP_POSTAJE", the user's place in each station list.
    void Setup();

    // The station-kind list's change: only the chosen kind's list shows.
    void dbTipPostajeChange();
    // A graph of kind 1 (day) to 4 (year) of the chosen station and date.
    QCoro::Task<> DrawGraph(int graphKind);
    QCoro::Task<> btnDnevniGrafClick() { return DrawGraph(1); }
    QCoro::Task<> btnTedenskiGrafClick() { return DrawGraph(2); }
    QCoro::Task<> btnMesecniGrafClick() { return DrawGraph(3); }
    QCoro::Task<> btnLetniGrafClick() { return DrawGraph(4); }
    void btnBrisiGrafClick();
    // The date-range query of the line-chart page.
    QCoro::Task<> btnNarediPoizvedboClick();
    // Ends a request that runs: nothing it brings is drawn.
    void Stop();

    // The chart's current graph kind, 0 before the first graph.
    int CurrentGraphKind() const { return FGraphKind; }
    // The bars of each series drawn, by their place on the bottom axis.
    const QList<QMap<int, int>>& SeriesBars() const { return FSeries; }
    QChart* Chart() const;
    QChart* LineChart() const;
    TGraphTable& GraphTable() const { return *FGraphTable; }
    QToolButton* DailyButton() const { return btnDnevniGraf; }
    bool Requesting() const { return FRequesting; }

private:
    void Build();
    // Requests a query and loads the reply into the graph table; false when
    // no reply came (or the frame stopped waiting).
    QCoro::Task<bool> Request(QString query);
    int StationKind() const;
    int StationCode() const;
    QComboBox* StationList(int kind) const;
    void FillStationList(QComboBox* list, int kind);
    void Redraw();
    void ShowBarTip(bool status, int index, QBarSeries* series);

    TWeatherData& FWeather;
    TPictureContext& FContext;
    std::unique_ptr<TGraphTable> FGraphTable;
    std::unique_ptr<pas_lib::TCancellation> FCancellation;
    QComboBox* dbTipPostaje = nullptr;
    QComboBox* dbPostajaOpa = nullptr;
    QComboBox* dbPostajaAvt = nullptr;
    QComboBox* dbPostajaAmat = nullptr;
    QTabWidget* pcGrafTemp = nullptr;
    QToolButton* btnDnevniGraf = nullptr;
    QToolButton* btnTedenskiGraf = nullptr;
    QToolButton* btnMesecniGraf = nullptr;
    QToolButton* btnLetniGraf = nullptr;
    QToolButton* btnBrisiGraf = nullptr;
    QDateTimeEdit* dtZaDatum = nullptr;
    QChartView* Chart1 = nullptr;
    QDateTimeEdit* dbOdTabela = nullptr;
    QDateTimeEdit* dbDoTabela = nullptr;
    QTableView* suiDBGrid2 = nullptr;
    TWeatherTableModel* FTableModel = nullptr;
    QDateTimeEdit* dtOd = nullptr;
    QDateTimeEdit* dtDo = nullptr;
    QChartView* DBChart1 = nullptr;

    int FGraphKind = 0;
    QList<QMap<int, int>> FSeries;
    // What each series shows, for the tip over its bars.
    QStringList FSeriesLabels;
    bool FRequesting = false;
};
