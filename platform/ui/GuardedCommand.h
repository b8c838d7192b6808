#pragma once

#include "ErrorBox.h"
#include "PictureButton.h"

#include <QToolBar>
#include <QToolButton>

// What a window's signal runs for one of its handlers: the handler under the command guard, which
// shows any error it raises in the error box over the window.
template <class Window> auto guarded(Window* window, void (Window::*handler)())
{
    return [window, handler] {
        runGuarded(window, [window, handler] { (window->*handler)(); });
    };
}

// A picture button of the tool-button size at the end of a tool bar; its click runs the handler,
// if one is given, under the command guard.
template <class Window>
QToolButton* addToolBarCommand(Window* window, QToolBar* bar, const char* name, Picture picture,
                               const QString& hint, void (Window::*handler)() = nullptr)
{
    QToolButton* button = makePictureButton(bar, name, picture, hint);
    button->setFixedSize(kToolButtonSize);
    if (handler)
        QObject::connect(button, &QToolButton::clicked, window, guarded(window, handler));
    bar->addWidget(button);
    return button;
}
