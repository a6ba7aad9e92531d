#include "views/TNavigationMenu.h"

#include "controls/SvgIcon.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace {
const QColor MenuText(0x48, 0x5A, 0x79);
const QColor MenuHover(0x7B, 0x56, 0x11);
constexpr int ArrowPanelHeight = 20;
const QString MenuName = QStringLiteral("Meni pogledov");
// Marks the menu's list widget and its entries for the accessibility factory;
// the list also points back to its menu.
constexpr const char* ListProperty = "navigationMenu";
constexpr const char* EntryProperty = "navigationEntry";

TNavigationMenu* MenuOf(QWidget* entry)
{
    QWidget* list = entry->parentWidget();
    return list ? qobject_cast<TNavigationMenu*>(list->property(ListProperty).value<QObject*>())
                : nullptr;
}

// The switched-on entries, in menu order.
QList<QWidget*> Entries(const QWidget* list)
{
    QList<QWidget*> entries;
    for (QObject* child : list->children())
        if (child->isWidgetType() && child->property(EntryProperty).toBool() &&
            !static_cast<QWidget*>(child)->isHidden())
            entries.append(static_cast<QWidget*>(child));
    return entries;
}

// The menu as a list: its children are the switched-on entries only.
class TMenuListAccessible : public QAccessibleWidget
{
public:
    explicit TMenuListAccessible(QWidget* list) : QAccessibleWidget(list, QAccessible::List) {}

    int childCount() const override { return int(Entries(widget()).size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> entries = Entries(widget());
        return index >= 0 && index < entries.size()
                   ? QAccessible::queryAccessibleInterface(entries[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(Entries(widget()).indexOf(static_cast<QWidget*>(child->object())));
    }
};

// An entry: a list item named by its view, selected while its view shows.
// Pressing it opens the view even while the channel is folded; focusing it
// unfolds the channel first, since a hidden widget takes no focus.
class TMenuEntryAccessible : public QAccessibleWidget
{
public:
    explicit TMenuEntryAccessible(QPushButton* entry)
        : QAccessibleWidget(entry, QAccessible::ListItem)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Entry()->text();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = Entry()->property("current").toBool();
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names{pressAction()};
        if (Entry()->isEnabled())
            names.append(setFocusAction());
        return names;
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction()) {
            Entry()->click();
        } else if (name == setFocusAction()) {
            if (TNavigationMenu* menu = MenuOf(Entry()))
                emit menu->FocusRequested();
            Entry()->setFocus(Qt::OtherFocusReason);
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        return name == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList();
    }

private:
    QPushButton* Entry() const { return static_cast<QPushButton*>(widget()); }
};

QAccessibleInterface* MenuAccessible(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QPushButton") && object->property(EntryProperty).toBool())
        return new TMenuEntryAccessible(static_cast<QPushButton*>(object));
    if (className == QLatin1String("QWidget") && object->property(ListProperty).isValid())
        return new TMenuListAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

TNavigationMenu::TNavigationMenu(const QList<QAction*>& actions, QWidget* parent)
    : QObject(parent), FActions(actions)
{
    static const bool accessibleMenus = [] {
        QAccessible::installFactory(&MenuAccessible);
        return true;
    }();
    Q_UNUSED(accessibleMenus);

    FMenuPanel = new QWidget(parent);
    FMenuPanel->setObjectName(QStringLiteral("PanelMenuBtns"));
    FMenuPanel->setAttribute(Qt::WA_StyledBackground);
    FMenuPanel->setFixedWidth(ButtonWidth);
    FContent = new QWidget;
    FContent->setProperty(ListProperty, QVariant::fromValue<QObject*>(this));
    FContent->setParent(FMenuPanel);
    FContent->setObjectName(QStringLiteral("PanelMenuBtnsContent"));
    FContent->setAccessibleName(MenuName);

    for (QAction* action : actions) {
        // Marked before it has a parent or text: a screen reader may ask for
        // its accessibility interface from then on.
        auto* button = new QPushButton;
        button->setProperty(EntryProperty, true);
        button->setParent(FContent);
        button->setText(action->text());
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
        button->setAccessibleName(hint);
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

void TNavigationMenu::MoveFocus(QPushButton* from, int key)
{
    const QList<QWidget*> entries = Entries(FContent);
    const qsizetype at = entries.indexOf(from);
    qsizetype to = at;
    if (key == Qt::Key_Up)
        to = at - 1;
    else if (key == Qt::Key_Down)
        to = at + 1;
    else if (key == Qt::Key_Home)
        to = 0;
    else if (key == Qt::Key_End)
        to = entries.size() - 1;
    if (at >= 0 && to >= 0 && to < entries.size())
        entries[to]->setFocus(Qt::OtherFocusReason);
}

bool TNavigationMenu::eventFilter(QObject* watched, QEvent* event)
{
    // The keys of a list: arrows, Home and End move, Enter opens (Space does
    // as on any button).
    if (event->type() == QEvent::KeyPress) {
        auto* button = qobject_cast<QPushButton*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (button && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (!key->isAutoRepeat())
                    button->click();
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Home:
            case Qt::Key_End:
                MoveFocus(button, key->key());
                return true;
            default:
                break;
            }
        }
    }
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
