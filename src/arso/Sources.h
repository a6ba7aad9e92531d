#pragma once

#include <QList>
#include <QString>

// ARSO's files that the converter reads: the file name, and its path below
// ARSO's meteorological address (or, for the water levels, its hydrological
// one). The feed builder and the program's direct source fetch the same.
namespace arso {

struct TSource
{
    QString name;
    QString path;
    bool water = false;
};

inline const QString DefaultBase = QStringLiteral("https://meteo.arso.gov.si/");
inline const QString DefaultWaterBase = QStringLiteral("https://www.arso.gov.si/");

const QList<TSource>& Sources();

} // namespace arso
