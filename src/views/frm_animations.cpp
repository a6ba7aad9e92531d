#include "views/frm_animations.h"

#include "common/DataPaths.h"
#include "common/Messages.h"
#include "net/Fetch.h"
#include "remote/ServerAddresses.h"
#include "views/TPictureContext.h"
#include "views/ViewTable.h"
#include "views/ViewsLog.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QMediaPlayer>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>
#include <cmath>
#include <cstdio>

const std::array<TAnimationVideo, 6> AnimationVideos = {{
    {"suiIBEvropa5", "/terra3d/video/bmbf2.mpg", "bmbf2.mpg", "Evropa"},
    {"suiIBSvet5", "/terra3d/video/bmbf3.mpg", "bmbf3.mpg", "Svet"},
    {"suiIBZadnjih12", "/wetter/meteosat/met_512.mpg", "met_512.mpg", "Satelit – zadnjih 12"},
    {"suiIBPrejsnjih12", "/wetter/meteosat/met_512OLD.mpg", "met_512OLD.mpg",
     "Satelit – prejšnjih 12"},
    {"suiIBPokritost", "/terra3d/video/skycover.mpg", "skycover.mpg", "Pokritost z oblaki"},
    {"suiIBZracniTok", "/terra3d/video/dailystream.mpg", "dailystream.mpg", "Zračni tokovi"},
}};

namespace {

constexpr QSize ButtonSize(184, 64);
constexpr QRectF ArtRect(6, 6, 60, 52);
constexpr QRectF LabelRect(74, 4, 104, 56);
// The video keeps a pixel of the frame around it.
constexpr int VideoMargin = 1;

const QColor Sea(38, 92, 150);
const QColor Land(122, 170, 92);
const QColor Cloud(245, 247, 250, 225);

// A shape given in degrees of longitude and latitude, in a box of the map.
QPolygonF MapShape(std::initializer_list<QPointF> lonLat, const QRectF& rect, double west,
                   double east, double north, double south)
{
    QPolygonF shape;
    for (const QPointF& point : lonLat)
        shape << QPointF(rect.left() + (point.x() - west) / (east - west) * rect.width(),
                         rect.top() + (north - point.y()) / (north - south) * rect.height());
    return shape;
}

QPainterPath CloudShape(const QPointF& centre, double size)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(centre + QPointF(-size * 0.55, 0), size * 0.45, size * 0.32);
    path.addEllipse(centre + QPointF(0, -size * 0.18), size * 0.5, size * 0.42);
    path.addEllipse(centre + QPointF(size * 0.55, 0.02 * size), size * 0.42, size * 0.3);
    path.addRoundedRect(QRectF(centre.x() - size * 0.9, centre.y(), size * 1.85, size * 0.3),
                        size * 0.15, size * 0.15);
    return path.simplified();
}

