#include "app/ProgramStyle.h"

#include <QApplication>
#include <QFile>
#include <QStyleFactory>

void ApplyProgramStyle()
{
    // One style everywhere, whatever the desktop's theme: the sheet is drawn on it.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QFile sheet(QStringLiteral(":/style/nimbulon.qss"));
    if (sheet.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
}
