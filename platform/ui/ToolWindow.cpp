#include "ToolWindow.h"

#include "ClassicFonts.h"
#include "Pictures.h"
#include "WindowPlacement.h"

#include <QKeyEvent>
#include <QVBoxLayout>

ToolWindow::ToolWindow(QWidget* parent, const char* objectName, const QString& title, Escape escape)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_escape(escape)
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(title);
    // The program's icon; the bare name would be the inherited getter of this window's own.
    setWindowIcon(::windowIcon());
    setFont(classicWindowFont());
    setModal(true);
    setSizeGripEnabled(false);
}

QVBoxLayout* ToolWindow::makeColumn(int spacing)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
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
