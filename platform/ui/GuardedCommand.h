#pragma once

#include "ErrorBox.h"

// What a window's signal runs for one of its handlers: the handler under the command guard, which
// shows any error it raises in the error box over the window.
template <class Window> auto guarded(Window* window, void (Window::*handler)())
{
    return [window, handler] {
        runGuarded(window, [window, handler] { (window->*handler)(); });
    };
}
