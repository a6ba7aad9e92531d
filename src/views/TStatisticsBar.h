#pragma once

#include <QWidget>

class QLabel;
class TWeatherTable;

// The bar under the station grid (suiStatusBar): the warmest place, the
// coldest place and the average temperature of the table shown.
class TStatisticsBar : public QWidget
{
    Q_OBJECT
public:
    explicit TStatisticsBar(QWidget* parent = nullptr);

    // Fills the three panels from the table's temperatures; a query that fails
    // leaves the panels after it empty.
    void UpdateTableStatistics(TWeatherTable& table);
    // Panel 0 the maximum, 1 the minimum, 2 the average.
    QString PanelText(int panel) const;

private:
    QLabel* FPanels[3];
};
