#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// Writes the program's feed documents ("podatki.xml", "podatkiOstalo.xml"):
// sections at slash-separated paths below the root, each with its time
// ("Kdaj") and its records, in the feeds' own encoding, Windows-1250.
namespace arso {

// One record's elements in order, the key element first; an empty value is
// written as an empty element.
using TFeedRecord = QList<std::pair<QString, QString>>;

class TFeedWriter
{
public:
    explicit TFeedWriter(const QString& root = QStringLiteral("Podatki")) : FRoot{root, {}, {}} {}

    // A section of records: path "AvtomatskePostaje" gets "Kdaj" and one
    // element named record ("P", "N") per record.
    void AddSection(const QString& path, const QString& time, const QString& record,
                    const QList<TFeedRecord>& records);
    // Records without a time, as the station catalogue has them.
    void AddRecords(const QString& path, const QString& record, const QList<TFeedRecord>& records);
    // One element with a text, such as a change stamp ("Spremembe/SlikaRadar").
    void AddValue(const QString& path, const QString& text);
    // The document, with its declaration. Letters that Windows-1250 lacks are
    // written as character references, so nothing is lost.
    QByteArray Document() const;

private:
    struct TNode
    {
        QString name;
        QString text;
        QList<TNode> children;
    };
    TNode& NodeAt(const QString& path);

    TNode FRoot;
};

} // namespace arso
