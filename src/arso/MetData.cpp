#include "arso/MetData.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace arso {

QString UndoDoubleEncoding(const QString& text)
{
    const bool plain =
        std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x80; });
    if (plain)
        return text;
    // Opening a codec costs more than using it: one of each per thread.
    thread_local QStringEncoder latin2("ISO-8859-2");
    // Stateless: a lead byte at the end ("Č" is 0xC8 in Latin-2) is an error,
    // not the start of a character held back for more input.
    thread_local QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    thread_local QStringEncoder feedCodePage("windows-1250");
    latin2.resetState();
    utf8.resetState();
    feedCodePage.resetState();
    const QByteArray bytes = latin2.encode(text);
    if (latin2.hasError())
        return text;
    const QString repaired = utf8.decode(bytes);
    if (utf8.hasError() || repaired == text)
        return text;
    // Sound text whose bytes happen to form UTF-8 gives letters the feeds'
    // code page lacks, and stays as it is.
    [[maybe_unused]] const QByteArray check = feedCodePage.encode(repaired);
    return feedCodePage.hasError() ? text : repaired;
}

QString TMetData::Value(const QString& name) const
{
    return UndoDoubleEncoding(record.FirstChild(name).Text().trimmed());
}

std::optional<QList<TMetData>> ReadMetData(const QByteArray& file)
{
    const auto document = std::make_shared<const pas_lib::TXmlDocument>(file);
    if (!document->IsValid() || document->Root().Name() != u"data")
        return std::nullopt;
    QList<TMetData> records;
    for (pas_lib::TXmlElement record = document->Root().FirstChild(QStringLiteral("metData"));
         !record.IsNull() && records.size() < MaxMetData;
         record = record.NextSibling(QStringLiteral("metData")))
        records.append({document, record});
    return records;
}

} // namespace arso
