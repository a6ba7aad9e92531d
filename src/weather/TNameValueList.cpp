#include "weather/TNameValueList.h"

void TNameValueList::Clear()
{
    FEntries.clear();
    FIndex.clear();
}

void TNameValueList::SetValue(const QString& name, const QString& value)
{
    const QString key = name.toCaseFolded();
    const auto found = FIndex.constFind(key);
    if (found != FIndex.constEnd()) {
        FEntries[*found].second = value;
        return;
    }
    FIndex.insert(key, FEntries.size());
    FEntries.append({name, value});
}

QString TNameValueList::Value(const QString& name) const
{
    const auto found = FIndex.constFind(name.toCaseFolded());
    return found == FIndex.constEnd() ? QString() : FEntries.at(*found).second;
}
