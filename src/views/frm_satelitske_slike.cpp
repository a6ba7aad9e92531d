#include "views/frm_satelitske_slike.h"

#include "common/DataPaths.h"
#include "controls/TImagePanel.h"
#include "net/Fetch.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/ViewTable.h"
#include "views/ViewsLog.h"
#include "weather/PictureSources.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

// The rain-rate scale of the precipitation pictures (suiImagePanelRainRate),
// drawn over the top left of the picture.
class TRainRateLegend : public QWidget
{
public:
    explicit TRainRateLegend(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("suiImagePanelRainRate"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedSize(176, 34);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        struct TStep
        {
            QColor colour;
            const char* label;
        };
        static const TStep steps[] = {{QColor(60, 120, 255), "0,1"},
                                      {QColor(0, 200, 200), "1"},
                                      {QColor(40, 210, 40), "3"},
                                      {QColor(250, 230, 0), "10"},
                                      {QColor(255, 60, 0), "30"}};
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(16, 22, 34, 200));
        painter.drawRoundedRect(rect(), 4, 4);
        QFont small = font();
        small.setPixelSize(9);
        painter.setFont(small);
        const int top = 5;
        const int cell = 26;
        for (int i = 0; i < 5; ++i) {
            const QRect swatch(6 + i * cell, top, cell - 2, 10);
            painter.setPen(Qt::NoPen);
            painter.setBrush(steps[i].colour);
            painter.drawRect(swatch);
            painter.setPen(Qt::white);
            painter.drawText(QRect(swatch.left(), top + 11, cell, 14), Qt::AlignLeft,
                             QString::fromLatin1(steps[i].label));
        }
        painter.drawText(QRect(6 + 5 * cell, top, 40, 24), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("mm/h"));
    }
};

namespace {

QToolButton* KindButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAccessibleName(caption);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

bool SwitchedOn()
{
    return parametri && parametri->Get(TParam::SATELITSKA_SLIKA).toBool();
}

} // namespace

TFrameSateliskeSlike::TFrameSateliskeSlike(TPictureContext& context, QWidget* parent)
    : QWidget(parent), FContext(context), FCancellation(std::make_unique<pas_lib::TCancellation>())
{
    setObjectName(QStringLiteral("FrameSateliskeSlike1"));
    setProperty("panelTag", PanelTag::Satellite);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("suiToolBar"));
    bar->setAttribute(Qt::WA_StyledBackground);
    auto* tools = new QHBoxLayout(bar);
    tools->setContentsMargins(6, 3, 6, 3);
    tools->setSpacing(4);
    btnOblacnost = KindButton(QStringLiteral("btnOblacnost"), QStringLiteral("Oblačnost"), bar);
    btnPadavine = KindButton(QStringLiteral("btnPadavine"), QStringLiteral("Padavine"), bar);
    btnCikloni = KindButton(QStringLiteral("btnCikloni"), QStringLiteral("Cikloni"), bar);
    FKinds = new QButtonGroup(this);
    FKinds->setExclusive(true);
    for (QToolButton* button : {btnOblacnost, btnPadavine, btnCikloni}) {
        FKinds->addButton(button);
        tools->addWidget(button);
    }
    btnOblacnost->setChecked(true);
    btnZoom = new QToolButton(bar);
    btnZoom->setObjectName(QStringLiteral("btnZoom"));
    btnZoom->setText(QStringLiteral("[+]"));
    btnZoom->setAccessibleName(QStringLiteral("Povečava"));
    btnZoom->setToolTip(QStringLiteral("Povečava"));
    btnZoom->setProperty("Tag", 0);
    btnZoom->setAutoRaise(true);
    btnZoom->setCursor(Qt::PointingHandCursor);
    tools->addWidget(btnZoom);
    tools->addStretch();
    suiComboBox = new QComboBox(bar);
    suiComboBox->setObjectName(QStringLiteral("suiComboBox"));
    suiComboBox->setAccessibleName(QStringLiteral("Slika"));
    for (int i = 1; i <= 10; ++i)
        suiComboBox->addItem(QStringLiteral("%1. slika").arg(i, 2, 10, QLatin1Char('0')));
    tools->addWidget(suiComboBox);
    layout->addWidget(bar);

    suiImagePanel = new TImagePanel(this);
    suiImagePanel->setObjectName(QStringLiteral("suiImagePanel"));
    layout->addWidget(suiImagePanel, 1);
    suiImagePanelRainRate = new TRainRateLegend(suiImagePanel);
    suiImagePanelRainRate->hide();
    connect(suiImagePanel, &TImagePanel::pictureChanged, this, &TFrameSateliskeSlike::PlaceLegend);

    connect(btnOblacnost, &QToolButton::clicked, this, &TFrameSateliskeSlike::btnOblacnostClick);
    connect(btnPadavine, &QToolButton::clicked, this, &TFrameSateliskeSlike::btnPadavineClick);
    connect(btnCikloni, &QToolButton::clicked, this, &TFrameSateliskeSlike::btnCikloniClick);
    connect(btnZoom, &QToolButton::clicked, this, &TFrameSateliskeSlike::btnZoomClick);
    connect(suiComboBox, &QComboBox::currentIndexChanged, this,
            &TFrameSateliskeSlike::suiComboBoxChange);
}

TFrameSateliskeSlike::~TFrameSateliskeSlike()
{
    FCancellation->Cancel();
}

int TFrameSateliskeSlike::ZoomState() const
{
    return btnZoom->property("Tag").toInt();
}

