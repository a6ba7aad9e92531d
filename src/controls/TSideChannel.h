#pragma once

#include <QTimer>
#include <QWidget>

class QToolButton;

// The collapsible channel at the window's left: a 10-pixel bar when collapsed,
// 180 pixels when expanded. Pointing at the bar expands it over the content;
// leaving it collapses it again unless the pin button holds it open, in which
// case the content makes room for it.
class TSideChannel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ExpandedWidth = 180;
    static constexpr int BarWidth = 10;

    explicit TSideChannel(QWidget* parent = nullptr);
    ~TSideChannel() override;

    // Where the channel's content goes (170 pixels wide).
    QWidget* Panel() const { return FPanel; }

    bool Pinned() const { return FPinned; }
    void SetPinned(bool pinned);
    bool Expanded() const { return FExpanded; }
    void Expand();
    // Collapses at once, without animation; a pinned channel stays open.
    void Collapse();
    // The width the content beside it leaves free for it.
    int ReservedWidth() const { return FPinned ? ExpandedWidth : BarWidth; }

signals:
    // Expanded (suiSideChannelPop) and collapsed (suiSideChannelPush).
    void Pop();
    void Push();
    void PinnedChanged(bool pinned);
    // Its width or the room it takes changed: the host lays out again.
    void LayoutChanged();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void UpdatePinButton();

    QWidget* FPanel;
    QToolButton* FPin;
    QTimer FCollapseTimer;
    bool FPinned = false;
    bool FExpanded = false;
    // The focus is on a control inside the channel.
    bool FFocusInside = false;
    QMetaObject::Connection FFocusWatch;
};

// Lays the channel over the left edge of a content widget: the content starts
// where the channel's reserved width ends, and an expanded, unpinned channel
// lies over the content.
class TSideChannelHost : public QWidget
{
    Q_OBJECT
public:
    TSideChannelHost(TSideChannel* channel, QWidget* content, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange();

    TSideChannel* FChannel;
    QWidget* FContent;
};
