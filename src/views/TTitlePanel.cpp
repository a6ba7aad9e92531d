#include "views/TTitlePanel.h"

#include "controls/SvgIcon.h"
#include "views/ViewTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace {

// A slim bar that runs across the panel while the data are being refreshed;
// its timer runs only while it is shown.
class TRefreshIndicator : public QWidget
{
public:
    explicit TRefreshIndicator(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("suiImagePanelRefreshing"));
        setAttribute(Qt::WA_StyledBackground);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(10, 0, 10, 0);
        auto* label = new QLabel(QStringLiteral("Osveževanje podatkov ..."), this);
        label->setObjectName(QStringLiteral("RefreshingText"));
        layout->addWidget(label);
        layout->addStretch();
        FTimer.setInterval(40);
        connect(&FTimer, &QTimer::timeout, this, [this] {
            FPhase = (FPhase + 3) % 1000;
            update();
        });
    }

protected:
    void showEvent(QShowEvent*) override { FTimer.start(); }
    void hideEvent(QHideEvent*) override { FTimer.stop(); }
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal barHeight = 3;
        const QRectF track(0, height() - barHeight, width(), barHeight);
        painter.fillRect(track, QColor(255, 255, 255, 60));
        const qreal length = width() / 4.0;
        const qreal x = (width() + length) * FPhase / 1000.0 - length;
        painter.fillRect(QRectF(x, track.y(), length, barHeight), QColor(0xF1, 0xC8, 0x7A));
    }

private:
    QTimer FTimer;
    int FPhase = 0;
};

// A title that ends in "…" where the panel is too narrow for it, instead of
// being cut inside a word; it keeps its whole text.
class TElidedLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, area.width()),
                              foregroundRole());
    }
};

} // namespace

TTitlePanel::TTitlePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("suiImagePanelTitle"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(30);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 0, 4, 0);
    layout->setSpacing(4);
    FTitle = new TElidedLabel(this);
    FTitle->setObjectName(QStringLiteral("TitleText"));
    FTitle->setTextFormat(Qt::PlainText);
    FTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(FTitle, 1);
    FAge = new QLabel(this);
    FAge->setObjectName(QStringLiteral("DataAge"));
    FAge->setTextFormat(Qt::PlainText);
    FAge->hide();
    layout->addWidget(FAge);

    FClose = new QToolButton(this);
    FClose->setObjectName(QStringLiteral("suiImageButtonClose"));
    FClose->setProperty("panelTag", PanelTag::About);
    FClose->setIcon(SvgIcon(QStringLiteral("close"), Qt::white, QColor(0xF1, 0xC8, 0x7A)));
    FClose->setIconSize(QSize(14, 14));
    FClose->setFixedSize(24, 24);
    FClose->setAutoRaise(true);
    FClose->setToolTip(QStringLiteral("Zapri"));
    FClose->setAccessibleName(FClose->toolTip());
    FClose->setCursor(Qt::PointingHandCursor);
    FClose->hide();
    layout->addWidget(FClose);

    FIndicator = new TRefreshIndicator(this);
    FIndicator->hide();
}

QString TTitlePanel::Title() const
{
    return FTitle->text();
}

void TTitlePanel::SetTitle(const QString& title)
{
    FTitle->setText(title);
    UpdateAccessibleName();
}

QString TTitlePanel::DataAge() const
{
    return FAge->text();
}

void TTitlePanel::SetDataAge(const QString& age)
{
    FAge->setText(age);
    FAge->setVisible(!age.isEmpty());
    UpdateAccessibleName();
}

void TTitlePanel::UpdateAccessibleName()
{
    setAccessibleName(FAge->text().isEmpty()
                          ? FTitle->text()
                          : FTitle->text() + QStringLiteral(", ") + FAge->text());
}

void TTitlePanel::ShowRefreshing()
{
    FIndicator->setGeometry(rect());
    FIndicator->show();
    FIndicator->raise();
}

void TTitlePanel::HideRefreshing()
{
    FIndicator->hide();
}

bool TTitlePanel::Refreshing() const
{
    return !FIndicator->isHidden();
}

void TTitlePanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FIndicator->setGeometry(rect());
}
