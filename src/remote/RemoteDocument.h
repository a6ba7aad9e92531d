#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <QString>

// A document from the program's servers, read by paths below its root element
// ("URL/Nastavitve"); the root's own name does not matter. A document that does
// not parse reads as empty everywhere.
class TRemoteDocument
{
public:
    explicit TRemoteDocument(const QByteArray& body);

    bool IsValid() const { return FValid; }
    // The text of the first element the path selects, or empty.
    QString Value(const QString& path) const;
    // Every element the path selects, in document order.
    QList<QDomElement> Select(const QString& path) const;

private:
    QDomDocument FDocument;
    bool FValid = false;
};
