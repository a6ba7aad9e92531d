#include "arso/StationCodes.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <climits>

namespace arso {

void TStationCodes::Load(const QByteArray& file)
{
    FCodes.clear();
    FHighest = 0;
    FChanged = false;
    for (const QByteArray& line : file.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split('\t');
        if (fields.size() != 2)
            continue;
        const QString identifier = QString::fromUtf8(fields[0]).trimmed();
        bool ok = false;
        const int code = fields[1].trimmed().toInt(&ok);
        if (identifier.isEmpty() || !ok || code < 1)
            continue;
        FCodes.insert(identifier, code);
        // Codes of every station ever seen count, so none is given twice.
        FHighest = std::max(FHighest, code);
    }
}

QByteArray TStationCodes::Save() const
{
    QByteArray file;
    for (auto entry = FCodes.cbegin(); entry != FCodes.cend(); ++entry)
        file += entry.key().toUtf8() + '\t' + QByteArray::number(entry.value()) + '\n';
    return file;
}

int TStationCodes::Code(const QString& identifier)
{
    // An identifier that the mapping file could not keep on its line gets none.
    if (identifier.isEmpty() || identifier.size() > 100 ||
        identifier.contains(QRegularExpression(QStringLiteral("[\\t\\r\\n]"))))
        return 0;
    const auto found = FCodes.constFind(identifier);
    if (found != FCodes.cend())
        return found.value();
    if (FHighest == INT_MAX)
        return 0;
    FCodes.insert(identifier, ++FHighest);
    FChanged = true;
    return FHighest;
}

} // namespace arso
