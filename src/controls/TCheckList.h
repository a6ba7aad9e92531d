#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QCheckBox;

// A list of items to tick, laid out in columns, as tall as its items need.
class TCheckList : public QWidget
{
    Q_OBJECT
public:
    TCheckList(const QStringList& items, int columns = 1, QWidget* parent = nullptr);

    int Count() const { return int(FBoxes.size()); }
    QString Text(int item) const;
    bool IsChecked(int item) const;
    void SetChecked(int item, bool checked);
    QCheckBox* Box(int item) const { return FBoxes.value(item); }

signals:
    // The user or the program ticked or cleared an item.
    void ItemChanged(int item);

private:
    QList<QCheckBox*> FBoxes;
};