void DrawEurope(QPainter& painter, const QRectF& rect)
{
    painter.fillRect(rect, Sea);
    const double w = -12, e = 40, n = 72, s = 35;
    painter.setPen(QPen(Land.darker(140), 0.6));
    painter.setBrush(Land);
    painter.drawPolygon(MapShape(
        {{-9, 43.5},   {-1.5, 43.4}, {-1.2, 46},   {-4.5, 48.5}, {-1, 49.5},   {1.5, 50.9},
         {4, 51.5},    {8.5, 53.8},  {8.6, 55.5},  {10.5, 57.7}, {10.5, 56},   {11, 54.2},
         {14, 54},     {19, 54.5},   {21, 55.5},   {21.5, 57.5}, {24, 57.5},   {24, 59.3},
         {29, 60},     {25, 60.2},   {22, 60.3},   {21.5, 61.5}, {25, 65},     {22, 65.8},
         {17.5, 62.5}, {18.5, 60},   {16.5, 57},   {14.5, 56},   {12.8, 55.4}, {11, 58.5},
         {8, 58},      {5.5, 58.8},  {5, 62},      {10, 64},     {14, 67.5},   {19, 69.8},
         {25, 71},     {31, 70},     {40, 67},     {40, 41},     {29, 41},     {26, 40.6},
         {23, 40.5},   {23.5, 38},   {22.3, 36.5}, {21, 38.5},   {19.5, 41.8}, {17.5, 43},
         {15, 44.5},   {13.8, 45.6}, {12.3, 45.3}, {13.8, 43.5}, {17, 41},     {18.5, 40.2},
         {16, 38},     {15.6, 38},   {15.8, 40},   {12.5, 41.7}, {10.5, 43.5}, {8.5, 44.4},
         {7, 43.5},    {4, 43.4},    {3.2, 43.3},  {3, 42},      {0, 38.7},    {-2, 36.7},
         {-6, 36},     {-9, 37}},
        rect, w, e, n, s));
    painter.drawPolygon(MapShape({{-5.5, 50},
                                  {1.5, 51},
                                  {1.7, 52.8},
                                  {0, 53.5},
                                  {-1.5, 55.5},
                                  {-2, 57.6},
                                  {-3, 58.6},
                                  {-5, 58.6},
                                  {-6, 56.5},
                                  {-5, 55},
                                  {-3, 54.8},
                                  {-4.5, 53.3},
                                  {-5.3, 51.8},
                                  {-3.3, 51.5}},
                                 rect, w, e, n, s));
    painter.drawPolygon(
        MapShape({{-10, 51.6}, {-6, 52.2}, {-6, 54}, {-8, 55.2}, {-10, 54.2}}, rect, w, e, n, s));
    // Home, and the clouds of a front coming in from the Atlantic.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 60, 40));
    const QPointF home = MapShape({{14.8, 46.1}}, rect, w, e, n, s).first();
    painter.drawEllipse(home, 1.6, 1.6);
    painter.setBrush(Cloud);
    painter.drawPath(CloudShape(rect.topLeft() + QPointF(rect.width() * 0.2, rect.height() * 0.3),
                                rect.width() * 0.17));
    painter.drawPath(CloudShape(rect.topLeft() + QPointF(rect.width() * 0.45, rect.height() * 0.62),
                                rect.width() * 0.13));
}

void DrawWorld(QPainter& painter, const QRectF& rect)
{
    painter.fillRect(rect, QColor(14, 26, 52));
    const double radius = std::min(rect.width(), rect.height()) * 0.46;
    const QPointF centre = rect.center();
    QRadialGradient ocean(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.4);
    ocean.setColorAt(0, QColor(84, 150, 214));
    ocean.setColorAt(1, QColor(24, 70, 132));
    QPainterPath globe;
    globe.addEllipse(centre, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ocean);
    painter.drawPath(globe);
    painter.save();
    painter.setClipPath(globe);
    // Europe and Africa in front, the Americas at the edge.
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setBrush(Land);
    painter.drawPolygon(MapShape({{-0.17, 0.1},
                                  {0.25, -0.05},
                                  {0.55, 0.05},
                                  {0.6, 0.3},
                                  {0.3, 0.35},
                                  {0.35, 0.55},
                                  {0.5, 0.6},
                                  {0.42, 0.95},
                                  {0.25, 1.05},
                                  {0.15, 0.8},
                                  {0.05, 0.62},
                                  {-0.12, 0.58},
                                  {-0.2, 0.42},
                                  {-0.05, 0.32},
                                  {-0.12, 0.22}},
                                 box, -0.5, 0.5, -0.1, 0.95));
    painter.drawPolygon(MapShape({{-0.75, -0.1},
                                  {-0.42, 0.0},
                                  {-0.5, 0.25},
                                  {-0.42, 0.5},
                                  {-0.5, 0.8},
                                  {-0.62, 0.85},
                                  {-0.8, 0.4}},
                                 box, -0.5, 0.5, -0.1, 0.95));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 70), 0.7));
    for (double f : {0.35, 0.75})
        painter.drawEllipse(centre, radius * f, radius);
    painter.drawLine(QPointF(centre.x(), centre.y() - radius),
                     QPointF(centre.x(), centre.y() + radius));
    for (double f : {-0.5, 0.0, 0.5})
        painter.drawLine(QPointF(rect.left(), centre.y() + f * radius),
                         QPointF(rect.right(), centre.y() + f * radius));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 250, 255, 190));
    painter.drawPath(CloudShape(centre + QPointF(-radius * 0.1, -radius * 0.45), radius * 0.32));
    painter.drawPath(CloudShape(centre + QPointF(radius * 0.35, radius * 0.2), radius * 0.26));
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(170, 210, 255, 160), 1.0));
    painter.drawEllipse(centre, radius, radius);
}

