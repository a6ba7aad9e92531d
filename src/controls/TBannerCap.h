#pragma once

#include <QColor>
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

    // The band's colour and height; the band lies centred in the cap.
    void SetBand(const QColor& color, int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TSide FSide;
    QColor FColor;
    int FBandHeight = 16;
};
