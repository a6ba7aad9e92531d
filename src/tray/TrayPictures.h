#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QString>
#include <optional>

class QPainter;

// The pictures of the notification-area icon, drawn as vector art on a grid of
// 16 units, so every size and pixel ratio is drawn anew and stays sharp.

// The icon's picture lists.
enum class TTrayList {
    Transparent, // ImageList2: the weather pictures on a transparent background
    Opaque,      // ImageList1: the same on the opaque background colour
    Animation,   // ImageList4: the radar sweep shown while a refresh runs
};

int PictureCount(TTrayList list);
// "transparent list", "opaque list", "animation list": for the log.
QString ListName(TTrayList list);

// Paints one weather picture (0 to 20) or animation frame (0 to 15) into a
// square, without background.
void PaintWeatherPicture(QPainter& painter, const QRectF& square, int index);
void PaintRadarFrame(QPainter& painter, const QRectF& square, int frame);

// How the temperature text is drawn.
struct TTrayTextStyle
{
    QFont Font;
    QColor Color = Qt::white;
    // The fill; none: the inverted font colour. Ignored when Transparent.
    std::optional<QColor> Background;
    // Only the glyphs are opaque (the text over the empty picture 16).
    bool Transparent = false;

    bool operator==(const TTrayTextStyle& other) const = default;
};

// What one face of the icon is: its program picture, a text or a picture.
struct TTrayFace
{
    enum Kind { Program, Text, Picture };
    Kind FaceKind = Program;
    QString FaceText;
    TTrayTextStyle TextStyle;
    TTrayList List = TTrayList::Transparent;
    int Index = 0;
    // The opaque list's background.
    QColor ListBackground = Qt::red;

    bool operator==(const TTrayFace& other) const = default;
    // "text "2°"", "picture 20 of the transparent list", "program picture".
    QString Description() const;
};

// The text picture of size x size device pixels. At 16 it follows the text
// layout of the Windows icon: x = (15 - width) div 2 + 1, y = (15 - height)
// div 2; larger sizes scale that layout. A text too wide or tall for the icon
// is drawn narrower, then smaller, rather than cut.
QImage RenderTrayText(const QString& text, const TTrayTextStyle& style, int size);
// A picture of a list at size x size device pixels.
QImage RenderTrayPicture(TTrayList list, int index, const QColor& listBackground, int size);
// A face at size x size device pixels (the program picture is left to the caller).
QImage RenderTrayFace(const TTrayFace& face, int size);

// The face as an icon that draws itself anew for every size the tray asks for.
// program: the icon used for the Program face.
QIcon TrayFaceIcon(const TTrayFace& face, const QIcon& program);