// A weather satellite over the earth's edge, with a round arrow forward (the
// latest pictures) or back (the ones before them) around the number 12.
void DrawSatellite(QPainter& painter, const QRectF& rect, bool latest)
{
    painter.fillRect(rect, QColor(12, 20, 44));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    for (const QPointF& star : {QPointF(0.1, 0.15), QPointF(0.32, 0.08), QPointF(0.88, 0.55),
                                QPointF(0.55, 0.2), QPointF(0.06, 0.5)})
        painter.drawEllipse(
            QPointF(rect.left() + star.x() * rect.width(), rect.top() + star.y() * rect.height()),
            0.6, 0.6);
    QRadialGradient earth(QPointF(rect.center().x(), rect.bottom() + rect.height() * 0.9),
                          rect.width() * 1.1);
    earth.setColorAt(0.75, QColor(40, 110, 180));
    earth.setColorAt(1.0, QColor(120, 190, 240));
    painter.setBrush(earth);
    painter.drawEllipse(QPointF(rect.center().x(), rect.bottom() + rect.height() * 0.9),
                        rect.width() * 1.05, rect.height() * 1.2);
    painter.setBrush(Cloud);
    painter.drawPath(CloudShape(rect.bottomLeft() + QPointF(rect.width() * 0.3, -6), 6));

    painter.save();
    painter.translate(rect.left() + rect.width() * 0.32, rect.top() + rect.height() * 0.4);
    painter.rotate(-20);
    painter.setPen(QPen(QColor(40, 50, 70), 0.6));
    painter.setBrush(QColor(60, 110, 200));
    for (int side : {-1, 1}) {
        const QRectF panel(side < 0 ? -17 : 5, -4, 12, 8);
        painter.drawRect(panel);
        painter.drawLine(QPointF(panel.center().x(), panel.top()),
                         QPointF(panel.center().x(), panel.bottom()));
    }
    painter.setBrush(QColor(214, 186, 96));
    painter.drawRoundedRect(QRectF(-5, -6, 10, 12), 1.5, 1.5);
    painter.setPen(QPen(QColor(220, 220, 230), 1.0));
    painter.drawLine(QPointF(0, 6), QPointF(0, 9));
    painter.setBrush(QColor(220, 220, 230));
    painter.drawChord(QRectF(-3.5, 8, 7, 5), 0, 180 * 16);
    painter.restore();

    const QPointF centre(rect.right() - rect.width() * 0.26, rect.top() + rect.height() * 0.32);
    const double r = rect.width() * 0.19;
    const QColor arrow = latest ? QColor(255, 200, 60) : QColor(170, 190, 220);
    painter.setPen(QPen(arrow, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const QRectF ring(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    // Clockwise from the top for the latest, anticlockwise for the earlier ones.
    painter.drawArc(ring, latest ? 60 * 16 : 120 * 16, latest ? -300 * 16 : 300 * 16);
    const double end = (latest ? 60.0 - 300.0 : 120.0 + 300.0) * M_PI / 180.0;
    const QPointF tip(centre.x() + r * std::cos(end), centre.y() - r * std::sin(end));
    const double along = latest ? end - M_PI / 2 : end + M_PI / 2;
    const QPointF direction(std::cos(along), -std::sin(along));
    const QPointF normal(-direction.y(), direction.x());
    painter.setPen(Qt::NoPen);
    painter.setBrush(arrow);
    painter.drawPolygon(QPolygonF{tip + direction * 3.2, tip - direction * 1.2 + normal * 2.6,
                                  tip - direction * 1.2 - normal * 2.6});
    QFont small = painter.font();
    small.setPixelSize(int(r * 1.15));
    small.setBold(true);
    painter.setFont(small);
    painter.setPen(arrow);
    painter.drawText(ring, Qt::AlignCenter, QStringLiteral("12"));
}

void DrawCloudCover(QPainter& painter, const QRectF& rect)
{
    QLinearGradient ground(rect.topLeft(), rect.bottomLeft());
    ground.setColorAt(0, QColor(104, 156, 84));
    ground.setColorAt(1, QColor(150, 180, 100));
    painter.fillRect(rect, ground);
    painter.setPen(QPen(QColor(70, 110, 160), 1.4));
    painter.setBrush(Qt::NoBrush);
    QPainterPath river(rect.topLeft() + QPointF(0, rect.height() * 0.7));
    river.cubicTo(rect.topLeft() + QPointF(rect.width() * 0.3, rect.height() * 0.5),
                  rect.topLeft() + QPointF(rect.width() * 0.6, rect.height() * 0.95),
                  rect.topRight() + QPointF(0, rect.height() * 0.75));
    painter.drawPath(river);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 130, 145, 200));
    painter.drawPath(CloudShape(rect.topLeft() + QPointF(rect.width() * 0.62, rect.height() * 0.55),
                                rect.width() * 0.24));
    painter.setBrush(QColor(236, 240, 246, 235));
    painter.drawPath(CloudShape(rect.topLeft() + QPointF(rect.width() * 0.32, rect.height() * 0.32),
                                rect.width() * 0.26));
    painter.drawPath(CloudShape(rect.topLeft() + QPointF(rect.width() * 0.82, rect.height() * 0.2),
                                rect.width() * 0.16));
    painter.setBrush(QColor(200, 206, 216, 225));
    painter.drawPath(CloudShape(rect.topLeft() + QPointF(rect.width() * 0.25, rect.height() * 0.82),
                                rect.width() * 0.15));
}

void DrawAirFlow(QPainter& painter, const QRectF& rect)
{
    QLinearGradient sky(rect.topLeft(), rect.bottomRight());
    sky.setColorAt(0, QColor(40, 96, 160));
    sky.setColorAt(1, QColor(22, 60, 112));
    painter.fillRect(rect, sky);
    const QColor colours[] = {QColor(255, 255, 255), QColor(150, 220, 255), QColor(255, 214, 120)};
    for (int i = 0; i < 3; ++i) {
        const double y = rect.top() + rect.height() * (0.25 + 0.25 * i);
        const double bend = rect.height() * (i == 1 ? -0.22 : 0.16);
        const QPointF from(rect.left() + 4, y);
        const QPointF to(rect.right() - 6, y - bend * 0.3);
        QPainterPath stream(from);
        stream.cubicTo(QPointF(rect.left() + rect.width() * 0.35, y + bend),
                       QPointF(rect.left() + rect.width() * 0.65, y - bend), to);
        painter.setPen(QPen(colours[i], 1.8, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(stream);
        const QPointF direction = to - stream.pointAtPercent(0.94);
        const double length = std::hypot(direction.x(), direction.y());
        const QPointF unit = length > 0 ? direction / length : QPointF(1, 0);
        const QPointF normal(-unit.y(), unit.x());
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours[i]);
        painter.drawPolygon(
            QPolygonF{to + unit * 3.5, to - unit * 1.5 + normal * 3, to - unit * 1.5 - normal * 3});
    }
}

void DrawArt(QPainter& painter, int index, const QRectF& rect)
{
    QPainterPath frame;
    frame.addRoundedRect(rect, 4, 4);
    painter.save();
    painter.setClipPath(frame);
    switch (index) {
    case 0:
        DrawEurope(painter, rect);
        break;
    case 1:
        DrawWorld(painter, rect);
        break;
    case 2:
    case 3:
        DrawSatellite(painter, rect, index == 2);
        break;
    case 4:
        DrawCloudCover(painter, rect);
        break;
    default:
        DrawAirFlow(painter, rect);
        break;
    }
    painter.restore();
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(frame);
}

} // namespace

TVideoButton::TVideoButton(int index, QWidget* parent) : QAbstractButton(parent), FIndex(index)
{
    const TAnimationVideo& video = AnimationVideos[size_t(index)];
    setObjectName(QString::fromLatin1(video.button));
    setAccessibleName(QString::fromUtf8(video.caption));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(ButtonSize);
    setAttribute(Qt::WA_Hover);
}

QSize TVideoButton::sizeHint() const
{
    return ButtonSize;
}

void TVideoButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient face(outline.topLeft(), outline.bottomLeft());
    const bool hot = underMouse() || hasFocus();
    const int lift = isDown() ? -14 : hot ? 16 : 0;
    face.setColorAt(0, QColor(70 + lift, 106 + lift, 152 + lift));
    face.setColorAt(1, QColor(40 + lift, 66 + lift, 104 + lift));
    painter.setPen(QPen(hasFocus() ? QColor(255, 200, 60) : QColor(28, 46, 76), 1.0));
    painter.setBrush(face);
    painter.drawRoundedRect(outline, 6, 6);

    const QPointF shift = isDown() ? QPointF(0.5, 0.5) : QPointF();
    DrawArt(painter, FIndex, ArtRect.translated(shift));
    QFont label = font();
    label.setPixelSize(13);
    label.setBold(true);
    painter.setFont(label);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(LabelRect.translated(shift),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                     QString::fromUtf8(AnimationVideos[size_t(FIndex)].caption));
}

