#pragma once

#include <QByteArray>
#include <QHash>
#include <QIdentityProxyModel>
#include <QList>
#include <QString>
#include <optional>

class QTableView;

// What a grid shows of a weather table's model: the titles of a saved layout
// in place of the fields' captions, and the sort column's title in bold.
class TGridHeaderModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void SetTitle(int column, const QString& title);
    void ClearTitles();
    // A column's field name (the source model's FieldNameRole).
    QString FieldName(int column) const;
    int BoldColumn() const { return FBoldColumn; }
    void SetBoldColumn(int column);

private:
    QHash<int, QString> FTitles;
    int FBoldColumn = -1;
};

// One shown column of a saved grid layout, in display order.
struct TGridColumn
{
    QString Field;
    int Width = 0;
    QString Title;

    bool operator==(const TGridColumn&) const = default;
};

// The stored form of a layout, and back; nothing for bytes that are not one.
QByteArray EncodeGridLayout(const QList<TGridColumn>& columns);
std::optional<QList<TGridColumn>> DecodeGridLayout(const QByteArray& bytes);

// The layout of a grid whose model is a TGridHeaderModel.
QList<TGridColumn> GridLayoutOf(const QTableView& grid);
// Shows exactly these columns in this order, widths and titles; false, with
// the grid unchanged, when a column names a field the model does not have.
bool ApplyGridLayout(QTableView& grid, const QList<TGridColumn>& columns);

// The settings store's value per data source name ("ds_opazovalne", ...).
void SaveGridLayout(const QTableView& grid, const QString& name);
// True when a readable layout of that name was applied; otherwise the grid's
// columns stay as they are.
bool RestoreGridLayout(QTableView& grid, const QString& name);
void DeleteGridLayout(const QString& name);
