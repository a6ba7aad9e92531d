#pragma once

#include <QDateTime>
#include <QString>

namespace pas_lib {
class TXmlDocument;
}

// The pictures of the picture views: the file each is kept in, the mirror
// file slot it comes from (also its last-modified stamp slot), and the change
// stamp of the main feed that says when the server's copy changed.
struct TPictureSource
{
    const char* fileName;
    int slot;
    int changeKind;
};

namespace Pictures {
inline constexpr TPictureSource RadarStill{"radar.gif", 4, 3};
inline constexpr TPictureSource RadarAnimated{"radar_anim.gif", 5, 4};
inline constexpr TPictureSource ForecastTomorrow{"jutri.png", 2, 1};
inline constexpr TPictureSource ForecastDayAfter{"pojutri.png", 3, 2};
inline constexpr TPictureSource FourDay{"vreme.jpg", 6, 6};

// Satellite kinds: 0 cloudiness, 1 precipitation, 2 cyclones, 3 cyclones enlarged.
constexpr int SatelliteKindCount = 4;
constexpr int SatellitePictureCount = 11;
constexpr int SatelliteFirstSlot = 7;
} // namespace Pictures

// A picture's file in the picture folder.
QString PicturePath(const TPictureSource& source);
// A file's modification time in days; 0 when there is no such file.
double FileTimeDays(const QString& path);
// When the main feed says the server's copy changed, in days; 0 when it says
// nothing readable.
double ChangeTimeDays(const pas_lib::TXmlDocument& mainFeed, int changeKind);
// Whether the local copy is as new as the server's: its time is not before
// the change time (also when there is no file and no change time). Never with
// the direct source, whose fetch compares Last-Modified times instead.
bool PictureFresh(const TPictureSource& source, const pas_lib::TXmlDocument& mainFeed);
// The picture's address on a mirror picked anew; empty without mirrors. With
// the direct source, ARSO's own radar pictures, and nothing else.
QString PictureAddress(const TPictureSource& source);

// Satellite picture n (0 the newest, 10 the oldest) of a kind: its file name
// ("sat0.jpg"), its path, its address on a mirror picked anew.
QString SatelliteFileName(int kind, int number);
QString SatellitePath(int kind, int number);
QString SatelliteAddress(int kind, int number);
// A satellite picture is fresh for an hour after it was written.
bool SatellitePictureFresh(const QString& path, const QDateTime& now);
