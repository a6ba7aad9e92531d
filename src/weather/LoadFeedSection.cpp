#include "weather/LoadFeedSection.h"

#include "common/DecodeFeedText.h"
#include "common/FixedFormat.h"
#include "common/XmlDocument.h"
#include "settings/Tparameter.h"
#include "weather/CurrentViewKind.h"
#include "weather/TWeatherData.h"
#include "weather/WeatherLog.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QSqlDatabase>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVarLengthArray>

namespace pas_lib {

double SunriseTime = 0.0;
double SunsetTime = 0.0;

namespace {

const QString sunTextMarker = QStringLiteral("Sonce vzide ob");
const QString titleGap = QStringLiteral("   ");
const QString timeElement = QStringLiteral("Kdaj");
const QColor headingColour(234, 171, 55);
const QColor paragraphColour(52, 65, 86);
constexpr double defaultTextSize = 8.0;
constexpr double maxTextSize = 200.0;

// What ClearRowValues does to a field: text becomes empty, numbers NULL;
// SIFRA, KRAJ and date-times keep their values.
bool ClearsField(const TFieldDef& field)
{
    return field.Type != TFieldType::DateTime && field.Name != QLatin1String("SIFRA") &&
           field.Name != QLatin1String("KRAJ");
}

QVariant ClearedValue(const TFieldDef& field)
{
    return field.Type == TFieldType::String ? QVariant(QString(QLatin1String(""))) : QVariant();
}

// A value for a field from its feed text. Dates and numbers use the fixed feed
// formats; one that does not parse is a missing value (NULL), as an empty
// element is, never a reading of 0.
QVariant FeedValue(TFieldType type, QStringView text)
{
    switch (type) {
    case TFieldType::DateTime:
        if (const auto dateTime = ParseFeedDateTime(text.toString()))
            return *dateTime;
        return QVariant();
    case TFieldType::Float:
        if (const auto number = ParseFeedNumber(text))
            return *number;
        return QVariant();
    case TFieldType::Integer:
        return text.toString();
    case TFieldType::String:
        break;
    }
    return DecodeFeedText(text.toString());
}

// Writes the records of a section into a table. Rows are written field by field:
// a found row only has the fields rewritten that the record or the clearing
// touches, so that one prepared statement per set of fields serves the section.
class TTableLoader
{
public:
    TTableLoader(const TXmlDocument& document, const QString& keyElement, bool update,
                 TWeatherTable& table)
        : FTable(table), FUpdate(update), FKeyName(document.NameId(keyElement)),
          FKeyField(table.FieldIndex(keyElement)), FFieldOfName(document.NameCount(), UnknownField)
    {
    }

    void Load(const QList<TXmlElement>& records)
    {
        QSqlDatabase database = FTable.Database().Database();
        FTable.DisableControls();
        const bool inTransaction = database.transaction();
        if (!FUpdate)
            FTable.Empty();
        for (const TXmlElement& record : records) {
            for (TXmlElement child = record.FirstChild(); !child.IsNull();
                 child = child.NextSibling()) {
                if (child.NameId() == FKeyName) {
                    if (FKeyField < 0)
                        continue;
                    StartRow(DecodeFeedText(child.Text())); // a second key starts another row
                    continue;
                }
                // A value before the record's key has no row to go to.
                if (!FInRow)
                    continue;
                const int field = FieldOf(child);
                if (field >= 0)
                    SetField(field, child.TextView());
            }
            FinishRow();
        }
        if (inTransaction)
            database.commit();
        FTable.EnableControls();
    }

private:
    static constexpr int UnknownField = -2;

    int FieldOf(const TXmlElement& child)
    {
        int& field = FFieldOfName[child.NameId()];
        if (field == UnknownField)
            field = child.Name().isEmpty() ? -1 : FTable.FieldIndex(child.Name().toString());
        return field;
    }

    void StartRow(const QString& key)
    {
        FinishRow();
        const QList<TFieldDef>& fields = FTable.Fields();
        FValues = QVariantList(fields.size());
        FMask = 0;
        FRowId = FUpdate ? FTable.FindRowId(FKeyField, key) : std::nullopt;
        FInRow = true;
        if (!FRowId) {
            SetStored(FKeyField, FTable.StorageValue(FKeyField, key));
            return;
        }
        for (int field = 0; field < fields.size(); ++field)
            if (ClearsField(fields.at(field)))
                SetStored(field, ClearedValue(fields.at(field)));
    }

