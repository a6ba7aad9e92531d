#pragma once

#include "common/XmlDocument.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

// The records of ARSO's meteorological files (observations, forecasts, a
// station's history): a root "data" with one "metData" element per station or
// forecast period, whose children carry one value each.
namespace arso {

// One "metData" record: the text of a child by its element name; an empty
// element gives an empty text, as an absent one does. It keeps its document.
struct TMetData
{
    std::shared_ptr<const pas_lib::TXmlDocument> document;
    pas_lib::TXmlElement record;

    // The text, trimmed, double encoding undone.
    QString Value(const QString& name) const;
};

// Text that was UTF-8, read as ISO-8859-2 and written again as UTF-8
// ("oblaÄ\u008dno", "Â°C"), as it was; other text as it is.
QString UndoDoubleEncoding(const QString& text);

// At most this many records are read from one file; the rest are left out.
constexpr qsizetype MaxMetData = 5000;

// The records of a file, in file order; nothing when it is not such a file (not
// XML, cut off, another root, or beyond the bounds every server document has).
std::optional<QList<TMetData>> ReadMetData(const QByteArray& file);

} // namespace arso
