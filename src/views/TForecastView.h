#pragma once

#include "common/Awaiting.h"

#include <QWidget>
#include <memory>

class TImagePanel;
class TPictureContext;

// The legend of the forecast maps (suiIPLegenda): the maps' weather symbols
// and the temperature box, each with a short Slovenian label, drawn anew at
// every size (630 x 76 at scale 1, over the view's whole width).
class TForecastLegend : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 630;
    static constexpr int DesignHeight = 76;

    explicit TForecastLegend(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {DesignWidth, DesignHeight}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The forecast maps view (suiIPNapovedVSliki): the legend over the map of
// tomorrow or the day after (suiIPNapJutri); a click on either shows the
// other day.
class TForecastView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ShowingTomorrow = -1;
    static constexpr int ShowingDayAfter = -2;

    TForecastView(TPictureContext& context, QWidget* parent = nullptr);
    ~TForecastView() override;

    // In the foreground: tomorrow's map from its file while it is as new as
    // the server's copy, else downloaded and shown; the day after's
    // downloaded when stale, not shown. In the background both only
    // downloaded when stale, on workers of their own. Nothing while the view
    // is switched off.
    QCoro::Task<> ShowForecastPictures(bool background);
    // The click on the legend or the map: the other day.
    void NapovedVSlikiClick();
    void Stop();

    int ToggleState() const;
    TImagePanel* Map() const { return suiIPNapJutri; }
    TForecastLegend* Legend() const { return suiIPLegenda; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetHints(const QString& hint);

    TPictureContext& FContext;
    std::unique_ptr<pas_lib::TCancellation> FCancellation;
    TForecastLegend* suiIPLegenda;
    TImagePanel* suiIPNapJutri;
    bool FHintsOn = false;
};
