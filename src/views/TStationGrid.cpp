#include "views/TStationGrid.h"

#include "common/LocaleText.h"
#include "settings/Tparameter.h"
#include "views/GridLayout.h"
#include "views/ViewTable.h"
#include "weather/TWeatherTable.h"
#include "weather/TWeatherTableModel.h"
#include "weather/ViewKinds.h"

#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

const QColor CellText(52, 65, 86);
const QColor ChosenPlaceRow(230, 235, 240);
const QColor CurrentRow(250, 232, 197);
const QColor SelectedCell(230, 235, 240);

int IntParameter(std::optional<TParam> parameter)
{
    return parametri && parameter ? parametri->Get(*parameter).toInt() : 0;
}

// Paints the chosen place's row, the current row and the selected cell.
class TStationGridDelegate : public QStyledItemDelegate
{
public:
    explicit TStationGridDelegate(TStationGrid* grid) : QStyledItemDelegate(grid), FGrid(grid) {}

    QString displayText(const QVariant& value, const QLocale& locale) const override
    {
        if (value.typeId() == QMetaType::Double)
            return LocaleNumber(value.toDouble(), locale);
        if (value.typeId() == QMetaType::QDateTime)
            return LocaleDateTime(value.toDateTime(), locale);
        return QStyledItemDelegate::displayText(value, locale);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->palette.setColor(QPalette::Text, CellText);
        if (IsChosenPlace(index))
            option->backgroundBrush = ChosenPlaceRow;
        if (FGrid->currentIndex().isValid() && index.row() == FGrid->currentIndex().row())
            option->backgroundBrush = CurrentRow;
        if (option->state.testFlag(QStyle::State_Selected)) {
            option->backgroundBrush = SelectedCell;
            option->palette.setColor(QPalette::Text, CellText);
        }
        // The colours above are the whole marking: no style highlight or focus frame.
        option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }

private:
    bool IsChosenPlace(const QModelIndex& index) const
    {
        const TViewKindInfo* view = FGrid->View();
        if (!view || !view->chosenPlaceParameter || !parametri || !FGrid->Model())
            return false;
        const int place = FGrid->Model()->Table()->FieldIndex(QStringLiteral("KRAJ"));
        if (place < 0)
            return false;
        return index.model()->index(index.row(), place).data().toString() ==
               parametri->Get(*view->chosenPlaceParameter).toString();
    }

    TStationGrid* FGrid;
};

} // namespace

TStationGrid::TStationGrid(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("suiDBGrid1"));
    setProperty("panelTag", PanelTag::Grid);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    // Tab leaves the grid for the next control, as in any read-only list.
    setTabKeyNavigation(false);
    setItemDelegate(new TStationGridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setMinimumSectionSize(16);
    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setCursor(Qt::PointingHandCursor);
    connect(header, &QHeaderView::sectionClicked, this, [this](int logical) {
        const int column = GridColumns().indexOf(logical);
        if (column >= 0)
            TitleClick(column);
    });

    FHeaderModel = new TGridHeaderModel(this);
    setModel(FHeaderModel);
    // The current row takes the whole row's colour.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, viewport(),
            qOverload<>(&QWidget::update));
    connect(FHeaderModel, &QAbstractItemModel::modelAboutToBeReset, this,
            &TStationGrid::RememberPosition);
    connect(FHeaderModel, &QAbstractItemModel::modelReset, this, &TStationGrid::RestorePosition);

    suiPUshrani = new QMenu(this);
    suiPUshrani->setObjectName(QStringLiteral("suiPUshrani"));
    suiPUshrani->addAction(QStringLiteral("Shrani nastavitve"), this, &TStationGrid::SaveGridLayout)
        ->setObjectName(QStringLiteral("Shraninastavitve1"));
    suiPUshrani
        ->addAction(QStringLiteral("Privzete nastavitve"), this, &TStationGrid::DeleteGridLayout)
        ->setObjectName(QStringLiteral("Privzetenastavitve1"));
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (FModel)
            suiPUshrani->popup(viewport()->mapToGlobal(at));
    });
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint& at) {
        if (FModel)
            suiPUshrani->popup(header->mapToGlobal(at));
    });
}

TStationGrid::~TStationGrid() = default;

QString TStationGrid::DataSourceName() const
{
    return FView ? FView->dataSource : QString();
}

