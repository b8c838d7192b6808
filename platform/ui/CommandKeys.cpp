#include "CommandKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QHelpEvent>
#include <QShortcut>
#include <QStringList>
#include <QToolButton>
#include <QToolTip>

namespace {

// The key as the user knows it: the main Enter key is "Enter", and its twin on the keypad is not
// named separately.
QString keyName(const QKeySequence& keys)
{
    if (keys == QKeySequence(Qt::Key_Return))
        return QStringLiteral("Enter");
    return keys.toString(QKeySequence::NativeText);
}

QAbstractButton* buttonOf(const QAction* command)
{
    for (QObject* shown : command->associatedObjects()) {
        if (auto* button = qobject_cast<QToolButton*>(shown);
            button && button->defaultAction() == command)
            return button;
    }
    return nullptr;
}

} // namespace

CommandKeys::CommandKeys(QWidget* window) : QObject(window), m_window(window) {}

void CommandKeys::press(QAction* command)
{
    if (QAbstractButton* button = buttonOf(command)) {
        if (button->isEnabled())
            button->click();
    } else if (command->isEnabled()) {
        command->trigger();
    }
}

void CommandKeys::add(QWidget* scope, Qt::ShortcutContext context, QAction* command,
                      const QList<QKeySequence>& keys)
{
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, scope);
        shortcut->setContext(context);
        connect(shortcut, &QShortcut::activated, command, [command] { press(command); });
    }
    // A widget's own keys for the command (Enter in a grid) are named first.
    QList<QKeySequence>& named = m_keys[command];
    if (context == Qt::WidgetShortcut)
        named = keys + named;
    else
        named.append(keys);
}

void CommandKeys::bind(QAction* command, const QList<QKeySequence>& keys)
{
    add(m_window, Qt::WindowShortcut, command, keys);
}

void CommandKeys::bindWithin(QWidget* widget, QAction* command, const QList<QKeySequence>& keys)
{
    add(widget, Qt::WidgetShortcut, command, keys);
}

void CommandKeys::bindDoubleClick(QAbstractItemView* view, QAction* command)
{
    connect(view, &QAbstractItemView::doubleClicked, command, [command] { press(command); });
}

void CommandKeys::watchToolTip(QAbstractButton* button)
{
    button->installEventFilter(this);
}

QString CommandKeys::keyNames(const QAction* command) const
{
    QStringList names;
    for (const QKeySequence& key : m_keys.value(command)) {
        if (key == QKeySequence(Qt::Key_Enter))
            continue;
        const QString name = keyName(key);
        if (!names.contains(name))
            names.append(name);
    }
    return names.join(QStringLiteral(", "));
}

QString CommandKeys::toolTipText(const QAbstractButton* button) const
{
    const auto* toolButton = qobject_cast<const QToolButton*>(button);
    const QString names = toolButton && toolButton->defaultAction()
                              ? keyNames(toolButton->defaultAction())
                              : QString();
    if (names.isEmpty())
        return button->toolTip();
    return QStringLiteral("%1 (%2)").arg(button->toolTip(), names);
}

bool CommandKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* button = static_cast<QAbstractButton*>(watched);
        if (!button->toolTip().isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTipText(button),
                               button);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
