#pragma once

#include <QColor>
#include <QFlags>
#include <QPointer>
#include <QStaticText>
#include <QTimer>
#include <QWidget>

// The keys and buttons held when a mouse event came, and whether it was the
// second press of a double click.
enum class TShiftFlag {
    ssShift = 0x01,
    ssCtrl = 0x02,
    ssLeft = 0x04,
    ssRight = 0x08,
    ssMiddle = 0x10,
    ssDouble = 0x20,
};
Q_DECLARE_FLAGS(TShiftState, TShiftFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

// One line of text scrolling from right to left, one pixel per tick, repeated
// as often as the width needs. Opaque (filled with Color) or transparent
// (whatever lies beneath shows through). Runs from its creation until Stop,
// which leaves the text standing at the left edge for good; its timer ticks
// only while the banner can be seen.
//
// An empty text or a width of 0 leaves nothing to scroll: the timer rests
// until both are there again, and a copy period of 0 (empty text, width 0,
// Gap 0) draws the one copy only.
class TKorvalinBanner : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Speed READ Speed WRITE SetSpeed)
    Q_PROPERTY(quint16 Gap READ Gap WRITE SetGap)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(bool Running READ Running)

public:
    static constexpr int MinSpeed = 2;
    static constexpr int MaxSpeed = 500;

    explicit TKorvalinBanner(QWidget* parent = nullptr);
    ~TKorvalinBanner() override;

    // The line; shown from the next tick on.
    const QString& Text() const { return FText; }
    void SetText(const QString& text);
    // Pixels per 10 seconds, 2 to 500; the timer's interval carries it.
    int Speed() const;
    void SetSpeed(int speed);
    // Pixels between the end of one copy and the start of the next; 0 leaves a
    // whole width between them.
    quint16 Gap() const { return FGap; }
    void SetGap(quint16 gap);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    // The background of an opaque banner, and the text's colour.
    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor& color);

    bool Running() const { return FRunning; }
    // Stops the scrolling for good, the text standing at the left edge.
    void Stop();

    // Where the first copy starts, and the distance between copies as the last
    // tick measured it.
    int Pos() const { return FPos; }
    int Spacing() const { return FSpacing; }
    // The scrolling timer: its interval, and whether it ticks now.
    int TickInterval() const { return FTimer.interval(); }
    bool Ticking() const { return FTimer.isActive(); }

public slots:
    // One step: the text one pixel to the left, or the first copy dropped once
    // it and its spacing have left.
    void TimerTick();

signals:
    void OnSize();
    // The window was activated or deactivated.
    void OnActivate();
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, TShiftState shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, TShiftState shift, int x, int y);
    void OnMouseMove(TShiftState shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int TextWidth() const;
    void MeasureSpacing();
    // Starts the timer while the banner runs and can be seen, stops it otherwise.
    void UpdateTimer();
    void WatchWindow();

    QTimer FTimer;
    int FPos = 0;
    quint16 FGap = 0;
    QString FText;
    int FSpacing = 0;
    bool FFirstTick = true;
    bool FRunning = true;
    bool FTransparent = false;
    // Unmapped by the window system (another desktop, say) though still "visible".
    bool FObscured = false;
    QColor FColor;
    QColor FFontColor;
    // The text laid out once for painting, and its width; -1: measure anew.
    QStaticText FLaidOut;
    mutable int FTextWidth = -1;
    QPointer<QWidget> FWatchedWindow;
};
