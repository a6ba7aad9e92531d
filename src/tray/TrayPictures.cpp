#include "tray/TrayPictures.h"

#include "tray/TrayRules.h"

#include <QFontMetrics>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

// One palette for every picture: dark outlines around bright fills, so the
// shapes read on light and dark panels alike.
const QColor Ink(0x34, 0x43, 0x5E);
const QColor CloudTop(0xFF, 0xFF, 0xFF);
const QColor CloudBottom(0xCF, 0xD9, 0xE6);
const QColor GreyCloudTop(0xAE, 0xBA, 0xCB);
const QColor GreyCloudBottom(0x8A, 0x98, 0xAE);
const QColor SunTop(0xFF, 0xDE, 0x59);
const QColor SunBottom(0xFF, 0xA9, 0x1A);
const QColor SunEdge(0xC4, 0x6E, 0x00);
const QColor SunRay(0xF5, 0x9B, 0x00);
const QColor MoonTop(0xFF, 0xF4, 0xB8);
const QColor MoonBottom(0xF2, 0xCB, 0x4C);
const QColor MoonEdge(0x9C, 0x75, 0x12);
const QColor Rain(0x17, 0x6C, 0xDB);
const QColor DropFill(0x4A, 0x9B, 0xF5);
const QColor DropEdge(0x12, 0x4E, 0xA8);
const QColor Snow(0x22, 0x86, 0xE0);
const QColor BoltFill(0xFF, 0xD4, 0x1F);
const QColor BoltEdge(0xA8, 0x5F, 0x00);
const QColor Fog(0x76, 0x86, 0x9E);
const QColor RadarDark(0x08, 0x33, 0x12);
const QColor RadarLight(0x14, 0x6B, 0x2A);
const QColor RadarLine(0x3C, 0xC2, 0x62);
const QColor RadarEdge(0x05, 0x24, 0x0C);
const QColor Beam(0xFF, 0xE4, 0x3D);

// Outline width in units of the 16-unit grid.
constexpr qreal Line = 1.0;

