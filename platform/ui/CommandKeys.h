#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>

class QAbstractButton;
class QAbstractItemView;
class QAction;
class QWidget;

// The keyboard's way into the commands of a window. A key runs a command exactly as a click on
// its button does (so through the same guard), and only while the button is enabled: a key never
// reaches a command the window does not offer at that moment. A command without a button runs
// while its action is enabled. When a button's tool tip shows, it names the command's keys
// ("Отменить (Ctrl+Z)"), while the button's toolTip() stays the hint alone.
//
// The keys are QShortcuts of their own rather than the actions' shortcuts: a key then takes the
// road of a click on the button, whose enabled state is the one the user sees.
class CommandKeys : public QObject
{
    Q_OBJECT

public:
    explicit CommandKeys(QWidget* window);

    // Keys that run the command anywhere in the window. A text field that has the focus keeps the
    // keys it edits with (Delete, Ctrl+C, Ctrl+V, Ctrl+Z, ...).
    void bind(QAction* command, const QList<QKeySequence>& keys);
    // Keys that run it while the widget has the keyboard focus.
    void bindWithin(QWidget* widget, QAction* command, const QList<QKeySequence>& keys);
    // A double click on an item of the view runs it.
    void bindDoubleClick(QAbstractItemView* view, QAction* command);
    // The button shows its tool tip with the keys of the command it shows.
    void watchToolTip(QAbstractButton* button);

    // The command's keys as the user knows them ("Enter, F2"); empty when it has none.
    QString keyNames(const QAction* command) const;
    // What the button's tool tip shows: its hint and, in brackets, its keys.
    QString toolTipText(const QAbstractButton* button) const;

    // Clicks the command's button if that is enabled; triggers a command without a button if it is
    // enabled.
    static void press(QAction* command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void add(QWidget* scope, Qt::ShortcutContext context, QAction* command,
             const QList<QKeySequence>& keys);

    QWidget* m_window;
    QHash<const QAction*, QList<QKeySequence>> m_keys;
};
