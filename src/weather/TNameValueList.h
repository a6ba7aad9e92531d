#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <utility>

// An ordered list of name=value entries, names unique without regard to case:
// setting the value of a name that is present replaces its value in place.
class TNameValueList
{
public:
    void Clear();
    bool IsEmpty() const { return FEntries.isEmpty(); }
    qsizetype Count() const { return FEntries.size(); }
    void SetValue(const QString& name, const QString& value);
    // The value of the name, empty when absent.
    QString Value(const QString& name) const;
    const QList<std::pair<QString, QString>>& Entries() const { return FEntries; }

private:
    QList<std::pair<QString, QString>> FEntries;
    QHash<QString, qsizetype> FIndex; // by case-folded name
};