void TStationGrid::Bind(TWeatherTableModel* model, TViewKind viewKind)
{
    FView = ViewKindInfo(viewKind);
    FHadCurrent = false;
    if (model != FModel) {
        FModel = model;
        FHeaderModel->setSourceModel(model);
    }
    // Every opening starts from the table's own columns, then the saved layout.
    FHeaderModel->SetBoldColumn(-1);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ApplyDefaultColumns();
    ::RestoreGridLayout(*this, DataSourceName());
    scrollToTop();
}

void TStationGrid::ApplyDefaultColumns()
{
    if (!FModel)
        return;
    FHeaderModel->ClearTitles();
    QHeaderView* header = horizontalHeader();
    const int charWidth = fontMetrics().averageCharWidth();
    const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 14;
    for (int column = 0; column < FModel->columnCount(); ++column) {
        header->moveSection(header->visualIndex(column), column);
        const bool visible =
            FModel->headerData(column, Qt::Horizontal, TWeatherTableModel::FieldVisibleRole)
                .toBool();
        setColumnHidden(column, !visible);
        // Room for the field's usual text, and never less than its title.
        const int characters =
            FModel->headerData(column, Qt::Horizontal, TWeatherTableModel::DisplayWidthRole)
                .toInt();
        const QString title = FModel->headerData(column, Qt::Horizontal).toString();
        QFont bold = font();
        bold.setBold(true);
        const int titleWidth = QFontMetrics(bold).horizontalAdvance(title) + padding;
        setColumnWidth(column,
                       std::max(std::clamp(characters, 3, 30) * charWidth + 12, titleWidth));
    }
}

QList<int> TStationGrid::GridColumns() const
{
    QList<int> columns;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            columns.append(logical);
    }
    return columns;
}

int TStationGrid::BoldColumn() const
{
    return GridColumns().indexOf(FHeaderModel->BoldColumn());
}

void TStationGrid::TitleClick(int gridColumn)
{
    if (!FView || !FView->sortIndexParameter || !FView->sortDirectionParameter)
        return;
    // The clicked column takes the last direction and turns it round.
    const bool descending = IntParameter(FView->sortDirectionParameter) != 1;
    if (!SortBy(gridColumn, descending) || !parametri)
        return;
    if (IntParameter(FView->sortIndexParameter) != gridColumn)
        parametri->Set(*FView->sortIndexParameter, gridColumn);
    if (IntParameter(FView->sortDirectionParameter) != int(descending))
        parametri->Set(*FView->sortDirectionParameter, descending ? 1 : 0);
}

void TStationGrid::RestoreSort()
{
    // The saved column in the saved direction; the parameters stay as they are.
    // A column that is not there leaves the table in its loaded order.
    if (FView)
        SortBy(IntParameter(FView->sortIndexParameter),
               IntParameter(FView->sortDirectionParameter) == 1);
}

bool TStationGrid::SortBy(int gridColumn, bool descending)
{
    const QList<int> columns = GridColumns();
    if (!FModel || !FModel->Table() || gridColumn < 0 || gridColumn >= columns.size())
        return false;
    const int logical = columns[gridColumn];
    FHeaderModel->SetBoldColumn(logical);
    horizontalHeader()->setSortIndicator(logical,
                                         descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    FModel->Table()->SetOrder(FHeaderModel->FieldName(logical), descending);
    return true;
}

void TStationGrid::SaveGridLayout()
{
    if (FModel)
        ::SaveGridLayout(*this, DataSourceName());
}

void TStationGrid::DeleteGridLayout()
{
    if (FModel)
        ::DeleteGridLayout(DataSourceName());
}

void TStationGrid::RememberPosition()
{
    FHadCurrent = currentIndex().isValid();
    FCurrentKey.clear();
    FCurrentColumn = currentIndex().column();
    FVerticalScroll = verticalScrollBar()->value();
    FHorizontalScroll = horizontalScrollBar()->value();
    if (FHadCurrent)
        FCurrentKey = model()->index(currentIndex().row(), 0).data().toString();
}

void TStationGrid::RestorePosition()
{
    if (!FHadCurrent)
        return;
    // The same place, wherever it is now; the same view of the table.
    for (int row = 0; row < model()->rowCount(); ++row) {
        if (model()->index(row, 0).data().toString() == FCurrentKey) {
            selectionModel()->setCurrentIndex(model()->index(row, std::max(0, FCurrentColumn)),
                                              QItemSelectionModel::ClearAndSelect);
            break;
        }
    }
    updateGeometries();
    verticalScrollBar()->setValue(FVerticalScroll);
    horizontalScrollBar()->setValue(FHorizontalScroll);
}