QPen OutlinePen(const QColor& color, qreal width = Line)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QLinearGradient Vertical(const QRectF& box, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

// A cloud filling the box: a flat base with round ends under two bumps.
QPainterPath CloudPath(const QRectF& box)
{
    const qreal x = box.x();
    const qreal y = box.y();
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath base;
    const qreal baseTop = y + 0.46 * h;
    base.addRoundedRect(QRectF(x, baseTop, w, y + h - baseTop), (y + h - baseTop) / 2,
                        (y + h - baseTop) / 2);
    QPainterPath big;
    const qreal bigRadius = 0.44 * h;
    big.addEllipse(QPointF(x + 0.58 * w, y + bigRadius), bigRadius, bigRadius);
    QPainterPath small;
    const qreal smallRadius = 0.31 * h;
    small.addEllipse(QPointF(x + 0.3 * w, y + h - 0.55 * h), smallRadius, smallRadius);
    return base.united(big).united(small).simplified();
}

void DrawCloud(QPainter& p, const QRectF& box, bool grey = false)
{
    p.setPen(OutlinePen(Ink));
    p.setBrush(grey ? Vertical(box, GreyCloudTop, GreyCloudBottom)
                    : Vertical(box, CloudTop, CloudBottom));
    p.drawPath(CloudPath(box));
}

void DrawSun(QPainter& p, const QPointF& centre, qreal radius, bool rays = true)
{
    if (rays) {
        p.setPen(OutlinePen(SunRay, 1.1 * Line));
        for (int i = 0; i < 8; ++i) {
            const qreal angle = i * M_PI / 4;
            const QPointF direction(std::cos(angle), std::sin(angle));
            p.drawLine(centre + direction * (radius + 1.3), centre + direction * (radius + 2.7));
        }
    }
    p.setPen(OutlinePen(SunEdge, 0.9 * Line));
    QRadialGradient gradient(centre - QPointF(radius, radius) * 0.35, radius * 1.6);
    gradient.setColorAt(0, SunTop);
    gradient.setColorAt(1, SunBottom);
    p.setBrush(gradient);
    p.drawEllipse(centre, radius, radius);
}

// A crescent opening to the upper right.
void DrawMoon(QPainter& p, const QPointF& centre, qreal radius)
{
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    QPainterPath bite;
    bite.addEllipse(centre + QPointF(0.55 * radius, -0.45 * radius), 0.82 * radius, 0.82 * radius);
    const QRectF box(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
    p.setPen(OutlinePen(MoonEdge, 0.9 * Line));
    p.setBrush(Vertical(box, MoonTop, MoonBottom));
    p.drawPath(disc.subtracted(bite));
}

// Slanted rain streaks starting at the given points.
void DrawStreaks(QPainter& p, std::initializer_list<QPointF> starts)
{
    p.setPen(OutlinePen(Rain, 1.2 * Line));
    for (const QPointF& start : starts)
        p.drawLine(start, start + QPointF(-1.0, 2.6));
}

void DrawDots(QPainter& p, std::initializer_list<QPointF> centres, qreal radius,
              const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    for (const QPointF& centre : centres)
        p.drawEllipse(centre, radius, radius);
}

// A falling drop with its point up.
void DrawDrops(QPainter& p, std::initializer_list<QPointF> tips)
{
    p.setPen(OutlinePen(DropEdge, 0.8 * Line));
    p.setBrush(DropFill);
    for (const QPointF& tip : tips) {
        QPainterPath drop;
        drop.moveTo(tip);
        drop.cubicTo(tip + QPointF(0.6, 1.2), tip + QPointF(1.6, 2.0), tip + QPointF(1.6, 3.0));
        drop.cubicTo(tip + QPointF(1.6, 4.1), tip + QPointF(-1.6, 4.1), tip + QPointF(-1.6, 3.0));
        drop.cubicTo(tip + QPointF(-1.6, 2.0), tip + QPointF(-0.6, 1.2), tip);
        p.drawPath(drop);
    }
}

// A six-armed snowflake.
void DrawFlakes(QPainter& p, std::initializer_list<QPointF> centres, qreal arm = 1.7)
{
    p.setPen(OutlinePen(Snow, 0.95 * Line));
    for (const QPointF& centre : centres) {
        for (int i = 0; i < 3; ++i) {
            const qreal angle = M_PI / 2 + i * M_PI / 3;
            const QPointF direction(std::cos(angle) * arm, std::sin(angle) * arm);
            p.drawLine(centre - direction, centre + direction);
        }
    }
}

void DrawBolt(QPainter& p)
{
    const QPolygonF bolt{{9.2, 8.2},   {5.6, 12.4}, {7.9, 12.4}, {6.4, 15.6},
                         {11.2, 10.6}, {8.8, 10.6}, {10.4, 8.2}};
    p.setPen(OutlinePen(BoltEdge, 0.8 * Line));
    p.setBrush(BoltFill);
    p.drawPolygon(bolt);
}

void DrawFog(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Fog);
    // Rows of dots on whole units, so they stay square and sharp.
    for (int row = 0; row < 4; ++row) {
        const qreal y = 1.5 + row * 3.5;
        const qreal shift = row % 2 ? 2.0 : 0.0;
        for (qreal x = 1 + shift; x + 2 <= 15.5; x += 4)
            p.drawRoundedRect(QRectF(x, y, 2.4, 2.4), 0.7, 0.7);
    }
}

void DrawBalloon(QPainter& p)
{
    QPainterPath balloon;
    balloon.addRoundedRect(QRectF(1.5, 2.5, 13, 8.5), 2.6, 2.6);
    QPainterPath tail;
    tail.moveTo(4, 10);
    tail.lineTo(3.6, 14.2);
    tail.lineTo(8.2, 10);
    tail.closeSubpath();
    p.setPen(OutlinePen(Ink));
    p.setBrush(Qt::white);
    p.drawPath(balloon.united(tail).simplified());
}

// The clear and partly cloudy skies, from clear to most cloudy: where the sun
// stands by day and the moon by night, and the cloud in front of them.
struct TSkyPicture
{
    QPointF sunCentre;
    qreal sunRadius;
    QPointF moonCentre;
    qreal moonRadius;
    QRectF cloud; // empty: a clear sky
};

const TSkyPicture SkyPictures[] = {
    {{8, 8}, 3.7, {8, 8}, 5.6, {}},
    {{6.2, 6.2}, 3.3, {6.2, 6.2}, 4.6, {6.5, 8.8, 9.0, 5.8}},
    {{5.8, 5.8}, 3.5, {5.8, 5.8}, 4.6, {3.0, 6.3, 12.5, 8.4}},
    {{10.3, 4.6}, 3.0, {10.4, 4.6}, 3.8, {0.8, 5.2, 14.2, 9.2}},
};

void DrawSky(QPainter& p, int cover, bool night)
{
    const TSkyPicture& sky = SkyPictures[cover];
    if (night)
        DrawMoon(p, sky.moonCentre, sky.moonRadius);
    else
        DrawSun(p, sky.sunCentre, sky.sunRadius);
    if (!sky.cloud.isEmpty())
        DrawCloud(p, sky.cloud);
}

// The cloud that carries precipitation: the upper part of the picture.
const QRectF RainCloud(1.0, 1.0, 14.0, 8.6);

} // namespace

