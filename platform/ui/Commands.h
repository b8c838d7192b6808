#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QSize>

#include <functional>
#include <initializer_list>
#include <optional>

enum class Picture;
class CommandKeys;
class QAbstractItemView;
class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

// The keys every window gives the same command.
namespace commandkeys {
inline QList<QKeySequence> print()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_P)};
}
inline QList<QKeySequence> save()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_S)};
}
inline QList<QKeySequence> close()
{
    return {QKeySequence(Qt::Key_Escape)};
}
// Ctrl++ is Ctrl+= without Shift on most keyboards.
inline QList<QKeySequence> zoomIn()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)};
}
inline QList<QKeySequence> zoomOut()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_Minus)};
}
inline QList<QKeySequence> zoom100()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_0)};
}
} // namespace commandkeys

// One command of a window, one row of the window's table of commands.
template <class Window> struct Command
{
    const char* name;               // the objectName of the action and of the button that shows it
    std::optional<Picture> picture; // on the button and beside a menu entry; none for a key only
    const char16_t* hint;           // the button's tool tip and the name screen readers announce
    void (Window::*handler)();
    QList<QKeySequence> keys = {};  // keys that run it anywhere in the window
    const char16_t* text = nullptr; // the words of a menu entry; the hint when none
    bool checkable = false;         // a toggle, its checked state set by updateCommands
};

// The commands of one window as QActions, made from the window's table: a tool button, a menu
// entry and a key all show the same action, and each runs its handler under the command guard
// (runGuarded), after which the window's updateCommands derives every enabled and checked state
// from the window's state. Adding a command is one row of the table and one handler.
class CommandSet : public QObject
{
    Q_OBJECT

public:
    // How a window runs a command's handler inside the guard; the main window wraps it in the
    // command's progress.
    using Around = std::function<void(const std::function<void()>& handler)>;

    CommandSet(QWidget* window, std::function<void()> updateCommands, Around around = {});
    ~CommandSet() override;

    template <class Window> void add(Window* window, std::initializer_list<Command<Window>> rows)
    {
        for (const Command<Window>& row : rows) {
            const auto handler = row.handler;
            addCommand(row.name, row.picture, QString::fromUtf16(row.hint),
                       row.text ? QString::fromUtf16(row.text) : QString::fromUtf16(row.hint),
                       row.keys, row.checkable, [window, handler] { (window->*handler)(); });
        }
    }
    // A command whose handler is not a member of the window (one of several file formats); a
    // menu entry or a key only needs no picture.
    QAction* addCommand(const char* name, std::optional<Picture> picture, const QString& hint,
                        const QString& text, const QList<QKeySequence>& keys, bool checkable,
                        std::function<void()> handler);

    QAction* action(const char* name) const;
    void setEnabled(const char* name, bool enabled);
    void setChecked(const char* name, bool checked);

    // A flat picture button that shows the command: its objectName, picture, hint and enabled
    // state are the command's; a click runs it. At the end of the bar, of the tool-button size.
    QToolButton* addButton(QToolBar* bar, const char* name);
    // The same for a button laid out by the window itself; of its natural size without `size`.
    QToolButton* makeButton(QWidget* parent, const char* name, QSize iconSize,
                            QSize size = QSize());
    // A menu of commands in the given order; null names are separators.
    QMenu* makeMenu(QWidget* parent, const char* menuName,
                    std::initializer_list<const char*> names);

    // Keys that run the command while the widget has the focus; a double click on an item.
    void bindWithin(QWidget* widget, const char* name, const QList<QKeySequence>& keys);
    void bindDoubleClick(QAbstractItemView* view, const char* name);

    // Runs a piece of the window's work as a command: guarded, then updateCommands.
    void run(const std::function<void()>& body);
    void update();

    const CommandKeys& keys() const { return *m_keys; }

private:
    void showKeysInMenus(QAction* action);

    QWidget* m_window;
    std::function<void()> m_update;
    Around m_around;
    CommandKeys* m_keys;
};
