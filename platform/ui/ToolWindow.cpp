#include "ToolWindow.h"

#include "WindowPlacement.h"

#include <QKeyEvent>

ToolWindow::ToolWindow(QWidget* parent, Escape escape)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_escape(escape)
{
}

void ToolWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_escape == Escape::Ignored) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ToolWindow::showEvent(QShowEvent* event)
{
    if (!m_centred) {
        m_centred = true;
        centreOnScreen(this);
    }
    QDialog::showEvent(event);
}