QWidget* TFrameSateliskeSlike::RainRateLegend() const
{
    return suiImagePanelRainRate;
}

void TFrameSateliskeSlike::Stop()
{
    FCancellation->Cancel();
    FCancellation.release()->deleteLater();
    FCancellation = std::make_unique<pas_lib::TCancellation>();
}

void TFrameSateliskeSlike::Restart()
{
    if (FAnimating)
        Stop();
}

QCoro::Task<> TFrameSateliskeSlike::ShowSatellitePicture(bool force)
{
    if (!SwitchedOn())
        co_return;
    co_await LoadSatellitePicture(CurrentKind, 0, force);
}

bool TFrameSateliskeSlike::ShowFile(const QString& path)
{
    if (!suiImagePanel->LoadFile(path)) {
        suiImagePanel->Clear();
        suiImagePanelRainRate->hide();
        return false;
    }
    suiImagePanelRainRate->setVisible(FSatKind == 1);
    PlaceLegend();
    return true;
}

QCoro::Task<> TFrameSateliskeSlike::LoadSatellitePicture(int kind, int number, bool force)
{
    if (kind == CurrentKind)
        kind = FSatKind >= 1 && FSatKind <= 3 ? FSatKind : 0;
    if (number >= 0 && number < suiComboBox->count()) {
        FSelecting = true;
        suiComboBox->setCurrentIndex(number);
        FSelecting = false;
    }
    if (!QDir().mkpath(pas_lib::SlikeDir))
        co_return;
    const QString path = SatellitePath(kind, number);
    if (!force && SatellitePictureFresh(path, QDateTime::currentDateTime())) {
        ShowFile(path);
        co_return;
    }
    const TBusyScope busy(FContext);
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    const int result = co_await Fetch(SatelliteAddress(kind, number), path, nullptr,
                                      Pictures::SatelliteFirstSlot + kind, cancellation);
    if (cancellation->Cancelled())
        co_return;
    qCDebug(lcViews) << "Satellite picture" << SatelliteFileName(kind, number)
                     << "fetched:" << result;
    if (result >= -1)
        ShowFile(path);
}

QCoro::Task<> TFrameSateliskeSlike::AnimateSatellite()
{
    if (!SwitchedOn() || FAnimating)
        co_return;
    FAnimating = true;
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    const QPointer<TFrameSateliskeSlike> self(this);
    struct TEnd
    {
        QPointer<TFrameSateliskeSlike> frame;
        ~TEnd()
        {
            if (frame)
                frame->FAnimating = false;
        }
    } end{self};
    TBusyScope busy(FContext);
    const int kind = FSatKind;
    if (!QDir().mkpath(pas_lib::SlikeDir))
        co_return;
    for (int number = 0; number < Pictures::SatellitePictureCount; ++number) {
        const int result = co_await Fetch(SatelliteAddress(kind, number),
                                          SatellitePath(kind, number), nullptr, -1, cancellation);
        if (cancellation->Cancelled())
            co_return;
        if (result < -1) {
            qCDebug(lcViews) << "Satellite animation stopped: picture" << number
                             << "did not download";
            co_return;
        }
    }
    // From the oldest to the newest; an undecodable frame ends it there.
    for (int number = Pictures::SatellitePictureCount - 1; number >= 0; --number) {
        if (!suiImagePanel->LoadFile(SatellitePath(kind, number))) {
            qCDebug(lcViews) << "Satellite animation stopped: picture" << number
                             << "does not decode";
            co_return;
        }
        if (number > 0 && !co_await pas_lib::SleepFor(FrameMilliseconds, cancellation))
            co_return;
    }
}

void TFrameSateliskeSlike::btnOblacnostClick()
{
    Restart();
    FSatKind = 0;
    LoadSatellitePicture(0, 0, false);
}

void TFrameSateliskeSlike::btnPadavineClick()
{
    Restart();
    FSatKind = 1;
    LoadSatellitePicture(1, 0, false);
}

void TFrameSateliskeSlike::btnCikloniClick()
{
    Restart();
    FSatKind = ZoomState() == 1 ? 3 : 2;
    LoadSatellitePicture(FSatKind, 0, false);
}

void TFrameSateliskeSlike::btnZoomClick()
{
    const int state = ZoomState() == 1 ? 0 : 1;
    btnZoom->setProperty("Tag", state);
    btnZoom->setText(state == 1 ? QStringLiteral("[-]") : QStringLiteral("[+]"));
    if (!btnCikloni->isChecked())
        return;
    Restart();
    FSatKind = state == 1 ? 3 : 2;
    LoadSatellitePicture(FSatKind, suiComboBox->currentIndex(), false);
}

void TFrameSateliskeSlike::suiComboBoxChange(int index)
{
    if (FSelecting || index < 0)
        return;
    Restart();
    LoadSatellitePicture(FSatKind, index, false);
}

void TFrameSateliskeSlike::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceLegend();
}

// Over the top left of the picture as the panel shows it.
void TFrameSateliskeSlike::PlaceLegend()
{
    const QImage& picture = suiImagePanel->Picture();
    QSizeF size = picture.isNull() ? QSizeF(suiImagePanel->size()) : QSizeF(picture.size());
    size.scale(QSizeF(suiImagePanel->size()), Qt::KeepAspectRatio);
    const QPoint corner(int((suiImagePanel->width() - size.width()) / 2),
                        int((suiImagePanel->height() - size.height()) / 2));
    suiImagePanelRainRate->move(corner + QPoint(4, 4));
    suiImagePanelRainRate->raise();
}
