#include "views/GridLayout.h"

#include "common/UserSettings.h"
#include "weather/TWeatherTableModel.h"

#include <QDataStream>
#include <QFont>
#include <QHeaderView>
#include <QIODevice>
#include <QTableView>

namespace {
constexpr quint32 LayoutMagic = 0x4E474C31; // "NGL1"
// More columns than any weather table has, and wider than any screen: such a
// value is not a layout.
constexpr int MaxColumns = 64;
constexpr int MaxWidth = 4000;
constexpr int MaxTitle = 200;
} // namespace

QVariant TGridHeaderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && FTitles.contains(section))
            return FTitles.value(section);
        if (role == Qt::FontRole && section == FBoldColumn) {
            QFont font;
            font.setBold(true);
            return font;
        }
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
}

void TGridHeaderModel::SetTitle(int column, const QString& title)
{
    FTitles.insert(column, title);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void TGridHeaderModel::ClearTitles()
{
    FTitles.clear();
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QString TGridHeaderModel::FieldName(int column) const
{
    return QIdentityProxyModel::headerData(column, Qt::Horizontal,
                                           TWeatherTableModel::FieldNameRole)
        .toString();
}

void TGridHeaderModel::SetBoldColumn(int column)
{
    const int previous = FBoldColumn;
    FBoldColumn = column;
    if (previous >= 0)
        emit headerDataChanged(Qt::Horizontal, previous, previous);
    if (column >= 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

QByteArray EncodeGridLayout(const QList<TGridColumn>& columns)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << LayoutMagic << qint32(columns.size());
    for (const TGridColumn& column : columns)
        out << column.Field << qint32(column.Width) << column.Title;
    return bytes;
}

std::optional<QList<TGridColumn>> DecodeGridLayout(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    qint32 count = 0;
    in >> magic >> count;
    if (in.status() != QDataStream::Ok || magic != LayoutMagic || count <= 0 || count > MaxColumns)
        return std::nullopt;
    QList<TGridColumn> columns;
    for (qint32 i = 0; i < count; ++i) {
        TGridColumn column;
        qint32 width = 0;
        in >> column.Field >> width >> column.Title;
        if (in.status() != QDataStream::Ok || column.Field.isEmpty() || width < 0 ||
            width > MaxWidth || column.Title.size() > MaxTitle)
            return std::nullopt;
        column.Width = width;
        columns.append(column);
    }
    if (!in.atEnd())
        return std::nullopt;
    return columns;
}

QList<TGridColumn> GridLayoutOf(const QTableView& grid)
{
    QList<TGridColumn> columns;
    const auto* model = qobject_cast<const TGridHeaderModel*>(grid.model());
    if (!model)
        return columns;
    const QHeaderView* header = grid.horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        columns.append({model->FieldName(logical), header->sectionSize(logical),
                        model->headerData(logical, Qt::Horizontal).toString()});
    }
    return columns;
}

bool ApplyGridLayout(QTableView& grid, const QList<TGridColumn>& columns)
{
    auto* model = qobject_cast<TGridHeaderModel*>(grid.model());
    if (!model || columns.isEmpty())
        return false;
    QList<int> logicals;
    for (const TGridColumn& column : columns) {
        int found = -1;
        for (int logical = 0; logical < model->columnCount(); ++logical)
            if (model->FieldName(logical).compare(column.Field, Qt::CaseInsensitive) == 0)
                found = logical;
        if (found < 0 || logicals.contains(found))
            return false;
        logicals.append(found);
    }
    QHeaderView* header = grid.horizontalHeader();
    for (int logical = 0; logical < model->columnCount(); ++logical)
        grid.setColumnHidden(logical, !logicals.contains(logical));
    model->ClearTitles();
    for (int i = 0; i < columns.size(); ++i) {
        header->moveSection(header->visualIndex(logicals[i]), i);
        grid.setColumnWidth(logicals[i], columns[i].Width);
        model->SetTitle(logicals[i], columns[i].Title);
    }
    return true;
}

void SaveGridLayout(const QTableView& grid, const QString& name)
{
    const QList<TGridColumn> columns = GridLayoutOf(grid);
    if (columns.isEmpty())
        return;
    auto settings = OpenProgramSettings();
    settings->setValue(name, EncodeGridLayout(columns));
}

bool RestoreGridLayout(QTableView& grid, const QString& name)
{
    auto settings = OpenProgramSettings();
    if (!settings->contains(name))
        return false;
    const std::optional<QList<TGridColumn>> columns =
        DecodeGridLayout(settings->value(name).toByteArray());
    return columns && ApplyGridLayout(grid, *columns);
}

void DeleteGridLayout(const QString& name)
{
    OpenProgramSettings()->remove(name);
}
