#include "PictureButton.h"

#include "Pictures.h"

#include <QToolBar>
#include <QToolButton>

QToolButton* makePictureButton(QWidget* parent, const char* name, Picture picture,
                               const QString& hint, QSize iconSize)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(pictureIcon(picture));
    button->setIconSize(iconSize);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    // Tab reaches it and Space presses it; a click leaves the keyboard focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
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
