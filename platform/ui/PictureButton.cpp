#include "PictureButton.h"

#include "Pictures.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace {

QToolButton* makeFlatButton(QWidget* parent, const QString& name, const QString& hint,
                            QSize iconSize)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIconSize(iconSize);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    // Tab reaches it and Space presses it; a click leaves the keyboard focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

QToolButton* makePictureButton(QWidget* parent, const char* name, Picture picture,
                               const QString& hint, QSize iconSize)
{
    QToolButton* button = makeFlatButton(parent, QLatin1String(name), hint, iconSize);
    button->setIcon(pictureIcon(picture));
    return button;
}

QToolButton* makeCommandButton(QWidget* parent, QAction* command, QSize iconSize)
{
    QToolButton* button =
        makeFlatButton(parent, command->objectName(), command->toolTip(), iconSize);
    button->setDefaultAction(command);
    return button;
}

QToolBar* makeFlatToolBar(QWidget* parent, const char* name)
{
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}
