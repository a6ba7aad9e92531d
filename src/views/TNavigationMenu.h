#pragma once

#include <QList>
#include <QWidget>
#include <functional>

class QAction;
class QPushButton;
class QToolButton;

// The side channel's view menu: one 20-pixel row per visible view button in a
// gap-free column (the menu panel), and under it the arrow panel that scrolls
// the rows when they do not all fit. Screen readers see it as a list of the
// switched-on views, each entry named and pressable even while the channel is
// folded; Up, Down, Home and End move between the entries, Enter and Space open
// one.
class TNavigationMenu : public QObject
{
    Q_OBJECT
public:
    static constexpr int MenuRowHeight = 20;
    static constexpr int ButtonWidth = 164;

    // One button per action, in menu order; the panels are made children of parent.
    TNavigationMenu(const QList<QAction*>& actions, QWidget* parent);

    QWidget* MenuPanel() const { return FMenuPanel; }
    QWidget* ArrowPanel() const { return FArrowPanel; }
    QPushButton* Button(int index) const { return FButtons.at(index); }

    // Places the menu panel at this top (within the side channel); the arrow
    // panel follows right under it.
    void SetTop(int top);

    // Shows the actions whose switch is on (actions without a switch always),
    // in one column, and sizes the panel to all of them.
    void ApplyViewSwitches(const std::function<bool(int index)>& switchedOn);
    // Fits the panel into a side channel of this height: whole rows, arrows
    // when they do not all fit, scrolled back so no empty rows show.
    void FitMenuPanel(int channelHeight);
    // The arrow buttons.
    void ScrollUp();
    void ScrollDown();
    // Marks the button of the view shown.
    void SetCurrent(QAction* action);

    int MenuButtonCount() const { return FButtonCount; }
    int MenuRowsAbove() const { return FRowsAbove; }
    int MenuRowsBelow() const { return FRowsBelow; }
    int MenuPanelHeight() const;
    bool ArrowsShown() const;

signals:
    // Assistive technology asked for an entry's focus: the menu must show.
    void FocusRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetMenuHeight(int height);
    void ScrollContent(int rowsAbove);
    void UpdateArrows();
    // Moves the focus from an entry as an arrow, Home or End key says.
    void MoveFocus(QPushButton* from, int key);

    QList<QAction*> FActions;
    QList<QPushButton*> FButtons;
    QWidget* FMenuPanel;
    QWidget* FContent;
    QWidget* FArrowPanel;
    QToolButton* FUp;
    QToolButton* FDown;
    int FButtonCount = 2;
    int FRowsAbove = 0;
    int FRowsBelow = 0;
};
