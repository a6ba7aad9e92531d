#include "remote/RemoteDocument.h"

#include "weather/ParseXmlDocument.h"

#include <QStringList>

TRemoteDocument::TRemoteDocument(const QByteArray& body)
{
    FValid = pas_lib::ParseXmlDocument(body, FDocument);
}

QList<QDomElement> TRemoteDocument::Select(const QString& path) const
{
    QList<QDomElement> level;
    if (!FValid)
        return level;
    level.append(FDocument.documentElement());
    for (const QString& step : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        QList<QDomElement> next;
        for (const QDomElement& parent : std::as_const(level))
            for (QDomElement child = parent.firstChildElement(step); !child.isNull();
                 child = child.nextSiblingElement(step))
                next.append(child);
        level = next;
    }
    return level;
}

QString TRemoteDocument::Value(const QString& path) const
{
    const QList<QDomElement> selected = Select(path);
    return selected.isEmpty() ? QString() : selected.first().text();
}