TFrameAnimations::TFrameAnimations(TPictureContext& context, QWidget* parent)
    : QWidget(parent), FContext(context), FCancellation(std::make_unique<pas_lib::TCancellation>())
{
    setObjectName(QStringLiteral("FrameAnimations"));
    setProperty("panelTag", PanelTag::Animations);
    setAccessibleName(QStringLiteral("Animacije"));
    FButtonGrid = new QWidget(this);
    FButtonGrid->setObjectName(QStringLiteral("suiAnimationButtons"));
    auto* grid = new QGridLayout(FButtonGrid);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(10);
    for (int i = 0; i < int(AnimationVideos.size()); ++i) {
        auto* button = new TVideoButton(i, FButtonGrid);
        grid->addWidget(button, i / 2, i % 2);
        connect(button, &QAbstractButton::clicked, this, [this, i] { DownloadVideo(i); });
        FButtons << button;
    }
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(FButtonGrid, 0, 0, Qt::AlignHCenter | Qt::AlignTop);
}

TFrameAnimations::~TFrameAnimations()
{
    FCancellation->Cancel();
    // The player goes first, so that nothing it reports while it closes
    // reaches a frame half gone.
    if (FPlayer) {
        FPlayer->disconnect(this);
        delete FPlayer;
    }
}

