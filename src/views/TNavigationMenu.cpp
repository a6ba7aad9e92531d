#include "views/TNavigationMenu.h"

#include "controls/SvgIcon.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace {
const QColor MenuText(0x48, 0x5A, 0x79);
const QColor MenuHover(0x7B, 0x56, 0x11);
constexpr int ArrowPanelHeight = 20;
} // namespace

TNavigationMenu::TNavigationMenu(const QList<QAction*>& actions, QWidget* parent)
    : QObject(parent), FActions(actions)
{
    FMenuPanel = new QWidget(parent);
    FMenuPanel->setObjectName(QStringLiteral("PanelMenuBtns"));
    FMenuPanel->setAttribute(Qt::WA_StyledBackground);
    FMenuPanel->setFixedWidth(ButtonWidth);
    FContent = new QWidget(FMenuPanel);
    FContent->setObjectName(QStringLiteral("PanelMenuBtnsContent"));

    for (QAction* action : actions) {
        auto* button = new QPushButton(action->text(), FContent);
        button->setObjectName(action->property("buttonName").toString());
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(action->toolTip());
        button->setFixedSize(ButtonWidth, MenuRowHeight);
        button->setFocusPolicy(Qt::StrongFocus);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        FButtons.append(button);
    }

    FArrowPanel = new QWidget(parent);
    FArrowPanel->setObjectName(QStringLiteral("PanelArrowBtns"));
    FArrowPanel->setAttribute(Qt::WA_StyledBackground);
    FArrowPanel->setFixedSize(ButtonWidth, ArrowPanelHeight);
    auto* arrows = new QHBoxLayout(FArrowPanel);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(2);
    auto makeArrow = [&](const QString& name, const QString& icon, const QString& hint) {
        auto* button = new QToolButton(FArrowPanel);
        button->setObjectName(name);
        button->setIcon(SvgIcon(icon, MenuText, MenuHover));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(hint);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        arrows->addWidget(button);
        return button;
    };
    FUp =
        makeArrow(QStringLiteral("suiImageButtonUp"), QStringLiteral("up"), QStringLiteral("Gor"));
    FDown = makeArrow(QStringLiteral("suiImageButtonDown"), QStringLiteral("down"),
                      QStringLiteral("Dol"));
    connect(FUp, &QToolButton::clicked, this, &TNavigationMenu::ScrollUp);
    connect(FDown, &QToolButton::clicked, this, &TNavigationMenu::ScrollDown);
    FArrowPanel->hide();

    ApplyViewSwitches([](int) { return true; });
    FRowsAbove = 0;
    FRowsBelow = FButtonCount - MenuPanelHeight() / MenuRowHeight;
}

void TNavigationMenu::SetTop(int top)
{
    FMenuPanel->move(FMenuPanel->x(), top);
    FArrowPanel->move(FMenuPanel->x(), top + MenuPanelHeight());
}

int TNavigationMenu::MenuPanelHeight() const
{
    return FMenuPanel->height();
}

bool TNavigationMenu::ArrowsShown() const
{
    return !FArrowPanel->isHidden();
}

void TNavigationMenu::ApplyViewSwitches(const std::function<bool(int index)>& switchedOn)
{
    // The first two (observation and automatic stations) are always there.
    FButtonCount = 0;
    for (int i = 0; i < FActions.size(); ++i) {
        const bool visible = i < 2 || switchedOn(i);
        FActions[i]->setVisible(visible);
        FButtons[i]->setVisible(visible);
        if (visible)
            FButtons[i]->move(0, FButtonCount++ * MenuRowHeight);
    }
    FContent->resize(ButtonWidth, FButtonCount * MenuRowHeight);
    SetMenuHeight(FButtonCount * MenuRowHeight);
}

void TNavigationMenu::SetMenuHeight(int height)
{
    // A growing panel shows one more row above when it was scrolled.
    if (height > FMenuPanel->height() && FRowsAbove > 0)
        ScrollContent(FRowsAbove - 1);
    FMenuPanel->setFixedHeight(height);
    FArrowPanel->move(FMenuPanel->x(), FMenuPanel->y() + height);
}

void TNavigationMenu::FitMenuPanel(int channelHeight)
{
    const int top = FMenuPanel->y();
    const int bottom = FButtonCount * MenuRowHeight + top - 1;
    if (bottom + 5 >= channelHeight) {
        SetMenuHeight(std::max(0, ((channelHeight - top) / MenuRowHeight - 1) * MenuRowHeight));
        FArrowPanel->show();
    } else {
        SetMenuHeight(FButtonCount * MenuRowHeight);
        FArrowPanel->hide();
    }
    FRowsBelow = FButtonCount - (MenuPanelHeight() / MenuRowHeight + FRowsAbove);
    if (FRowsBelow < 0) {
        ScrollContent(std::max(0, FRowsAbove + FRowsBelow));
        FRowsBelow = 0;
    }
    UpdateArrows();
}

void TNavigationMenu::ScrollUp()
{
    if (FRowsAbove <= 0)
        return;
    ++FRowsBelow;
    ScrollContent(FRowsAbove - 1);
}

void TNavigationMenu::ScrollDown()
{
    if (FRowsBelow == 0)
        return;
    --FRowsBelow;
    ScrollContent(FRowsAbove + 1);
}

void TNavigationMenu::ScrollContent(int rowsAbove)
{
    FRowsAbove = rowsAbove;
    FContent->move(0, -FRowsAbove * MenuRowHeight);
    UpdateArrows();
}

void TNavigationMenu::UpdateArrows()
{
    FUp->setEnabled(FRowsAbove > 0);
    FDown->setEnabled(FRowsBelow > 0);
}

void TNavigationMenu::SetCurrent(QAction* current)
{
    for (int i = 0; i < FButtons.size(); ++i) {
        QPushButton* button = FButtons[i];
        const bool isCurrent = FActions[i] == current;
        if (button->property("current").toBool() == isCurrent)
            continue;
        button->setProperty("current", isCurrent);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
}

bool TNavigationMenu::eventFilter(QObject* watched, QEvent* event)
{
    // A button reached by the keyboard scrolls into view.
    if (event->type() == QEvent::FocusIn) {
        auto* button = qobject_cast<QPushButton*>(watched);
        const int rows = MenuPanelHeight() / MenuRowHeight;
        if (button && rows > 0) {
            const int row = button->y() / MenuRowHeight;
            while (row < FRowsAbove)
                ScrollUp();
            while (row >= FRowsAbove + rows && FRowsBelow > 0)
                ScrollDown();
        }
    }
    return QObject::eventFilter(watched, event);
}
