#include "ToolWindow.h"

#include "ClassicFonts.h"
#include "Commands.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "WindowPlacement.h"

#include <QKeyEvent>
#include <QToolBar>
#include <QVBoxLayout>

ToolWindow::ToolWindow(QWidget* parent, const char* objectName, const QString& title)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_commands(new CommandSet(this, [this] { updateCommands(); }))
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(title);
    // The program's icon; the bare name would be the inherited getter of this window's own.
    setWindowIcon(::windowIcon());
    setFont(classicWindowFont());
    setModal(true);
    setSizeGripEnabled(false);
}

ToolWindow::~ToolWindow() = default;

QVBoxLayout* ToolWindow::makeColumn(int spacing)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QToolBar* ToolWindow::makeToolBar(QWidget* parent, const char* name,
                                  std::initializer_list<const char*> commands)
{
    QToolBar* bar = makeFlatToolBar(parent, name);
    for (const char* command : commands) {
        if (command)
            m_commands->addButton(bar, command);
        else
            bar->addSeparator();
    }
    return bar;
}

void ToolWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape is the close command's key; the dialog's own reject on Escape would bypass it.
    if (event->key() == Qt::Key_Escape) {
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