int PictureCount(TTrayList list)
{
    return list == TTrayList::Animation ? pas_lib::AnimationFrameCount
                                        : pas_lib::WeatherPictureCount;
}

QString ListName(TTrayList list)
{
    switch (list) {
    case TTrayList::Transparent:
        return QStringLiteral("transparent list");
    case TTrayList::Opaque:
        return QStringLiteral("opaque list");
    case TTrayList::Animation:
        break;
    }
    return QStringLiteral("animation list");
}

void PaintWeatherPicture(QPainter& painter, const QRectF& square, int index)
{
    QPainter& p = painter;
    p.save();
    p.translate(square.topLeft());
    p.scale(square.width() / 16.0, square.height() / 16.0);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
        DrawSky(p, index, false);
        break;
    case 4:
        DrawCloud(p, {5.2, 2.0, 10.3, 7.2}, true);
        DrawCloud(p, {0.6, 5.6, 13.6, 8.8});
        break;
    case 5:
        DrawFog(p);
        break;
    case 6:
        DrawCloud(p, RainCloud);
        DrawDots(p, {{4.5, 12.2}, {8.0, 12.2}, {11.5, 12.2}, {6.2, 14.8}, {9.8, 14.8}}, 0.8, Rain);
        break;
    case 7:
        DrawCloud(p, RainCloud);
        DrawStreaks(p, {{6.4, 11.6}, {10.6, 11.6}});
        break;
    case 8:
        DrawCloud(p, RainCloud);
        DrawStreaks(p, {{4.6, 11.6}, {8.4, 11.6}, {12.2, 11.6}});
        break;
    case 9:
        DrawCloud(p, RainCloud);
        DrawBolt(p);
        break;
    case 10:
        DrawCloud(p, RainCloud);
        DrawFlakes(p, {{5.5, 13.2}, {10.7, 13.2}});
        break;
    case 11:
        DrawCloud(p, RainCloud);
        DrawFlakes(p, {{3.6, 12.6}, {8.0, 13.6}, {12.4, 12.6}});
        break;
    case 12:
        DrawCloud(p, RainCloud);
        DrawDrops(p, {{4.4, 10.8}, {11.8, 10.8}});
        DrawFlakes(p, {{8.1, 13.4}}, 1.6);
        break;
    case 13:
        DrawCloud(p, RainCloud);
        DrawDrops(p, {{5.6, 10.8}, {10.6, 10.8}});
        break;
    case 14:
        DrawCloud(p, RainCloud);
        DrawDrops(p, {{3.8, 10.8}, {8.1, 11.4}, {12.3, 10.8}});
        break;
    case 15:
        DrawBalloon(p);
        break;
    case 17:
    case 18:
    case 19:
    case 20:
        DrawSky(p, index - 17, true); // the night pictures of 0 to 3
        break;
    default: // 16 and anything else: empty
        break;
    }
    p.restore();
}

