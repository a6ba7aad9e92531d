#include "views/TForecastView.h"

#include "common/DataPaths.h"
#include "controls/TImagePanel.h"
#include "net/Fetch.h"
#include "net/TDownLoad.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/ViewTable.h"
#include "views/ViewsLog.h"
#include "weather/PictureSources.h"

#include <QDir>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

namespace {

const QString HintDayAfter = QStringLiteral("Klikni sliko za napoved pojutrišnjem!");
const QString HintTomorrow = QStringLiteral("Klikni sliko za napoved jutri!");

const QColor Ink(0x34, 0x41, 0x56);
const QColor CloudGrey(0x8C, 0x90, 0x98);
const QColor CloudWhite(0xF4, 0xF5, 0xF7);
const QColor Sun(0xF6, 0xC1, 0x1E);
const QColor Rain(0x2F, 0x6F, 0xE0);

void DrawSun(QPainter& painter, QPointF centre, qreal radius)
{
    painter.setPen(QPen(Sun.darker(115), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const qreal angle = i * std::numbers::pi / 4;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(centre + direction * (radius + 2), centre + direction * (radius + 6));
    }
    painter.setPen(QPen(Sun.darker(120), 1));
    painter.setBrush(Sun);
    painter.drawEllipse(centre, radius, radius);
}

void DrawCloud(QPainter& painter, QPointF centre, qreal scale, const QColor& fill)
{
    QPainterPath cloud;
    cloud.addEllipse(centre + QPointF(-9, 0) * scale, 8 * scale, 7 * scale);
    cloud.addEllipse(centre + QPointF(0, -5) * scale, 10 * scale, 9 * scale);
    cloud.addEllipse(centre + QPointF(10, 0) * scale, 8 * scale, 7 * scale);
    cloud.addRoundedRect(QRectF(centre + QPointF(-16, 0) * scale, QSizeF(32, 7) * scale), 3 * scale,
                         3 * scale);
    painter.setPen(QPen(fill.darker(135), 1));
    painter.setBrush(fill);
    painter.drawPath(cloud.simplified());
}

// Rain strokes and snow stars under a cloud, in the maps' own marks.
void DrawFall(QPainter& painter, QPointF origin, const QString& marks)
{
    painter.setPen(QPen(Rain, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < marks.size(); ++i) {
        const QPointF at = origin + QPointF(i * 9 - (marks.size() - 1) * 4.5, 0);
        if (marks[i] == QLatin1Char('/')) {
            painter.drawLine(at + QPointF(2, -4), at + QPointF(-2, 4));
        } else {
            for (int j = 0; j < 3; ++j) {
                const qreal angle = j * std::numbers::pi / 3;
                const QPointF d(3.5 * std::cos(angle), 3.5 * std::sin(angle));
                painter.drawLine(at - d, at + d);
            }
        }
    }
}

} // namespace

TForecastLegend::TForecastLegend(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("suiIPLegenda"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Legenda"));
}

int TForecastLegend::heightForWidth(int width) const
{
    return std::max(DesignHeight / 2, width * DesignHeight / DesignWidth);
}

void TForecastLegend::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void TForecastLegend::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0xF6, 0xF8, 0xFA));
    // Drawn in the design's coordinates, scaled to the width it is given.
    const qreal scale = qreal(width()) / DesignWidth;
    painter.translate((width() - DesignWidth * scale) / 2, (height() - DesignHeight * scale) / 2);
    painter.scale(scale, scale);
    painter.setPen(QColor(0xC9, 0xD2, 0xDE));
    painter.drawLine(QPointF(0, DesignHeight - 0.5), QPointF(DesignWidth, DesignHeight - 0.5));

    const QStringList labels{
        QStringLiteral("jasno"),      QStringLiteral("delno oblačno"),
        QStringLiteral("oblačno"),    QStringLiteral("dež"),
        QStringLiteral("sneg"),       QStringLiteral("dež s snegom"),
        QStringLiteral("min/max °C"),
    };
    const qreal cell = qreal(DesignWidth) / labels.size();
    QFont font = this->font();
    font.setPixelSize(12);
    painter.setFont(font);
    for (int i = 0; i < labels.size(); ++i) {
        const QPointF centre(cell * i + cell / 2, 28);
        switch (i) {
        case 0:
            DrawSun(painter, centre, 9);
            break;
        case 1:
            DrawSun(painter, centre + QPointF(-8, -8), 7);
            DrawCloud(painter, centre + QPointF(4, 4), 0.8, CloudWhite);
            break;
        case 2:
            DrawCloud(painter, centre, 0.95, CloudGrey);
            break;
        case 3:
        case 4:
        case 5:
            DrawCloud(painter, centre + QPointF(0, -6), 0.85, CloudGrey);
            DrawFall(painter, centre + QPointF(0, 12),
                     i == 3   ? QStringLiteral("///")
                     : i == 4 ? QStringLiteral("***")
                              : QStringLiteral("/*/"));
            break;
        default: {
            const QRectF box(centre.x() - 20, centre.y() - 10, 40, 20);
            painter.setPen(QPen(Ink, 1));
            painter.setBrush(Qt::white);
            painter.drawRect(box);
            QFont bold = font;
            bold.setBold(true);
            painter.setFont(bold);
            painter.drawText(box, Qt::AlignCenter, QStringLiteral("0/6"));
            painter.setFont(font);
            break;
        }
        }
        painter.setPen(Ink);
        painter.drawText(QRectF(cell * i, 50, cell, 20), Qt::AlignHCenter | Qt::AlignTop,
                         labels[i]);
    }
}

