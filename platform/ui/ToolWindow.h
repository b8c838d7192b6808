#pragma once

#include <QDialog>

#include <initializer_list>

class CommandSet;
class QToolBar;
class QVBoxLayout;

// A window of the program beside the main one (graph, diagram, Gantt chart, analysis): a modal
// dialog with minimise, maximise and close boxes, centred on its screen when first shown and
// afterwards left where the user puts it. Its commands are a CommandSet: a window adds its table
// in its constructor, shows the commands on its tool bar (makeToolBar) and derives their enabled
// states in updateCommands, which runs after every command. Escape runs the window's close
// command (commandkeys::close); without one, Escape does nothing.
class ToolWindow : public QDialog
{
    Q_OBJECT

public:
    // The window's object name and title; its icon and font are the program's.
    ToolWindow(QWidget* parent, const char* objectName, const QString& title);
    ~ToolWindow() override;

protected:
    // The window's top-to-bottom layout: no margins, the given gap between its parts.
    QVBoxLayout* makeColumn(int spacing);

    CommandSet& commands() { return *m_commands; }
    // A flat tool bar with a button for each named command; null names are separators.
    QToolBar* makeToolBar(QWidget* parent, const char* name,
                          std::initializer_list<const char*> commands);
    // Every command's enabled state from the window's state; runs after every command.
    virtual void updateCommands() {}

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    CommandSet* m_commands;
    bool m_centred = false;
};
