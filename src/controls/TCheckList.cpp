#include "controls/TCheckList.h"

#include <QCheckBox>
#include <QGridLayout>

TCheckList::TCheckList(const QStringList& items, int columns, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setHorizontalSpacing(16);
    layout->setVerticalSpacing(3);
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* box = new QCheckBox(items[i], this);
        box->setObjectName(QStringLiteral("item%1").arg(i));
        // Filled column by column, as the items are read.
        layout->addWidget(box, i % rows, i / rows);
        connect(box, &QCheckBox::toggled, this, [this, i] { emit ItemChanged(i); });
        FBoxes.append(box);
    }
    layout->setColumnStretch(columns, 1);
}

QString TCheckList::Text(int item) const
{
    return item >= 0 && item < FBoxes.size() ? FBoxes[item]->text() : QString();
}

bool TCheckList::IsChecked(int item) const
{
    return item >= 0 && item < FBoxes.size() && FBoxes[item]->isChecked();
}

void TCheckList::SetChecked(int item, bool checked)
{
    if (item >= 0 && item < FBoxes.size())
        FBoxes[item]->setChecked(checked);
}