void PaintRadarFrame(QPainter& painter, const QRectF& square, int frame)
{
    QPainter& p = painter;
    p.save();
    p.translate(square.topLeft());
    p.scale(square.width() / 16.0, square.height() / 16.0);
    p.setRenderHint(QPainter::Antialiasing);
    // Centred on a pixel, so the one-unit lines through the centre stay sharp.
    const QPointF centre(7.5, 7.5);
    constexpr qreal radius = 7.0;

    QRadialGradient screen(centre, radius);
    screen.setColorAt(0, RadarLight);
    screen.setColorAt(1, RadarDark);
    p.setPen(OutlinePen(RadarEdge));
    p.setBrush(screen);
    p.drawEllipse(centre, radius, radius);

    p.setBrush(Qt::NoBrush);
    p.setPen(OutlinePen(RadarLine, 0.6));
    p.drawEllipse(centre, 4.0, 4.0);
    p.drawLine(centre - QPointF(0, 6.2), centre + QPointF(0, 6.2));
    p.drawLine(centre - QPointF(6.2, 0), centre + QPointF(6.2, 0));

    // Clockwise from twelve o'clock, a sixteenth of a turn per frame; a
    // fading trail behind the beam.
    const qreal degrees = (frame % pas_lib::AnimationFrameCount) * 22.5;
    const qreal beamAngle = qDegreesToRadians(degrees - 90);
    QConicalGradient trail(centre, -(degrees - 90));
    trail.setColorAt(0, QColor(Beam.red(), Beam.green(), Beam.blue(), 200));
    trail.setColorAt(0.16, QColor(Beam.red(), Beam.green(), Beam.blue(), 0));
    trail.setColorAt(1, QColor(Beam.red(), Beam.green(), Beam.blue(), 0));
    QPainterPath wedge;
    wedge.moveTo(centre);
    wedge.arcTo(QRectF(centre.x() - radius + 0.5, centre.y() - radius + 0.5, 2 * radius - 1,
                       2 * radius - 1),
                -(degrees - 90), 60);
    wedge.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(trail);
    p.drawPath(wedge);

    const QPointF tip = centre + QPointF(std::cos(beamAngle), std::sin(beamAngle)) * (radius - 0.6);
    p.setPen(OutlinePen(Beam, 1.0));
    p.drawLine(centre, tip);
    p.setPen(Qt::NoPen);
    p.setBrush(Beam);
    p.drawEllipse(centre, 1.0, 1.0);
    p.restore();
}

QString TTrayFace::Description() const
{
    switch (FaceKind) {
    case Text:
        return QStringLiteral("text \"%1\"").arg(FaceText);
    case Picture:
        return QStringLiteral("picture %1 of the %2").arg(Index).arg(ListName(List));
    case Program:
        break;
    }
    return QStringLiteral("program picture");
}

