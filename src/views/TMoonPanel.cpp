#include "views/TMoonPanel.h"

#include "views/ViewsLog.h"
#include "weather/MoonPhases.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int MoonCentres[4] = {21, 61, 101, 141};
constexpr qreal MoonY = 19;
constexpr qreal MoonRadius = 11;
// Label positions: day name and date x, for each phase.
constexpr int DayNameX[4] = {15, 53, 93, 133};
constexpr int DateX[4] = {10, 48, 88, 128};
constexpr int DayNameY = 40;
constexpr int DateY = 55;

const QColor Lit(0xF4, 0xEE, 0xD6);
const QColor LitEdge(0xD9, 0xCF, 0xA8);
const QColor Dark(0x2E, 0x3A, 0x50);
const QColor TodayColour(241, 200, 122);
constexpr int LabelPixelSize = 11;

// For the log, in the order of the moons.
constexpr const char* PhaseNames[4] = {"new", "first quarter", "full", "last quarter"};

// Where a text starts on its baseline when its top left corner lies at the
// slot's position.
QPointF Origin(const QFontMetricsF& metrics, int x, int y)
{
    return {qreal(x), y + metrics.ascent()};
}

// 0 new, 1 first quarter (lit on the right), 2 full, 3 last quarter (lit on the left).
void DrawMoon(QPainter& painter, QPointF centre, int phase)
{
    const QRectF disc(centre.x() - MoonRadius, centre.y() - MoonRadius, 2 * MoonRadius,
                      2 * MoonRadius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Dark);
    painter.drawEllipse(disc);
    if (phase != 0) {
        QPainterPath lit;
        if (phase == 2) {
            lit.addEllipse(disc);
        } else {
            // Half a disc: from the top round the lit side to the bottom.
            lit.moveTo(centre.x(), disc.top());
            lit.arcTo(disc, 90, phase == 1 ? -180 : 180);
            lit.closeSubpath();
        }
        QRadialGradient glow(centre - QPointF(3, 3), MoonRadius * 1.6);
        glow.setColorAt(0, Qt::white);
        glow.setColorAt(1, Lit);
        painter.setBrush(glow);
        painter.drawPath(lit);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(phase == 0 ? QColor(0x5A, 0x6B, 0x88) : LitEdge, 1));
    painter.drawEllipse(disc);
}

} // namespace

TMoonPanel::TMoonPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ipLunineMene"));
    setFixedSize(PanelWidth, PanelHeight);
}

void TMoonPanel::SetLabels(const QList<TLabel>& labels)
{
    FLabels = labels.mid(0, 4);
    update();
}

void TMoonPanel::DrawMoonPhases()
{
    DrawMoonPhases(QDate::currentDate());
}

void TMoonPanel::DrawMoonPhases(const QDate& today)
{
    QList<TLabel> labels;
    const auto phases = MoonPanelLabels(today);
    for (int phase = 0; phase < MoonPhaseCount; ++phase) {
        const TMoonPhaseLabel& computed = phases[phase];
        labels.append({computed.dayName, computed.date, computed.today});
        if (computed.labelled)
            qCDebug(lcViews).noquote()
                << QStringLiteral("moon %1 %2 CET%3")
                       .arg(QLatin1String(PhaseNames[phase]),
                            MoonClock(computed.time).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                            computed.today ? QStringLiteral(" today") : QString());
    }
    SetLabels(labels);
}

QFont TMoonPanel::LabelFont()
{
    // A narrow face keeps a date under its moon; the slots leave 38 pixels.
    QFont font;
    font.setFamilies({QStringLiteral("Nimbus Sans Narrow"),
                      QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("DejaVu Sans Condensed")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(LabelPixelSize);
    return font;
}

QList<QRectF> TMoonPanel::TextRects() const
{
    const QFontMetricsF metrics(LabelFont());
    QList<QRectF> rects;
    for (int phase = 0; phase < FLabels.size(); ++phase) {
        const TLabel& label = FLabels[phase];
        rects.append(metrics.tightBoundingRect(label.DayName)
                         .translated(Origin(metrics, DayNameX[phase], DayNameY)));
        rects.append(
            metrics.tightBoundingRect(label.Date).translated(Origin(metrics, DateX[phase], DateY)));
    }
    return rects;
}

void TMoonPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, height());
    ground.setColorAt(0, QColor(0x1D, 0x27, 0x3B));
    ground.setColorAt(1, QColor(0x2B, 0x3A, 0x57));
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.fillPath(frame, ground);
    // Faint stripes across the ground.
    painter.save();
    painter.setClipPath(frame);
    painter.setPen(QPen(QColor(255, 255, 255, 14), 1));
    for (int y = 2; y < height(); y += 4)
        painter.drawLine(QPointF(0, y + 0.5), QPointF(width(), y + 0.5));
    painter.restore();

    for (int phase = 0; phase < 4; ++phase)
        DrawMoon(painter, QPointF(MoonCentres[phase], MoonY), phase);

    const QFont font = LabelFont();
    painter.setFont(font);
    painter.setBrush(Qt::NoBrush);
    const QFontMetricsF metrics(font);
    for (int phase = 0; phase < FLabels.size(); ++phase) {
        const TLabel& label = FLabels[phase];
        painter.setPen(label.Today ? TodayColour : QColor(Qt::white));
        painter.drawText(Origin(metrics, DayNameX[phase], DayNameY), label.DayName);
        painter.drawText(Origin(metrics, DateX[phase], DateY), label.Date);
    }
}
