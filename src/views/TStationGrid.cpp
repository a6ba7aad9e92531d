#include "views/TStationGrid.h"

#include "views/ViewTable.h"
#include "weather/TWeatherTable.h"
#include "weather/TWeatherTableModel.h"

#include <QHeaderView>

TStationGrid::TStationGrid(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("suiDBGrid1"));
    setProperty("panelTag", PanelTag::Grid);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setAlternatingRowColors(false);
    setWordWrap(false);
    // Tab leaves the grid for the next control, as in any read-only list.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
}

void TStationGrid::Bind(TWeatherTableModel* model)
{
    if (model == FModel)
        return;
    FModel = model;
    setModel(model);
    ApplyDefaultColumns();
}

void TStationGrid::ApplyDefaultColumns()
{
    if (!FModel)
        return;
    const int charWidth = fontMetrics().averageCharWidth();
    for (int column = 0; column < FModel->columnCount(); ++column) {
        const bool visible =
            FModel->headerData(column, Qt::Horizontal, TWeatherTableModel::FieldVisibleRole)
                .toBool();
        setColumnHidden(column, !visible);
        const int characters =
            FModel->headerData(column, Qt::Horizontal, TWeatherTableModel::DisplayWidthRole)
                .toInt();
        setColumnWidth(column, std::clamp(characters, 4, 40) * charWidth + 12);
    }
}
