#include "Commands.h"

#include "CommandKeys.h"
#include "ErrorBox.h"
#include "PictureButton.h"
#include "Pictures.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

CommandSet::CommandSet(QWidget* window, std::function<void()> updateCommands, Around around)
    : QObject(window), m_window(window), m_update(std::move(updateCommands)),
      m_around(std::move(around)), m_keys(new CommandKeys(window))
{
}

CommandSet::~CommandSet() = default;

QAction* CommandSet::addCommand(const char* name, std::optional<Picture> picture,
                                const QString& hint, const QString& text,
                                const QList<QKeySequence>& keys, bool checkable,
                                std::function<void()> handler)
{
    auto* action = new QAction(text, m_window);
    if (picture)
        action->setIcon(pictureIcon(*picture));
    action->setObjectName(QLatin1String(name));
    action->setIconText(text);
    action->setToolTip(hint);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { run(handler); });
    if (!keys.isEmpty()) {
        m_keys->bind(action, keys);
        showKeysInMenus(action);
    }
    return action;
}

QAction* CommandSet::action(const char* name) const
{
    auto* found = m_window->findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    Q_ASSERT_X(found, "CommandSet::action", name);
    return found;
}

void CommandSet::setEnabled(const char* name, bool enabled)
{
    action(name)->setEnabled(enabled);
}

void CommandSet::setChecked(const char* name, bool checked)
{
    action(name)->setChecked(checked);
}

QToolButton* CommandSet::makeButton(QWidget* parent, const char* name, QSize iconSize, QSize size)
{
    QToolButton* button = makeCommandButton(parent, action(name), iconSize);
    if (size.isValid())
        button->setFixedSize(size);
    m_keys->watchToolTip(button);
    return button;
}

QToolButton* CommandSet::addButton(QToolBar* bar, const char* name)
{
    QToolButton* button = makeButton(bar, name, QSize(16, 16), kToolButtonSize);
    bar->addWidget(button);
    return button;
}

QMenu* CommandSet::makeMenu(QWidget* parent, const char* menuName,
                            std::initializer_list<const char*> names)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(menuName));
    for (const char* name : names) {
        if (name)
            menu->addAction(action(name));
        else
            menu->addSeparator();
    }
    return menu;
}

void CommandSet::bindWithin(QWidget* widget, const char* name, const QList<QKeySequence>& keys)
{
    m_keys->bindWithin(widget, action(name), keys);
    showKeysInMenus(action(name));
}

void CommandSet::bindDoubleClick(QAbstractItemView* view, const char* name)
{
    m_keys->bindDoubleClick(view, action(name));
}

void CommandSet::showKeysInMenus(QAction* action)
{
    // A menu shows what follows a tab as the entry's keys; the button shows the icon text.
    const QString names = m_keys->keyNames(action);
    action->setText(action->iconText() + QLatin1Char('\t') + names);
}

void CommandSet::run(const std::function<void()>& body)
{
    runGuarded(m_window, [this, &body] {
        if (m_around)
            m_around(body);
        else
            body();
    });
    update();
}

void CommandSet::update()
{
    if (m_update)
        m_update();
}
