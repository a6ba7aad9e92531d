#pragma once

#include "weather/TWeatherTable.h"

#include <QPointer>
#include <QSqlQueryModel>

// A read-only model of one weather table in its current order, for the grid.
// Columns are the table's fields in field order (hidden ones included: the
// view hides the columns whose FieldVisibleRole is false). Horizontal headers
// give the caption, and by role the display width and visibility. The model
// reloads itself whenever the table reports a change.
class TWeatherTableModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    enum THeaderRole {
        FieldNameRole = Qt::UserRole + 1,
        DisplayWidthRole, // characters
        FieldVisibleRole,
    };

    explicit TWeatherTableModel(TWeatherTable* table, QObject* parent = nullptr);

    TWeatherTable* Table() const { return FTable; }
    QVariant data(const QModelIndex& item, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

public slots:
    void Reload();

private:
    QPointer<TWeatherTable> FTable;
};