    void SetField(int field, QStringView text)
    {
        const TFieldType type = FTable.Fields().at(field).Type;
        if (type != TFieldType::DateTime) {
            SetStored(field, FTable.StorageValue(field, FeedValue(type, text)));
            return;
        }
        // A feed's reports share a few report times; each is converted once.
        const QString key = text.toString();
        auto found = FDateTimes.constFind(key);
        if (found == FDateTimes.constEnd())
            found = FDateTimes.insert(key, FTable.StorageValue(field, FeedValue(type, text)));
        SetStored(field, *found);
    }

    void SetStored(int field, const QVariant& value)
    {
        FValues[field] = value;
        FMask |= quint64(1) << field;
    }

    void FinishRow()
    {
        if (!FInRow)
            return;
        FInRow = false;
        if (FRowId) {
            FTable.UpdateFields(*FRowId, FMask, FValues);
            return;
        }
        TWeatherRow row;
        row.Values = FValues;
        FTable.Post(row);
    }

    TWeatherTable& FTable;
    const bool FUpdate;
    const int FKeyName;
    const int FKeyField;
    QVarLengthArray<int, 64> FFieldOfName;
    QHash<QString, QVariant> FDateTimes;
    bool FInRow = false;
    std::optional<qint64> FRowId;
    QVariantList FValues;
    quint64 FMask = 0;
};

double TextSize()
{
    const QString text = parametri ? parametri->Get(TParam::PISAVA_VELIKOST).toString() : QString();
    const double size = ParseFeedNumber(text).value_or(defaultTextSize);
    return size >= 1.0 && size <= maxTextSize ? size : defaultTextSize;
}

// A line break inside a text stays inside its paragraph.
QString OneParagraph(QString text)
{
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// Text panes take whole lines, each in one style.
class TPaneWriter
{
public:
    // Clears the pane and leaves one empty line in it.
    explicit TPaneWriter(QTextDocument& pane)
    {
        pane.clear();
        FCursor = QTextCursor(&pane);
        // The pane's paragraph indents, in points.
        constexpr double pixelsPerPoint = 96.0 / 72.0;
        FBlock.setTextIndent(pane.property(pas_lib::FirstLineIndentProperty).toDouble() *
                             pixelsPerPoint);
        FBlock.setRightMargin(pane.property(pas_lib::RightIndentProperty).toDouble() *
                              pixelsPerPoint);
        FCursor.setBlockFormat(FBlock);
    }

    void AddLine(const QString& text, const QTextCharFormat& format = QTextCharFormat())
    {
        FCursor.insertBlock(FBlock, format);
        if (!text.isEmpty())
            FCursor.insertText(OneParagraph(text), format);
    }

    // The text followed by an empty line.
    void AddParagraph(const QString& text, const QTextCharFormat& format = QTextCharFormat())
    {
        AddLine(text, format);
        AddLine(QString(), format);
    }

private:
    QTextCursor FCursor;
    QTextBlockFormat FBlock;
};

QTextCharFormat TextFormat(bool heading, double size)
{
    QTextCharFormat format;
    format.setFontWeight(heading ? QFont::Bold : QFont::Normal);
    format.setForeground(heading ? headingColour : paragraphColour);
    format.setFontPointSize(heading ? size + 2.0 : size);
    return format;
}

void WriteText(const QList<TXmlElement>& records, const QString& keyElement, QTextDocument& pane)
{
    const double size = TextSize();
    const QTextCharFormat heading = TextFormat(true, size);
    const QTextCharFormat paragraph = TextFormat(false, size);
    TPaneWriter writer(pane);
    for (const TXmlElement& record : records)
        for (TXmlElement child = record.FirstChild(); !child.IsNull();
             child = child.NextSibling()) {
            const QStringView text = child.TextView();
            if (text.size() > 1)
                writer.AddParagraph(DecodeFeedText(text.toString()),
                                    child.Name() == keyElement ? heading : paragraph);
        }
}

// Writes the texts before the sun text into the pane, then reads the sun times
// from it. False when no text of the section carries them.
bool ExtractSunTimes(const QList<TXmlElement>& records, QTextDocument& pane)
{
    TPaneWriter writer(pane);
    for (const TXmlElement& record : records)
        for (TXmlElement child = record.FirstChild(); !child.IsNull();
             child = child.NextSibling()) {
            const QStringView text = child.TextView();
            if (text.contains(sunTextMarker)) {
                ReadSunTimes(text);
                return true;
            }
            if (text.size() > 1)
                writer.AddParagraph(DecodeFeedText(text.toString()));
        }
    return false;
}

// The view title followed by the section's time; a time from an earlier load
// is replaced.
void ApplyTitleTime(const TXmlDocument& document, QStringList steps, TViewTitle& title)
{
    steps.last() = timeElement;
    const QList<TXmlElement> found = document.Select(steps.join(QLatin1Char('/')));
    if (found.isEmpty())
        return;
    QString text = title.Text();
    const qsizetype gap = text.indexOf(titleGap);
    if (gap >= 0)
        text.truncate(gap);
    title.SetText(text + titleGap + DecodeFeedText(found.first().Text()));
}

// One time of day from a run of digits and full stops, as a fraction of a day.
std::optional<double> ReadDayTime(QStringView run)
{
    const QList<QStringView> parts = run.split(QLatin1Char('.'));
    if (parts.isEmpty() || parts.size() > 3)
        return std::nullopt;
    constexpr int limits[] = {23, 59, 59};
    constexpr double units[] = {1.0 / 24.0, 1.0 / 1440.0, 1.0 / 86400.0};
    double time = 0.0;
    for (qsizetype index = 0; index < parts.size(); ++index) {
        const QStringView part = parts.at(index);
        bool ok = false;
        const int value = part.size() <= 2 ? part.toInt(&ok, 10) : -1;
        if (!ok || value < 0 || value > limits[index])
            return std::nullopt;
        time += value * units[index];
    }
    return time;
}

bool IsAsciiDigit(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// The runs of digits and full stops, each from its first digit and without the
// full stops at its end (a sentence may end right after a time).
QList<QStringView> TimeRuns(QStringView text)
{
    QList<QStringView> runs;
    qsizetype index = 0;
    while (index < text.size()) {
        if (!IsAsciiDigit(text.at(index))) {
            ++index;
            continue;
        }
        qsizetype end = index;
        while (end < text.size() && (IsAsciiDigit(text.at(end)) || text.at(end) == u'.'))
            ++end;
        QStringView run = text.sliced(index, end - index);
        while (run.endsWith(u'.'))
            run.chop(1);
        runs.append(run);
        index = end;
    }
    return runs;
}

} // namespace

void ReadSunTimes(QStringView text)
{
    const QList<QStringView> runs = TimeRuns(text);
    const auto sunrise = runs.size() > 0 ? ReadDayTime(runs.at(0)) : std::nullopt;
    const auto sunset = runs.size() > 1 ? ReadDayTime(runs.at(1)) : std::nullopt;
    SunriseTime = sunrise ? *sunrise - SunTimeMargin : DefaultSunriseTime;
    SunsetTime = sunset ? *sunset + SunTimeMargin : DefaultSunsetTime;
}

void ClearRowValues(const TWeatherTable& table, TWeatherRow& row)
{
    const QList<TFieldDef>& fields = table.Fields();
    row.Values.resize(fields.size());
    for (qsizetype index = 0; index < fields.size(); ++index)
        if (ClearsField(fields.at(index)))
            row.Values[index] = ClearedValue(fields.at(index));
}

} // namespace pas_lib

void TWeatherData::LoadFeedSection(const QString& path, const QString& keyElement,
                                   const pas_lib::TXmlDocument& document, bool update,
                                   TWeatherTable* table)
{
    using namespace pas_lib;
    const QStringList steps = path.split(QLatin1Char('/'));
    if (path.isEmpty() || steps.contains(QString())) {
        qCDebug(lcWeather) << "Feed section path cannot be read:" << path;
        return;
    }
    if (!document.IsValid()) {
        qCDebug(lcWeather) << "Feed does not parse; section" << path << "left as it was";
        return;
    }
    const QList<TXmlElement> records = document.Select(path);

    if (table) {
        TTableLoader(document, keyElement, update, *table).Load(records);
    } else {
        // The view shown picks the pane; views without one of their own use the main pane.
        const TViewKindInfo* view = ViewKindInfo(CurrentViewKind);
        QTextDocument* ownPane = view ? view->TextPane(*this) : nullptr;
        QTextDocument& pane = ownPane ? *ownPane : *MainTextPane;
        if (!update)
            WriteText(records, keyElement, pane);
        else if (ExtractSunTimes(records, pane))
            return;
    }
    ApplyTitleTime(document, steps, *ViewTitle);
}

void TWeatherData::ApplyFeedSectionTime(const QString& path, const pas_lib::TXmlDocument& document)
{
    const QStringList steps = path.split(QLatin1Char('/'));
    if (!path.isEmpty() && !steps.contains(QString()) && document.IsValid())
        pas_lib::ApplyTitleTime(document, steps, *ViewTitle);
}

void TWeatherData::LoadFeedSection(const QString& path, const QString& keyElement,
                                   const QByteArray& document, bool update, TWeatherTable* table)
{
    LoadFeedSection(path, keyElement, pas_lib::TXmlDocument(document), update, table);
}
