#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <unordered_map>
#include <vector>

// A read-only element tree of an XML document from a server or a file, built in
// one pass of a stream reader and bounded in the work it takes: a document larger,
// deeper or with more elements than the limits allow does not parse. Only what
// the program reads is kept: element names and the text inside elements.
namespace pas_lib {

struct TXmlLimits
{
    qsizetype MaxBytes = 8 * 1024 * 1024;
    int MaxDepth = 64; // deeper than any document of the program nests
    qsizetype MaxElements = 200000;
};

class TXmlDocument;

// One element of a document; a null element when it names none. Valid while
// its document lives and is not parsed again.
class TXmlElement
{
public:
    TXmlElement() = default;

    bool IsNull() const { return FDocument == nullptr; }
    // The element's name as written, prefix included.
    QStringView Name() const;
    // Its text content: every piece of text inside it, in document order, nested
    // elements included (text of blanks alone between elements is left out).
    QStringView TextView() const;
    QString Text() const { return TextView().toString(); }

    // The first child element, optionally of a name; null when there is none.
    TXmlElement FirstChild() const;
    TXmlElement FirstChild(const QString& name) const;
    // The next element of the same parent, optionally of a name.
    TXmlElement NextSibling() const;
    TXmlElement NextSibling(const QString& name) const;

    // The element's name as a number shared by every element of that name in
    // its document (see TXmlDocument::NameId).
    int NameId() const;

    bool operator==(const TXmlElement& other) const = default;

private:
    friend class TXmlDocument;
    TXmlElement(const TXmlDocument* document, int index) : FDocument(document), FIndex(index) {}
    static TXmlElement Make(const TXmlDocument* document, int index);

    const TXmlDocument* FDocument = nullptr;
    int FIndex = -1;
};

class TXmlDocument
{
public:
    TXmlDocument() = default;
    // Parses at once; see Parse.
    explicit TXmlDocument(const QByteArray& bytes, const TXmlLimits& limits = TXmlLimits());

    // Parses the bytes in the encoding they declare. False, with the document
    // empty, when they are not well-formed XML or go beyond the limits.
    bool Parse(const QByteArray& bytes, const TXmlLimits& limits = TXmlLimits());
    void Clear();

    bool IsValid() const { return FValid; }
    TXmlElement Root() const;
    qsizetype ElementCount() const { return qsizetype(FNodes.size()); }

    // Every element at a path of child steps below the root element
    // ("URL/Nastavitve"), in document order; empty steps are skipped.
    QList<TXmlElement> Select(const QString& path) const;
    // The text of the first element the path selects, or empty.
    QString Value(const QString& path) const;

    // The number that stands for a name in this document, -1 when no element
    // has it; NameCount() bounds the numbers.
    int NameId(QStringView name) const;
    qsizetype NameCount() const { return FNames.size(); }

private:
    friend class TXmlElement;

    struct TNode
    {
        int Name = -1;
        int FirstChild = -1;
        int NextSibling = -1;
        int TextBegin = 0;
        int TextEnd = 0;
    };

    struct TNameHash
    {
        using is_transparent = void;
        size_t operator()(QStringView name) const noexcept { return qHash(name); }
        size_t operator()(const QString& name) const noexcept { return qHash(name); }
    };

    int Intern(QStringView name);
    int FirstChildNamed(int parent, int name) const;
    int NextSiblingNamed(int node, int name) const;

    std::vector<TNode> FNodes; // in document order; the root is the first
    QStringList FNames;
    std::unordered_map<QString, int, TNameHash, std::equal_to<>> FNameIds;
    QString FText; // the text of every element, one after the other
    bool FValid = false;
};

} // namespace pas_lib
