#include "CommandKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QShortcut>
#include <QStringList>
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

} // namespace

CommandKeys::CommandKeys(QWidget* window) : QObject(window), m_window(window) {}

void CommandKeys::press(QAbstractButton* button)
{
    if (button->isEnabled())
        button->click();
}

void CommandKeys::add(QWidget* scope, Qt::ShortcutContext context, QAbstractButton* button,
                      const QList<QKeySequence>& keys)
{
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, scope);
        shortcut->setContext(context);
        connect(shortcut, &QShortcut::activated, button, [button] { press(button); });
    }
    if (!m_keys.contains(button))
        button->installEventFilter(this);
    m_keys[button].append(keys);
}

void CommandKeys::bind(QAbstractButton* button, const QList<QKeySequence>& keys)
{
    add(m_window, Qt::WindowShortcut, button, keys);
}

void CommandKeys::bindWithin(QWidget* widget, QAbstractButton* button,
                             const QList<QKeySequence>& keys)
{
    add(widget, Qt::WidgetShortcut, button, keys);
}

void CommandKeys::bindDoubleClick(QAbstractItemView* view, QAbstractButton* button)
{
    connect(view, &QAbstractItemView::doubleClicked, button, [button] { press(button); });
}

QString CommandKeys::toolTipText(const QAbstractButton* button) const
{
    QStringList names;
    for (const QKeySequence& key : m_keys.value(button)) {
        if (key == QKeySequence(Qt::Key_Enter))
            continue;
        const QString name = keyName(key);
        if (!names.contains(name))
            names.append(name);
    }
    if (names.isEmpty())
        return button->toolTip();
    return QStringLiteral("%1 (%2)").arg(button->toolTip(), names.join(QStringLiteral(", ")));
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
