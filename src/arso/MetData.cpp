#include "arso/MetData.h"

#include "common/XmlDocument.h"

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
    QStringEncoder latin2("ISO-8859-2");
    const QByteArray bytes = latin2.encode(text);
    if (latin2.hasError())
        return text;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString repaired = utf8.decode(bytes);
    if (utf8.hasError() || repaired == text)
        return text;
    // Sound text whose bytes happen to form UTF-8 gives letters the feeds'
    // code page lacks, and stays as it is.
    QStringEncoder feedCodePage("windows-1250");
    feedCodePage.encode(repaired);
    return feedCodePage.hasError() ? text : repaired;
}

std::optional<QList<TMetData>> ReadMetData(const QByteArray& file)
{
    const pas_lib::TXmlDocument document(file);
    if (!document.IsValid() || document.Root().Name() != u"data")
        return std::nullopt;
    QList<TMetData> records;
    for (pas_lib::TXmlElement record = document.Root().FirstChild(QStringLiteral("metData"));
         !record.IsNull() && records.size() < MaxMetData;
         record = record.NextSibling(QStringLiteral("metData"))) {
        TMetData data;
        for (pas_lib::TXmlElement value = record.FirstChild(); !value.IsNull();
             value = value.NextSibling())
            data.values.insert(value.Name().toString(), UndoDoubleEncoding(value.Text()));
        records.append(std::move(data));
    }
    return records;
}

} // namespace arso
