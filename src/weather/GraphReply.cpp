#include "weather/GraphReply.h"

#include "common/FixedFormat.h"
#include "weather/TWeatherDatabase.h"
#include "weather/TWeatherTable.h"
#include "weather/WeatherLog.h"

#include <QSqlDatabase>
#include <optional>

namespace {

struct TValue
{
    QString text;
    bool quoted = false;
};

// Walks the reply record by record; a record ends at a line break outside quotes.
class TReplyLines
{
public:
    TReplyLines(const QByteArray& reply, qsizetype maxLineBytes)
        : FReply(reply), FMaxLineBytes(maxLineBytes)
    {
    }

    // The next record without its line break; nothing at the end of the reply
    // or when a record is longer than the bound (then Overlong() is true).
    std::optional<QByteArray> Next()
    {
        const qsizetype size = FReply.size();
        if (FPosition >= size)
            return std::nullopt;
        bool inQuotes = false;
        qsizetype end = FPosition;
        while (end < size) {
            const char c = FReply.at(end);
            if (c == '"')
                inQuotes = !inQuotes;
            else if ((c == '\n' || c == '\r') && !inQuotes)
                break;
            if (end - FPosition >= FMaxLineBytes) {
                FOverlong = true;
                FPosition = size;
                return std::nullopt;
            }
            ++end;
        }
        QByteArray line = FReply.mid(FPosition, end - FPosition);
        FPosition = end;
        if (FPosition < size && FReply.at(FPosition) == '\r')
            ++FPosition;
        if (FPosition < size && FReply.at(FPosition) == '\n')
            ++FPosition;
        return line;
    }

    bool Overlong() const { return FOverlong; }

private:
    const QByteArray& FReply;
    qsizetype FMaxLineBytes;
    qsizetype FPosition = 0;
    bool FOverlong = false;
};

// The comma-separated values of one record; nothing when a quote is left
// open or text follows a closing quote.
std::optional<QList<TValue>> SplitRecord(const QByteArray& line)
{
    const QString text = QString::fromUtf8(line);
    QList<TValue> values;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (true) {
        TValue value;
        if (i < size && text.at(i) == QLatin1Char('"')) {
            value.quoted = true;
            ++i;
            bool closed = false;
            while (i < size) {
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < size && text.at(i + 1) == QLatin1Char('"')) {
                        value.text += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value.text += text.at(i++);
            }
            if (!closed || (i < size && text.at(i) != QLatin1Char(',')))
                return std::nullopt;
        } else {
            const qsizetype comma = text.indexOf(QLatin1Char(','), i);
            const qsizetype end = comma < 0 ? size : comma;
            value.text = text.mid(i, end - i);
            i = end;
        }
        values.append(std::move(value));
        if (i >= size)
            break;
        ++i; // the comma
    }
    return values;
}

// A value in the reply's form as the table stores it; nothing when it does
// not read as the field's type.
std::optional<QVariant> ReplyValue(const TWeatherTable& table, int field, const TValue& value)
{
    if (!value.quoted && value.text.isEmpty())
        return QVariant();
    const TFieldDef& def = table.Fields().at(field);
    switch (def.Type) {
    case TFieldType::String:
        return table.StorageValue(field, value.text);
    case TFieldType::Integer:
    case TFieldType::Float: {
        const std::optional<double> number = pas_lib::ParseFeedNumber(value.text);
        if (!number)
            return std::nullopt;
        const QVariant stored = table.StorageValue(field, *number);
        return stored.isValid() ? std::optional<QVariant>(stored) : std::nullopt;
    }
    case TFieldType::DateTime: {
        // Day/month/year with "/": the feeds' own reader, once "/" is ".".
        if (value.text.contains(QLatin1Char('.')))
            return std::nullopt;
        QString feedForm = value.text;
        feedForm.replace(QLatin1Char('/'), QLatin1Char('.'));
        const std::optional<QDateTime> dateTime = pas_lib::ParseFeedDateTime(feedForm);
        if (!dateTime)
            return std::nullopt;
        return table.StorageValue(field, *dateTime);
    }
    }
    return std::nullopt;
}

bool IsMarker(const QByteArray& line, const char* marker)
{
    return line.trimmed() == marker;
}

} // namespace

TGraphReplyResult ReadGraphReply(const QByteArray& reply, TWeatherTable& table,
                                 const TGraphReplyLimits& limits)
{
    TGraphReplyResult result;
    TReplyLines lines(reply, limits.maxLineBytes);
    std::optional<QByteArray> line = lines.Next();
    while (line && line->trimmed().isEmpty())
        line = lines.Next();
    if (!line) {
        result.complete = !lines.Overlong();
        return result;
    }
    if (IsMarker(*line, "@@TABLEDEF START@@")) {
        // The definition must end before the header; the table is emptied
        // only for a complete one.
        do
            line = lines.Next();
        while (line && !IsMarker(*line, "@@TABLEDEF END@@"));
        if (!line) {
            result.complete = false;
            return result;
        }
        table.Empty();
        line = lines.Next();
    }
    if (!line) {
        result.complete = !lines.Overlong();
        return result;
    }

    const std::optional<QList<TValue>> header = SplitRecord(*line);
    QList<int> columns; // table field per reply column, -1 for unknown ones
    bool anyKnown = false;
    if (header) {
        for (const TValue& name : *header) {
            const int field = table.FieldIndex(name.text.trimmed());
            columns.append(field);
            anyKnown = anyKnown || field >= 0;
        }
    }
    if (!anyKnown) {
        qCDebug(lcWeather) << "Graph reply without a known column";
        result.complete = false;
        return result;
    }

    QSqlDatabase database = QSqlDatabase::database(table.Database().ConnectionName());
    const bool inTransaction = database.transaction();
    table.DisableControls();
    while ((line = lines.Next())) {
        if (line->isEmpty())
            continue;
        if (result.rowsAdded >= limits.maxRows) {
            result.complete = false;
            break;
        }
        const std::optional<QList<TValue>> values = SplitRecord(*line);
        if (!values) {
            result.complete = false;
            break;
        }
        TWeatherRow row = table.NewRow();
        bool valid = true;
        bool anyValue = false;
        for (qsizetype column = 0; column < values->size() && column < columns.size(); ++column) {
            const int field = columns.at(column);
            if (field < 0)
                continue;
            const std::optional<QVariant> stored = ReplyValue(table, field, values->at(column));
            if (!stored) {
                valid = false;
                break;
            }
            if (stored->isValid()) {
                row.Values[field] = *stored;
                anyValue = true;
            }
        }
        if (!valid) {
            result.complete = false;
            break;
        }
        if (!anyValue)
            continue;
        const qint64 id = table.Post(row);
        if (id < 0) {
            result.complete = false;
            break;
        }
        if (result.firstRowId < 0)
            result.firstRowId = id;
        ++result.rowsAdded;
    }
    if (lines.Overlong())
        result.complete = false;
    if (inTransaction)
        database.commit();
    table.EnableControls();
    if (!result.complete)
        qCDebug(lcWeather) << "Graph reply read in part:" << result.rowsAdded << "rows";
    return result;
}
