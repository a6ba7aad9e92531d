#include "views/TMoonPanel.h"

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

    QFont font = this->font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    for (int phase = 0; phase < FLabels.size(); ++phase) {
        const TLabel& label = FLabels[phase];
        painter.setPen(label.Today ? TodayColour : QColor(Qt::white));
        // Positions are of the text's top left corner.
        painter.drawText(QPointF(DayNameX[phase], DayNameY + metrics.ascent()), label.DayName);
        painter.drawText(QPointF(DateX[phase], DateY + metrics.ascent()), label.Date);
    }
}
