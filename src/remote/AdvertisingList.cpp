#include "remote/AdvertisingList.h"

#include "common/XmlDocument.h"

#include <QUrl>
#include <algorithm>

namespace {

// The texts of the root's children of one name, at most limit of them.
QStringList ChildTexts(const pas_lib::TXmlElement& root, const QString& name, int limit)
{
    QStringList texts;
    for (pas_lib::TXmlElement child = root.FirstChild(name);
         !child.IsNull() && texts.size() < limit; child = child.NextSibling(name))
        texts.append(child.Text().trimmed());
    return texts;
}

} // namespace

bool ReadAdvertisingList(const QByteArray& document, QList<TAdItem>& items, const TAdLimits& limits)
{
    pas_lib::TXmlDocument list;
    if (!list.Parse(document))
        return false;
    const pas_lib::TXmlElement root = list.Root();
    const QStringList times = ChildTexts(root, QStringLiteral("CasPrikaza"), limits.maxItems);
    const QStringList pictures = ChildTexts(root, QStringLiteral("Slika"), limits.maxItems);
    const QStringList clicks = ChildTexts(root, QStringLiteral("AddURL"), limits.maxItems);
    if (!times.isEmpty()) {
        items.resize(times.size());
        for (qsizetype i = 0; i < times.size(); ++i) {
            bool ok = false;
            const int seconds = times.at(i).toInt(&ok, 10);
            items[i].displaySeconds =
                !ok            ? 5
                : seconds == 0 ? 0
                               : std::clamp(seconds, limits.minSeconds, limits.maxSeconds);
        }
    }
    for (auto [texts, field] :
         {std::pair{&pictures, &TAdItem::pictureUrl}, std::pair{&clicks, &TAdItem::clickUrl}}) {
        if (texts->isEmpty())
            continue;
        if (texts->size() > items.size())
            items.resize(texts->size());
        for (qsizetype i = 0; i < texts->size(); ++i)
            items[i].*field = texts->at(i);
    }
    return true;
}

QByteArray AdPictureFormat(const QString& pictureUrl)
{
    // The extension of the address's path; a query does not name the kind.
    const QString path = QUrl(pictureUrl).path().toUpper();
    if (path.endsWith(QLatin1String(".GIF")))
        return "GIF";
    if (path.endsWith(QLatin1String(".JPG")) || path.endsWith(QLatin1String(".JPEG")))
        return "JPEG";
    return QByteArray();
}
