#pragma once

#include <QDialog>

class QVBoxLayout;

// A window of the program beside the main one (graph, diagram, Gantt chart, analysis): a modal
// dialog with minimise, maximise and close boxes, centred on its screen when first shown and
// afterwards left where the user puts it. Unless it is made to close on Escape, it is closed by
// its own command or its close box only, like the program's other windows.
class ToolWindow : public QDialog
{
    Q_OBJECT

public:
    enum class Escape { Ignored, Closes };

    // The window's object name and title; its icon and font are the program's.
    ToolWindow(QWidget* parent, const char* objectName, const QString& title,
               Escape escape = Escape::Ignored);

protected:
    // The window's top-to-bottom layout: no margins, the given gap between its parts.
    QVBoxLayout* makeColumn(int spacing);

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Escape m_escape;
    bool m_centred = false;
};
