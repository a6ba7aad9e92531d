#pragma once

#include <QTableView>

class TWeatherTableModel;

// The read-only grid of the station tables (suiDBGrid1): one weather table at
// a time, with the columns, captions and widths of the table's fields.
class TStationGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TStationGrid(QWidget* parent = nullptr);

    // Shows a table's model (not owned) with its default columns.
    void Bind(TWeatherTableModel* model);
    TWeatherTableModel* Model() const { return FModel; }

private:
    void ApplyDefaultColumns();

    TWeatherTableModel* FModel = nullptr;
};