QImage RenderTrayText(const QString& text, const TTrayTextStyle& style, int size)
{
    size = std::max(size, 1);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    const QColor inverted(255 - style.Color.red(), 255 - style.Color.green(),
                          255 - style.Color.blue());
    QColor fill = style.Background.value_or(inverted);
    if (fill.rgb() == style.Color.rgb())
        fill = inverted;
    image.fill(style.Transparent ? QColor(Qt::transparent) : fill);

    // The layout of the 16-pixel icon, scaled: one unit is a pixel there.
    const qreal scale = size / 16.0;
    const int unit = std::max(1, qRound(scale));
    QFont font = style.Font;
    const qreal designPixels =
        font.pointSizeF() > 0 ? font.pointSizeF() * 96.0 / 72.0 : qreal(font.pixelSize());
    const int baseStretch = font.stretch() > 0 ? font.stretch() : 100;

    int x = 0;
    int y = 0;
    bool fits = false;
    // Narrower first, then smaller, until the glyphs lie inside the icon.
    for (qreal shrink = 1.0; !fits && shrink > 0.3; shrink *= 0.9) {
        font.setPixelSize(std::max(1, qRound(designPixels * scale * shrink)));
        for (int narrow : {100, 88, 77, 68, 60, 54}) {
            font.setStretch(baseStretch * narrow / 100);
            const QFontMetrics metrics(font);
            const int width = metrics.horizontalAdvance(text);
            const int height = metrics.height();
            // Integer halves truncated toward zero, as the Windows icon did.
            x = (size - unit - width) / 2 + unit;
            y = (size - unit - height) / 2;
            // A pixel to spare left and right: the edges of the glyphs'
            // smoothing stay inside as well.
            const QRect ink = metrics.tightBoundingRect(text).translated(x, y + metrics.ascent());
            fits = QRect(1, 0, size - 2, size).contains(ink);
            if (fits)
                break;
        }
    }

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(style.Color);
    painter.drawText(QPoint(x, y + QFontMetrics(font).ascent()), text);
    return image;
}

QImage RenderTrayPicture(TTrayList list, int index, const QColor& listBackground, int size)
{
    size = std::max(size, 1);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(list == TTrayList::Opaque ? listBackground : QColor(Qt::transparent));
    index = std::clamp(index, 0, PictureCount(list) - 1);
    QPainter painter(&image);
    const QRectF square(0, 0, size, size);
    if (list == TTrayList::Animation)
        PaintRadarFrame(painter, square, index);
    else
        PaintWeatherPicture(painter, square, index);
    return image;
}

QImage RenderTrayFace(const TTrayFace& face, int size)
{
    switch (face.FaceKind) {
    case TTrayFace::Text:
        return RenderTrayText(face.FaceText, face.TextStyle, size);
    case TTrayFace::Picture:
        return RenderTrayPicture(face.List, face.Index, face.ListBackground, size);
    case TTrayFace::Program:
        break;
    }
    QImage empty(std::max(size, 1), std::max(size, 1), QImage::Format_ARGB32_Premultiplied);
    empty.fill(Qt::transparent);
    return empty;
}

namespace {

// Paints the face anew at the size and pixel ratio it is asked for.
class TTrayFaceEngine : public QIconEngine
{
public:
    TTrayFaceEngine(TTrayFace face, QIcon program)
        : FFace(std::move(face)), FProgram(std::move(program))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        if (FFace.FaceKind == TTrayFace::Program) {
            FProgram.paint(painter, rect, Qt::AlignCenter, mode, state);
            return;
        }
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        QImage image = RenderTrayFace(FFace, qRound(side * ratio));
        image.setDevicePixelRatio(ratio);
        const QPointF corner(rect.x() + (rect.width() - side) / 2.0,
                             rect.y() + (rect.height() - side) / 2.0);
        painter->drawImage(corner, image);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        // QIcon asks in device pixels here.
        if (FFace.FaceKind == TTrayFace::Program)
            return FProgram.pixmap((QSizeF(size) / std::max(scale, 1.0)).toSize(), scale, mode,
                                   state);
        return QPixmap::fromImage(RenderTrayFace(FFace, std::min(size.width(), size.height())));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }

    QIconEngine* clone() const override { return new TTrayFaceEngine(*this); }
    QString key() const override { return QStringLiteral("nimbulon-tray-face"); }
    bool isNull() override { return false; }

private:
    TTrayFace FFace;
    QIcon FProgram;
};

} // namespace

QIcon TrayFaceIcon(const TTrayFace& face, const QIcon& program)
{
    return QIcon(new TTrayFaceEngine(face, program));
}
