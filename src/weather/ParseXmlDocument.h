#pragma once

#include <QByteArray>
#include <QDomDocument>

namespace pas_lib {

// Parses an XML document (the station catalogue, a feed) in the encoding it
// declares. False, with the document left empty, when the bytes are not
// well-formed XML or nest elements deeper than any document of the program does:
// the document model would exhaust the stack tearing such a tree down.
bool ParseXmlDocument(const QByteArray& bytes, QDomDocument& document);

} // namespace pas_lib