QString TFrameAnimations::LocalFile(int index)
{
    return pas_lib::SlikeDir + QString::fromLatin1(AnimationVideos[size_t(index)].fileName);
}

void TFrameAnimations::Open()
{
    if (Opened())
        return;
    FVideo = new QVideoWidget(this);
    FVideo->setObjectName(QStringLiteral("suiVideo"));
    FVideo->setAspectRatioMode(Qt::KeepAspectRatio);
    FVideo->hide();
    FFirstPicture.setSingleShot(true);
    FFirstPicture.setInterval(FirstPictureMilliseconds);
    connect(&FFirstPicture, &QTimer::timeout, this, [this] {
        qCWarning(lcViews) << "Video" << FPlayer->source().toLocalFile() << "showed no picture in"
                           << FirstPictureMilliseconds << "ms; status" << FPlayer->mediaStatus();
        MediaFailed(QString());
    });
    FPlayer = new QMediaPlayer(this);
    FPlayer->setObjectName(QStringLiteral("MediaPlayer1"));
    FPlayer->setVideoOutput(FVideo);
    // Queued: the sink reports while it holds its lock, and from its own thread.
    connect(FVideo->videoSink(), &QVideoSink::videoSizeChanged, this, &TFrameAnimations::PlaceVideo,
            Qt::QueuedConnection);
    connect(
        FVideo->videoSink(), &QVideoSink::videoFrameChanged, this,
        [this](const QVideoFrame& picture) {
            if (picture.isValid()) {
                FPictureShown = true;
                FFirstPicture.stop();
            }
        },
        Qt::QueuedConnection);
    connect(FPlayer, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error error, const QString& text) {
                qCWarning(lcViews) << "Video" << FPlayer->source().toLocalFile()
                                   << "cannot play:" << error << text;
                MediaFailed(text);
            });
    connect(FPlayer, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                qCDebug(lcViews) << "Video status" << status;
                // Some backends only say that the file is no media they know.
                if (status == QMediaPlayer::InvalidMedia) {
                    qCWarning(lcViews)
                        << "Video" << FPlayer->source().toLocalFile() << "is no playable media";
                    MediaFailed(FPlayer->errorString());
                } else if (status == QMediaPlayer::EndOfMedia && !FPictureShown) {
                    // A file that ends before its first picture would leave
                    // an empty frame.
                    qCWarning(lcViews)
                        << "Video" << FPlayer->source().toLocalFile() << "ended without a picture";
                    MediaFailed(QString());
                }
            });
    WatchClicks(FVideo);
}

