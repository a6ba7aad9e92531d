#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

// One rounded end of a banner's band: a half-round in the band's colour, so
// that the band reads as one strip with round ends. Painted anew at every size
// and pixel ratio.
class TBannerCap : public QWidget
{
    Q_OBJECT
public:
    enum class TSide { Left, Right };
    static constexpr int CapWidth = 10;
    static constexpr int CapHeight = 29;

    TBannerCap(TSide side, QWidget* parent = nullptr);

    // The band this cap ends (a sibling beside it) and its colour; the cap
    // draws its round end at the band's height and place.
    void SetBand(const QWidget* band, const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TSide FSide;
    QPointer<const QWidget> FBand;
    QColor FColor;
};
