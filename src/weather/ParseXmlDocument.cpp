#include "weather/ParseXmlDocument.h"

#include "weather/WeatherLog.h"

#include <QXmlStreamReader>

namespace pas_lib {

namespace {
constexpr int maxDepth = 64;
} // namespace

bool ParseXmlDocument(const QByteArray& bytes, QDomDocument& document)
{
    document.clear();
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > maxDepth) {
            qCDebug(lcWeather) << "XML document nested deeper than" << maxDepth;
            return false;
        }
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    if (reader.hasError()) {
        qCDebug(lcWeather).noquote() << "XML document not well-formed:" << reader.errorString()
                                     << "at line" << reader.lineNumber();
        return false;
    }
    QString message;
    if (!document.setContent(bytes, &message)) {
        qCDebug(lcWeather).noquote() << "XML document rejected:" << message;
        document.clear();
        return false;
    }
    return true;
}

} // namespace pas_lib
