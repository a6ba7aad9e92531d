#include "arso/FeedWriter.h"

#include <QHash>
#include <QStringDecoder>
#include <QXmlStreamWriter>
#include <algorithm>
#include <functional>

namespace arso {

namespace {

// Windows-1250 as a table from character to byte, from the system's codec.
const QHash<char32_t, char>& Windows1250Bytes()
{
    static const QHash<char32_t, char> bytes = [] {
        QHash<char32_t, char> table;
        QStringDecoder decoder("windows-1250");
        for (int byte = 1; byte < 256; ++byte) {
            const char raw = char(byte);
            const QString text = decoder.decode(QByteArrayView(&raw, 1));
            if (text.size() == 1 && text.at(0) != QChar::ReplacementCharacter)
                table.insert(text.at(0).unicode(), raw);
        }
        return table;
    }();
    return bytes;
}

QByteArray ToWindows1250(const QString& text)
{
    const QHash<char32_t, char>& bytes = Windows1250Bytes();
    QByteArray out;
    out.reserve(text.size());
    for (const char32_t ch : text.toUcs4()) {
        const auto found = bytes.constFind(ch);
        if (found != bytes.cend())
            out.append(*found);
        else
            out.append("&#" + QByteArray::number(uint(ch)) + ';');
    }
    return out;
}

// Text that XML can carry: control characters and non-characters from a file
// would make the whole feed unreadable, so they go.
QString XmlText(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            clean.append(ch).append(text.at(++i));
            continue;
        }
        const char16_t unit = ch.unicode();
        const bool allowed =
            unit == u'\t' || unit == u'\n' || unit == u'\r' ||
            (unit >= 0x20 && !ch.isSurrogate() && unit != 0xFFFE && unit != 0xFFFF);
        if (allowed)
            clean.append(ch);
    }
    return clean;
}

} // namespace

TFeedWriter::TNode& TFeedWriter::NodeAt(const QString& path)
{
    TNode* node = &FRoot;
    for (const QString& step : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        auto child = std::find_if(node->children.begin(), node->children.end(),
                                  [&](const TNode& candidate) { return candidate.name == step; });
        if (child == node->children.end()) {
            node->children.append(TNode{step, {}, {}});
            child = node->children.end() - 1;
        }
        node = &*child;
    }
    return *node;
}

void TFeedWriter::AddSection(const QString& path, const QString& time, const QString& record,
                             const QList<TFeedRecord>& records)
{
    NodeAt(path).children.append(TNode{QStringLiteral("Kdaj"), XmlText(time), {}});
    AddRecords(path, record, records);
}

void TFeedWriter::AddRecords(const QString& path, const QString& record,
                             const QList<TFeedRecord>& records)
{
    TNode& section = NodeAt(path);
    for (const TFeedRecord& values : records) {
        TNode element{record, {}, {}};
        for (const auto& [name, value] : values)
            element.children.append(TNode{name, XmlText(value), {}});
        section.children.append(std::move(element));
    }
}

void TFeedWriter::AddValue(const QString& path, const QString& text)
{
    NodeAt(path).text = XmlText(text);
}

QByteArray TFeedWriter::Document() const
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(2);
    const std::function<void(const TNode&)> write = [&](const TNode& node) {
        if (node.children.isEmpty()) {
            writer.writeTextElement(node.name, node.text);
            return;
        }
        writer.writeStartElement(node.name);
        for (const TNode& child : node.children)
            write(child);
        writer.writeEndElement();
    };
    write(FRoot);
    writer.writeEndDocument();
    // The writer begins with a line break of its own.
    return "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n" + ToWindows1250(text.trimmed()) +
           '\n';
}

} // namespace arso
