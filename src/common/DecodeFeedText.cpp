#include "common/DecodeFeedText.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <array>

namespace {

Q_LOGGING_CATEGORY(lcDecode, "nimbulon.remote")

constexpr int maxSubstitutions = 500;

struct TReplacement
{
    QByteArrayView From;
    char To;
};

// Steps 2 to 10 and 13 undo UTF-8 sequences read as Windows-1250 bytes.
const std::array<TReplacement, 13> replacements{{
    {"<br>", '\r'},
    {"\xC3\xBC", '\xFC'}, // u with diaeresis
    {"\xC3\xB8", 'o'},    // o with stroke, which Windows-1250 lacks
    {"\xC4\x8C", '\xC8'}, // C with caron
    {"\xC4\x8D", '\xE8'}, // c with caron
    {"\xC5\xA1", '\x9A'}, // s with caron
    {"\xC5\xBD", '\x8E'}, // Z with caron
    {"\xC5\xBE", '\x9E'}, // z with caron
    {"\xC5\xA0", '\x8A'}, // S with caron
    {"\xC5", '\x8A'},     // what is left of a broken S/s/Z/z sequence
    {"&gt;", '>'},
    {"&lt;", '<'},
    {"\xC2", ' '}, // lead byte of a UTF-8 no-break space
}};

// Replaces at most budget occurrences, left to right, and returns how many it
// replaced. No replacement character occurs in its own pattern, so a replacement
// never creates a new occurrence: going on after it finds exactly what a search
// from the start of the text would find.
int ReplaceLimited(QByteArray& bytes, QByteArrayView from, char to, int budget)
{
    if (budget <= 0 || bytes.size() < from.size())
        return 0;
    qsizetype hit = bytes.indexOf(from);
    if (hit < 0)
        return 0;
    QByteArray result;
    result.reserve(bytes.size());
    qsizetype position = 0;
    int count = 0;
    while (hit >= 0 && count < budget) {
        result.append(bytes.constData() + position, hit - position);
        result.append(to);
        position = hit + from.size();
        ++count;
        hit = bytes.indexOf(from, position);
    }
    result.append(bytes.constData() + position, bytes.size() - position);
    bytes = result;
    return count;
}

// The Windows-1250 code page as two tables, built once from the system codec.
class TWindows1250
{
public:
    TWindows1250()
    {
        QByteArray all(256, '\0');
        for (int byte = 0; byte < 256; ++byte)
            all[byte] = char(byte);
        QStringDecoder decoder("windows-1250");
        QString decoded = decoder.isValid() ? QString(decoder(all)) : QString();
        if (decoded.size() != 256) {
            qCCritical(lcDecode) << "Windows-1250 codec unavailable; reading text as Latin-1";
            decoded = QString::fromLatin1(all);
        }
        for (int byte = 0; byte < 256; ++byte) {
            const QChar ch = decoded.at(byte);
            FDecode[byte] = ch;
            if (ch != QChar::ReplacementCharacter && !FEncode.contains(ch.unicode()))
                FEncode.insert(ch.unicode(), uchar(byte));
        }
    }

    // The byte for a character, or -1 when the code page has none.
    int Encode(QChar ch) const { return FEncode.value(ch.unicode(), -1); }

    void AppendDecoded(QString& text, const QByteArray& bytes) const
    {
        for (const char byte : bytes)
            text.append(FDecode[uchar(byte)]);
    }

private:
    std::array<QChar, 256> FDecode;
    QHash<char16_t, int> FEncode;
};

const TWindows1250& Windows1250()
{
    static const TWindows1250 codePage;
    return codePage;
}

// Text with nothing above ASCII and neither "<" nor "&" holds nothing to replace.
bool NeedsNoDecoding(const QString& text)
{
    for (const QChar ch : text)
        if (ch.unicode() >= 0x80 || ch == u'<' || ch == u'&')
            return false;
    return true;
}

} // namespace

namespace pas_lib {

QByteArray DecodeFeedText(const QByteArray& windows1250)
{
    QByteArray bytes = windows1250;
    for (const TReplacement& replacement : replacements)
        ReplaceLimited(bytes, replacement.From, replacement.To, maxSubstitutions);
    return bytes;
}

QString DecodeFeedText(const QString& text)
{
    if (NeedsNoDecoding(text))
        return text;
    const TWindows1250& codePage = Windows1250();

    // Runs of Windows-1250 bytes, each followed by the characters the code page
    // cannot hold. No pattern spans such a character, so the runs are replaced
    // one by one, sharing each replacement's limit.
    struct TRun
    {
        QByteArray Bytes;
        QString Kept;
    };
    QList<TRun> runs(1);
    for (const QChar ch : text) {
        const int byte = codePage.Encode(ch);
        if (byte < 0) {
            runs.back().Kept.append(ch);
            continue;
        }
        if (!runs.back().Kept.isEmpty())
            runs.append(TRun());
        runs.back().Bytes.append(char(byte));
    }

    for (const TReplacement& replacement : replacements) {
        int budget = maxSubstitutions;
        for (TRun& run : runs)
            budget -= ReplaceLimited(run.Bytes, replacement.From, replacement.To, budget);
    }

    QString result;
    result.reserve(text.size());
    for (const TRun& run : runs) {
        codePage.AppendDecoded(result, run.Bytes);
        result.append(run.Kept);
    }
    return result;
}

} // namespace pas_lib
