#pragma once

#include <QHash>
#include <QString>
#include <QTableView>

class QMenu;
class TGridHeaderModel;
class TWeatherTableModel;
struct TViewKindInfo;
enum class TViewKind : int;

// The read-only grid of the station tables (suiDBGrid1): one weather table at
// a time in the columns of its saved layout (or the table's own), sorted by a
// click on a column title with the column and direction kept per view in the
// settings, the chosen place's row and the current row marked. A reload of
// the table keeps the current row and the scroll position.
class TStationGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TStationGrid(QWidget* parent = nullptr);
    ~TStationGrid() override;

    // Shows a table's model (not owned) for a view kind shown in the grid, in
    // the layout saved under its data source name or its default columns.
    void Bind(TWeatherTableModel* model, TViewKind viewKind);
    TWeatherTableModel* Model() const { return FModel; }
    // The view bound last; nullptr before the first.
    const TViewKindInfo* View() const { return FView; }
    // The data source name the layout is saved under ("ds_opazovalne", ...).
    QString DataSourceName() const;

    // Sorts by a grid column (its index among the shown columns): the other way
    // than the view's last sort, whichever column that was.
    void TitleClick(int gridColumn);
    // Sorts the table again as the view's parameters say.
    void RestoreSort();
    // The shown columns' model columns, in display order.
    QList<int> GridColumns() const;
    // The grid column whose title is bold; -1 when none.
    int BoldColumn() const;

    // "Shrani nastavitve" / "Privzete nastavitve".
    void SaveGridLayout();
    void DeleteGridLayout();
    QMenu* PopupMenu() const { return suiPUshrani; }

private:
    // Shows the table sorted by a grid column; false when there is no such column.
    bool SortBy(int gridColumn, bool descending);
    void ApplyDefaultColumns();
    void RememberPosition();
    void RestorePosition();

    TWeatherTableModel* FModel = nullptr;
    TGridHeaderModel* FHeaderModel;
    QMenu* suiPUshrani;
    const TViewKindInfo* FView = nullptr;
    // What a reload must give back.
    QString FCurrentKey;
    int FCurrentColumn = -1;
    int FVerticalScroll = 0;
    int FHorizontalScroll = 0;
    bool FHadCurrent = false;
};