TForecastView::TForecastView(TPictureContext& context, QWidget* parent)
    : QWidget(parent), FContext(context), FCancellation(std::make_unique<pas_lib::TCancellation>())
{
    setObjectName(QStringLiteral("suiIPNapovedVSliki"));
    setProperty("panelTag", PanelTag::ForecastPictures);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    suiIPLegenda = new TForecastLegend(this);
    layout->addWidget(suiIPLegenda);
    suiIPNapJutri = new TImagePanel(this);
    suiIPNapJutri->setObjectName(QStringLiteral("suiIPNapJutri"));
    suiIPNapJutri->setCursor(Qt::PointingHandCursor);
    suiIPNapJutri->setProperty("Tag", ShowingTomorrow);
    suiIPNapJutri->setAccessibleName(QStringLiteral("Napoved v sliki"));
    suiIPNapJutri->installEventFilter(this);
    layout->addWidget(suiIPNapJutri, 1);
    connect(suiIPLegenda, &TForecastLegend::clicked, this, &TForecastView::NapovedVSlikiClick);
}

TForecastView::~TForecastView()
{
    FCancellation->Cancel();
}

int TForecastView::ToggleState() const
{
    return suiIPNapJutri->property("Tag").toInt();
}

bool TForecastView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == suiIPNapJutri && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        NapovedVSlikiClick();
    return QWidget::eventFilter(watched, event);
}

void TForecastView::Stop()
{
    FCancellation->Cancel();
    FCancellation.release()->deleteLater();
    FCancellation = std::make_unique<pas_lib::TCancellation>();
}

void TForecastView::SetHints(const QString& hint)
{
    if (!FHintsOn)
        return;
    suiIPNapJutri->setToolTip(hint);
    suiIPLegenda->setToolTip(hint);
}

QCoro::Task<> TForecastView::ShowForecastPictures(bool background)
{
    if (!parametri || !parametri->Get(TParam::NAPOVED_V_SLIKI).toBool())
        co_return;
    if (!QDir().mkpath(pas_lib::SlikeDir))
        co_return;
    const pas_lib::TXmlDocument& feed = FContext.MainFeed();
    if (background) {
        for (const TPictureSource* source :
             {&Pictures::ForecastTomorrow, &Pictures::ForecastDayAfter})
            if (!PictureFresh(*source, feed)) {
                qCDebug(lcViews) << "Forecast map" << source->fileName
                                 << "stale; downloading in the background";
                new TDownLoad(PicturePath(*source), PictureAddress(*source), source->slot);
            }
        co_return;
    }
    TBusyScope busy(FContext);
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    const TPictureSource& tomorrow = Pictures::ForecastTomorrow;
    const QString tomorrowPath = PicturePath(tomorrow);
    bool show = PictureFresh(tomorrow, feed);
    if (!show) {
        const int result = co_await Fetch(PictureAddress(tomorrow), tomorrowPath, nullptr,
                                          tomorrow.slot, cancellation);
        if (cancellation->Cancelled())
            co_return;
        qCDebug(lcViews) << "Forecast map" << tomorrow.fileName << "fetched:" << result;
        show = result > 0;
    }
    if (show && suiIPNapJutri->LoadFile(tomorrowPath)) {
        suiIPNapJutri->setProperty("Tag", ShowingTomorrow);
        SetHints(HintDayAfter);
    }
    const TPictureSource& dayAfter = Pictures::ForecastDayAfter;
    if (!PictureFresh(dayAfter, feed)) {
        const int result = co_await Fetch(PictureAddress(dayAfter), PicturePath(dayAfter), nullptr,
                                          dayAfter.slot, cancellation);
        if (cancellation->Cancelled())
            co_return;
        qCDebug(lcViews) << "Forecast map" << dayAfter.fileName << "fetched:" << result;
    }
}

void TForecastView::NapovedVSlikiClick()
{
    const bool toTomorrow = ToggleState() == ShowingDayAfter;
    const TPictureSource& source =
        toTomorrow ? Pictures::ForecastTomorrow : Pictures::ForecastDayAfter;
    if (!suiIPNapJutri->LoadFile(PicturePath(source)))
        return;
    suiIPNapJutri->setProperty("Tag", toTomorrow ? ShowingTomorrow : ShowingDayAfter);
    FHintsOn = true;
    SetHints(toTomorrow ? HintDayAfter : HintTomorrow);
}
