#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;
class TStationGrid;
class TWeatherData;
class TWeatherTableModel;

// The coast view (FramePrimorje1): the coastal forecast table and the sea
// buoy's text, one in front at a time, switched by the two source buttons.
// The grid comes first: it is the forecast the view is opened for.
class TFramePrimorje : public QWidget
{
    Q_OBJECT
public:
    TFramePrimorje(TWeatherData& weather, QWidget* parent = nullptr);

    // Binds the grid to the coastal table in its saved layout ("ds_primorje").
    void ShowTable();
    // "Vir: Morska biološka postaja": the buoy's text.
    void btnMorskaClick();
    // "Vir: ARSO": the coastal forecast table.
    void btnARSOClick();

    TStationGrid* Grid() const { return suiDBGrid1; }
    QTextBrowser* TextPane() const { return RichEdit1; }

private:
    TWeatherData& FWeather;
    TWeatherTableModel* FModel = nullptr;
    QToolButton* btnMorska;
    QToolButton* btnARSO;
    TStationGrid* suiDBGrid1;
    QTextBrowser* RichEdit1;
};
