#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One advertisement of the advertising server's list.
struct TAdItem
{
    // 0 when the list gives no display time: the entry then stays until the
    // player is turned off and on.
    int displaySeconds = 0;
    QString pictureUrl;
    QString clickUrl;
    // The downloaded picture; none when the download gave nothing.
    std::optional<QByteArray> picture;
};

// Bounds on what an advertising server can make the program hold.
struct TAdLimits
{
    int maxItems = 50;
    qsizetype maxPictureBytes = 2 * 1024 * 1024;
    int maxPictureSide = 4096;
    int minSeconds = 1;
    int maxSeconds = 3600;
};

// Reads the list document into items: the n-th "CasPrikaza", "Slika" and
// "AddURL" child of the root (in any order) belong to the n-th advertisement.
// A kind of element that is missing leaves its field and the number of
// entries as they were. False, with items unchanged, when the document is not
// XML. Display times that are not integers count as 5 seconds; others are
// kept within the limits, apart from 0.
bool ReadAdvertisingList(const QByteArray& document, QList<TAdItem>& items,
                         const TAdLimits& limits = TAdLimits());

// The picture kind an address names by its extension: "GIF", "JPEG", or empty
// for any other.
QByteArray AdPictureFormat(const QString& pictureUrl);
