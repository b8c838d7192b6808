#pragma once

#include <QDialog>

// A window of the program beside the main one (graph, diagram, Gantt chart, analysis): a modal
// dialog with minimise, maximise and close boxes, centred on its screen when first shown and
// afterwards left where the user puts it. Unless it is made to close on Escape, it is closed by
// its own command or its close box only, like the program's other windows.
class ToolWindow : public QDialog
{
    Q_OBJECT

public:
    enum class Escape { Ignored, Closes };

    explicit ToolWindow(QWidget* parent, Escape escape = Escape::Ignored);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Escape m_escape;
    bool m_centred = false;
};
