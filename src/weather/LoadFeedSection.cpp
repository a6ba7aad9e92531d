#include "weather/LoadFeedSection.h"

#include "common/FixedFormat.h"
#include "remote/DecodeFeedText.h"
#include "settings/Tparameter.h"
#include "weather/CurrentViewKind.h"
#include "weather/ParseXmlDocument.h"
#include "weather/TWeatherData.h"
#include "weather/WeatherLog.h"

#include <QColor>
#include <QDomDocument>
#include <QFont>
#include <QSqlDatabase>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

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

// The elements at a path of child steps below the root element, in document order.
QList<QDomElement> SelectElements(const QDomElement& root, const QStringList& steps)
{
    QList<QDomElement> current{root};
    for (const QString& step : steps) {
        QList<QDomElement> next;
        for (const QDomElement& element : current)
            for (QDomElement child = element.firstChildElement(step); !child.isNull();
                 child = child.nextSiblingElement(step))
                next.append(child);
        current.swap(next);
        if (current.isEmpty())
            break;
    }
    return current;
}

QList<QDomElement> ChildElements(const QDomElement& parent)
{
    QList<QDomElement> children;
    for (QDomElement child = parent.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        children.append(child);
    return children;
}

// A value for a field from its feed text. Dates and numbers use the fixed feed
// formats; one that does not parse is 0. An empty element, though, is a missing
// value, not a reading of 0.
QVariant FeedValue(TFieldType type, const QString& text)
{
    switch (type) {
    case TFieldType::DateTime:
        if (text.trimmed().isEmpty())
            return QVariant();
        if (const auto dateTime = ParseFeedDateTime(text))
            return *dateTime;
        return DaysToDateTime(0.0);
    case TFieldType::Float:
        if (text.trimmed().isEmpty())
            return QVariant();
        return ParseFeedNumber(text).value_or(0.0);
    default:
        return DecodeFeedText(text);
    }
}

void LoadTable(const QList<QDomElement>& records, const QString& keyElement, bool update,
               TWeatherTable& table)
{
    const int keyField = table.FieldIndex(keyElement);
    QSqlDatabase database = table.Database().Database();
    table.DisableControls();
    const bool inTransaction = database.transaction();
    if (!update)
        table.Empty();
    for (const QDomElement& record : records) {
        std::optional<TWeatherRow> row;
        for (const QDomElement& child : ChildElements(record)) {
            const QString name = child.tagName();
            if (name == keyElement) {
                if (keyField < 0)
                    continue;
                if (row) // a second key in one record starts another row
                    table.Post(*row);
                const QString key = DecodeFeedText(child.text());
                row = update ? table.FindRow(keyField, key) : std::nullopt;
                if (row) {
                    ClearRowValues(table, *row);
                } else {
                    row = table.NewRow();
                    table.SetValue(*row, keyField, key);
                }
                continue;
            }
            // A value before the record's key has no row to go to.
            if (!row || name.isEmpty())
                continue;
            const int field = table.FieldIndex(name);
            if (field >= 0)
                table.SetValue(*row, field, FeedValue(table.Fields().at(field).Type, child.text()));
        }
        if (row)
            table.Post(*row);
    }
    if (inTransaction)
        database.commit();
    table.EnableControls();
}

double TextSize()
{
    const QString text =
        parametri ? parametri->Get(QStringLiteral("PISAVA_VELIKOST")).toString() : QString();
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

void WriteText(const QList<QDomElement>& records, const QString& keyElement, QTextDocument& pane)
{
    const double size = TextSize();
    const QTextCharFormat heading = TextFormat(true, size);
    const QTextCharFormat paragraph = TextFormat(false, size);
    TPaneWriter writer(pane);
    for (const QDomElement& record : records)
        for (const QDomElement& child : ChildElements(record)) {
            const QString text = child.text();
            if (text.size() > 1)
                writer.AddParagraph(DecodeFeedText(text),
                                    child.tagName() == keyElement ? heading : paragraph);
        }
}

// Writes the texts before the sun text into the pane, then reads the sun times
// from it. False when no text of the section carries them.
bool ExtractSunTimes(const QList<QDomElement>& records, QTextDocument& pane)
{
    TPaneWriter writer(pane);
    for (const QDomElement& record : records)
        for (const QDomElement& child : ChildElements(record)) {
            const QString text = child.text();
            if (text.contains(sunTextMarker)) {
                ReadSunTimes(text);
                return true;
            }
            if (text.size() > 1)
                writer.AddParagraph(DecodeFeedText(text));
        }
    return false;
}

// The view title followed by the section's time; a time from an earlier load
// is replaced.
void ApplyTitleTime(const QDomElement& root, QStringList steps, TViewTitle& title)
{
    steps.last() = timeElement;
    const QList<QDomElement> found = SelectElements(root, steps);
    if (found.isEmpty())
        return;
    QString text = title.Text();
    const qsizetype gap = text.indexOf(titleGap);
    if (gap >= 0)
        text.truncate(gap);
    title.SetText(text + titleGap + DecodeFeedText(found.first().text()));
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
    for (qsizetype index = 0; index < fields.size(); ++index) {
        const TFieldDef& field = fields.at(index);
        if (field.Name == QLatin1String("SIFRA") || field.Name == QLatin1String("KRAJ"))
            continue;
        switch (field.Type) {
        case TFieldType::String:
            row.Values[index] = QString(QLatin1String(""));
            break;
        case TFieldType::Integer:
        case TFieldType::Float:
            row.Values[index] = QVariant();
            break;
        case TFieldType::DateTime:
            break;
        }
    }
}

} // namespace pas_lib

void TWeatherData::LoadFeedSection(const QString& path, const QString& keyElement,
                                   const QByteArray& document, bool update, TWeatherTable* table)
{
    using namespace pas_lib;
    const QStringList steps = path.split(QLatin1Char('/'));
    if (path.isEmpty() || steps.contains(QString())) {
        qCDebug(lcWeather) << "Feed section path cannot be read:" << path;
        return;
    }
    QDomDocument feed;
    if (!ParseXmlDocument(document, feed)) {
        qCDebug(lcWeather) << "Feed does not parse; section" << path << "left as it was";
        return;
    }
    const QDomElement root = feed.documentElement();
    const QList<QDomElement> records = SelectElements(root, steps);

    if (table) {
        LoadTable(records, keyElement, update, *table);
    } else {
        QTextDocument& pane = CurrentViewKind == CoastViewKind ? *CoastTextPane : *MainTextPane;
        if (!update)
            WriteText(records, keyElement, pane);
        else if (ExtractSunTimes(records, pane))
            return;
    }
    ApplyTitleTime(root, steps, *ViewTitle);
}