// The video widget draws through a window of its own (the owner of its sink),
// inside a container widget; a click on any of them is a click on the frame.
void TFrameAnimations::WatchClicks(QObject* object)
{
    object->installEventFilter(this);
    for (QObject* child : object->children())
        if (child->isWidgetType())
            WatchClicks(child);
    if (object == FVideo)
        if (QObject* window = FVideo->videoSink()->parent(); window && window->isWindowType())
            window->installEventFilter(this);
}

void TFrameAnimations::SetState(TState state)
{
    if (FState == state)
        return;
    FState = state;
    emit StateChanged(state);
}

void TFrameAnimations::SetButtonsVisible(bool visible)
{
    FButtonGrid->setVisible(visible);
    const QString hint = visible ? QString() : QString::fromUtf8(ReturnHint);
    setToolTip(hint);
    if (FVideo)
        FVideo->setToolTip(hint);
}

void TFrameAnimations::Stop()
{
    FCancellation->Cancel();
    FCancellation.release()->deleteLater();
    FCancellation = std::make_unique<pas_lib::TCancellation>();
}

QCoro::Task<> TFrameAnimations::DownloadVideo(int index)
{
    if (index < 0 || index >= int(AnimationVideos.size()) || FState == TState::Downloading)
        co_return;
    const TAnimationVideo& video = AnimationVideos[size_t(index)];
    const QString localFile = LocalFile(index);
    // Into a name of its own: a failed download leaves the earlier video to play.
    const QString download = localFile + QStringLiteral(".prenos");
    const QString address = ServerAddress(TServer::Video) + QString::fromLatin1(video.serverPath);
    const QPointer<TFrameAnimations> self(this);
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    SetState(TState::Downloading);
    int result = -3;
    {
        const TBusyScope busy(FContext);
        if (QDir().mkpath(pas_lib::SlikeDir))
            result =
                co_await Fetch(address, download, nullptr, -1, cancellation, TTransferKind::Video);
    }
    if (!self)
        co_return;
    if (cancellation->Cancelled()) {
        QFile::remove(download);
        SetState(TState::Buttons);
        co_return;
    }
    qCDebug(lcViews) << "Video" << address << "fetched:" << result;
    if (result >= 0 && std::rename(QFile::encodeName(download).constData(),
                                   QFile::encodeName(localFile).constData()) != 0) {
        qCWarning(lcViews) << "Video" << localFile << "could not be replaced";
        QFile::remove(download);
    }
    PlayVideo(localFile);
}

void TFrameAnimations::PlayVideo(const QString& fileName)
{
    Open();
    SetButtonsVisible(false);
    SetState(TState::Playing);
    FPictureShown = false;
    FFirstPicture.start();
    PlaceVideo();
    FVideo->show();
    WatchClicks(FVideo);
    FPlayer->setSource(QUrl::fromLocalFile(fileName));
    if (FState == TState::Playing)
        FPlayer->play();
}

void TFrameAnimations::MediaFailed(const QString& text)
{
    if (FState != TState::Playing)
        return;
    SetState(TState::Failed);
    FFirstPicture.stop();
    FPlayer->stop();
    FVideo->hide();
    pas_lib::ShowMessage(text.isEmpty() ? QStringLiteral("Videa ni mogoče predvajati.") : text,
                         pas_lib::TMessageKind::Error);
}

void TFrameAnimations::FrameClick()
{
    if (FState == TState::Downloading)
        return;
    FFirstPicture.stop();
    if (FPlayer) {
        FPlayer->stop();
        FPlayer->setSource(QUrl());
        FVideo->hide();
    }
    SetButtonsVisible(true);
    SetState(TState::Buttons);
}

void TFrameAnimations::PlaceVideo()
{
    if (!FVideo)
        return;
    const QRect room = rect().adjusted(VideoMargin, VideoMargin, -VideoMargin, -VideoMargin);
    QSize size = FVideo->videoSink()->videoSize();
    if (size.isEmpty()) {
        FVideo->setGeometry(room);
        return;
    }
    // At its own size, smaller when the frame is.
    if (size.width() > room.width() || size.height() > room.height())
        size.scale(room.size(), Qt::KeepAspectRatio);
    FVideo->setGeometry(QRect(room.topLeft(), size));
}

bool TFrameAnimations::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (FState == TState::Playing || FState == TState::Failed)) {
        FrameClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFrameAnimations::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FrameClick();
    QWidget::mouseReleaseEvent(event);
}

void TFrameAnimations::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceVideo();
}
