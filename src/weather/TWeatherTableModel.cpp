#include "weather/TWeatherTableModel.h"

#include "weather/TWeatherDatabase.h"
#include "weather/TWeatherTable.h"

#include <QDateTime>

TWeatherTableModel::TWeatherTableModel(TWeatherTable* table, QObject* parent)
    : QSqlQueryModel(parent), FTable(table)
{
    connect(table, &TWeatherTable::contentChanged, this, &TWeatherTableModel::Reload);
    connect(table, &TWeatherTable::fieldsChanged, this, [this] {
        if (columnCount() > 0)
            emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    });
    Reload();
}

void TWeatherTableModel::Reload()
{
    if (!FTable || !FTable->IsCreated()) {
        clear();
        return;
    }
    setQuery(FTable->SelectStatement(), FTable->Database().Database());
    // Read everything now, so that no statement stays open between loads.
    while (canFetchMore())
        fetchMore();
}

QVariant TWeatherTableModel::data(const QModelIndex& item, int role) const
{
    const QVariant value = QSqlQueryModel::data(item, role);
    if (!FTable || (role != Qt::DisplayRole && role != Qt::EditRole) || !item.isValid() ||
        item.column() >= FTable->Fields().size())
        return value;
    if (value.isNull())
        return QVariant();
    if (FTable->Fields().at(item.column()).Type == TFieldType::DateTime)
        return QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
    return value;
}

QVariant TWeatherTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!FTable || orientation != Qt::Horizontal || section < 0 ||
        section >= FTable->Fields().size())
        return QSqlQueryModel::headerData(section, orientation, role);
    const TFieldDef& field = FTable->Fields().at(section);
    switch (role) {
    case Qt::DisplayRole:
        return field.DisplayLabel();
    case FieldNameRole:
        return field.Name;
    case DisplayWidthRole:
        return field.EffectiveDisplayWidth();
    case FieldVisibleRole:
        return field.Visible;
    default:
        return QSqlQueryModel::headerData(section, orientation, role);
    }
}
