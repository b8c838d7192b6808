#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>

class QAbstractButton;
class QAbstractItemView;
class QWidget;

// The keyboard's way into the commands of a window. A key runs a command exactly as a click on
// its button does (so through the same guard), and only while the button is enabled: a key never
// reaches a command the window does not offer at that moment. When a button's tool tip shows, it
// names the button's keys ("Отменить (Ctrl+Z)"), while the button's toolTip() stays the hint
// alone.
class CommandKeys : public QObject
{
    Q_OBJECT

public:
    explicit CommandKeys(QWidget* window);

    // Keys that run the button's command anywhere in the window. A text field that has the focus
    // keeps the keys it edits with (Delete, Ctrl+C, Ctrl+V, Ctrl+Z, ...).
    void bind(QAbstractButton* button, const QList<QKeySequence>& keys);
    // Keys that run it while the widget has the keyboard focus.
    void bindWithin(QWidget* widget, QAbstractButton* button, const QList<QKeySequence>& keys);
    // A double click on an item of the view runs it.
    void bindDoubleClick(QAbstractItemView* view, QAbstractButton* button);

    // What the button's tool tip shows: its hint and, in brackets, its keys.
    QString toolTipText(const QAbstractButton* button) const;

    // Clicks the button if it is enabled.
    static void press(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void add(QWidget* scope, Qt::ShortcutContext context, QAbstractButton* button,
             const QList<QKeySequence>& keys);

    QWidget* m_window;
    QHash<const QAbstractButton*, QList<QKeySequence>> m_keys;
};
