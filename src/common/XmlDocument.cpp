#include "common/XmlDocument.h"

#include <QLoggingCategory>
#include <QXmlStreamReader>

Q_LOGGING_CATEGORY(lcXml, "nimbulon.xml", QtInfoMsg)

namespace pas_lib {

// ---------------------------------------------------------------- TXmlElement

TXmlElement TXmlElement::Make(const TXmlDocument* document, int index)
{
    return index < 0 ? TXmlElement() : TXmlElement(document, index);
}

QStringView TXmlElement::Name() const
{
    if (!FDocument)
        return {};
    return FDocument->FNames.at(FDocument->FNodes[size_t(FIndex)].Name);
}

int TXmlElement::NameId() const
{
    return FDocument ? FDocument->FNodes[size_t(FIndex)].Name : -1;
}

QStringView TXmlElement::TextView() const
{
    if (!FDocument)
        return {};
    const TXmlDocument::TNode& node = FDocument->FNodes[size_t(FIndex)];
    return QStringView(FDocument->FText).sliced(node.TextBegin, node.TextEnd - node.TextBegin);
}

TXmlElement TXmlElement::FirstChild() const
{
    if (!FDocument)
        return {};
    return Make(FDocument, FDocument->FNodes[size_t(FIndex)].FirstChild);
}

TXmlElement TXmlElement::FirstChild(const QString& name) const
{
    if (!FDocument)
        return {};
    return Make(FDocument, FDocument->FirstChildNamed(FIndex, FDocument->NameId(name)));
}

TXmlElement TXmlElement::NextSibling() const
{
    if (!FDocument)
        return {};
    return Make(FDocument, FDocument->FNodes[size_t(FIndex)].NextSibling);
}

TXmlElement TXmlElement::NextSibling(const QString& name) const
{
    if (!FDocument)
        return {};
    return Make(FDocument, FDocument->NextSiblingNamed(FIndex, FDocument->NameId(name)));
}

// --------------------------------------------------------------- TXmlDocument

TXmlDocument::TXmlDocument(const QByteArray& bytes, const TXmlLimits& limits)
{
    Parse(bytes, limits);
}

void TXmlDocument::Clear()
{
    FNodes.clear();
    FNames.clear();
    FNameIds.clear();
    FText.clear();
    FValid = false;
}

int TXmlDocument::Intern(QStringView name)
{
    const auto found = FNameIds.find(name);
    if (found != FNameIds.end())
        return found->second;
    const int id = int(FNames.size());
    FNames.append(name.toString());
    FNameIds.emplace(FNames.last(), id);
    return id;
}

int TXmlDocument::NameId(QStringView name) const
{
    const auto found = FNameIds.find(name);
    return found == FNameIds.end() ? -1 : found->second;
}

bool TXmlDocument::Parse(const QByteArray& bytes, const TXmlLimits& limits)
{
    Clear();
    auto fail = [this](const char* why) {
        qCDebug(lcXml) << "XML document refused:" << why;
        Clear();
        return false;
    };
    if (bytes.size() > limits.MaxBytes)
        return fail("too large");

    // Text is rarely longer than the document that holds it.
    FText.reserve(bytes.size());
    QXmlStreamReader reader(bytes);
    // Names are taken as written, prefixes and all: no document of the program
    // uses namespaces, and an undeclared prefix must not make one unreadable.
    reader.setNamespaceProcessing(false);
    // The open elements, and the last child seen of each, for linking siblings.
    std::vector<int> open;
    std::vector<int> lastChild;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (qsizetype(FNodes.size()) >= limits.MaxElements)
                return fail("too many elements");
            if (int(open.size()) >= limits.MaxDepth)
                return fail("nested too deeply");
            const int index = int(FNodes.size());
            TNode node;
            node.Name = Intern(reader.qualifiedName());
            node.TextBegin = node.TextEnd = int(FText.size());
            FNodes.push_back(node);
            if (!open.empty()) {
                int& previous = lastChild.back();
                if (previous < 0)
                    FNodes[size_t(open.back())].FirstChild = index;
                else
                    FNodes[size_t(previous)].NextSibling = index;
                previous = index;
            }
            open.push_back(index);
            lastChild.push_back(-1);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (open.empty())
                return fail("end without start");
            FNodes[size_t(open.back())].TextEnd = int(FText.size());
            open.pop_back();
            lastChild.pop_back();
            break;
        case QXmlStreamReader::Characters:
            // Blanks that only lay out the elements are no text.
            if (open.empty() || (reader.isWhitespace() && !reader.isCDATA()))
                break;
            // Entities can make the text longer than the document; never more
            // than the document's own size limit.
            if (FText.size() + reader.text().size() > limits.MaxBytes)
                return fail("text too long");
            FText.append(reader.text());
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        qCDebug(lcXml).noquote() << "XML document not well-formed:" << reader.errorString()
                                 << "at line" << reader.lineNumber();
        Clear();
        return false;
    }
    if (FNodes.empty())
        return fail("no element");
    FValid = true;
    qCDebug(lcXml) << "XML document parsed:" << FNodes.size() << "elements";
    return true;
}

TXmlElement TXmlDocument::Root() const
{
    return FValid ? TXmlElement(this, 0) : TXmlElement();
}

int TXmlDocument::FirstChildNamed(int parent, int name) const
{
    if (name < 0)
        return -1;
    int child = FNodes[size_t(parent)].FirstChild;
    while (child >= 0 && FNodes[size_t(child)].Name != name)
        child = FNodes[size_t(child)].NextSibling;
    return child;
}

int TXmlDocument::NextSiblingNamed(int node, int name) const
{
    if (name < 0)
        return -1;
    int sibling = FNodes[size_t(node)].NextSibling;
    while (sibling >= 0 && FNodes[size_t(sibling)].Name != name)
        sibling = FNodes[size_t(sibling)].NextSibling;
    return sibling;
}

QList<TXmlElement> TXmlDocument::Select(const QString& path) const
{
    QList<TXmlElement> selected;
    if (!FValid)
        return selected;
    std::vector<int> level{0};
    for (const QStringView step : QStringView(path).split(u'/', Qt::SkipEmptyParts)) {
        const int name = NameId(step);
        if (name < 0)
            return selected;
        std::vector<int> next;
        for (const int parent : level)
            for (int child = FirstChildNamed(parent, name); child >= 0;
                 child = NextSiblingNamed(child, name))
                next.push_back(child);
        level.swap(next);
        if (level.empty())
            return selected;
    }
    selected.reserve(qsizetype(level.size()));
    for (const int index : level)
        selected.append(TXmlElement(this, index));
    return selected;
}

QString TXmlDocument::Value(const QString& path) const
{
    const QList<TXmlElement> selected = Select(path);
    return selected.isEmpty() ? QString() : selected.first().Text();
}

} // namespace pas_lib
