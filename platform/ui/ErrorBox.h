#pragma once

#include "ExceptionMessage.h"
#include "KestrinError.h"

#include <QString>

#include <utility>

class QWidget;

// The application's own title: the caption of every error box and of the task bar entry.
QString applicationTitle();

// The most characters of a message an error box shows. Messages quote the user's texts (names of
// events, lines of files, a loop's events one by one); a box as tall as the screen, or one that
// takes seconds to lay out, helps nobody, so a longer message shows its beginning and "…".
inline constexpr qsizetype kLongestErrorBoxText = 600;

// The message as the error box shows it: a full stop is added when the last character sorts
// after "." (a letter or a digit, say), so "File not found" reads "File not found." while a
// message ending in a quote or a bracket stays as it is; a message longer than
// kLongestErrorBoxText is cut there (never inside a character) and ends in "…".
QString errorBoxText(const QString& message);

// The standard error box: modal, critical icon, the application title, one OK button.
void showErrorBox(QWidget* parent, const QString& message);
// The same with the information icon, for what a command could only partly do.
void showNoticeBox(QWidget* parent, const QString& message);

// Runs one command of a window. An error raised anywhere inside ends the command where it stands
// (what was written before stays) and is shown in the error box; the event loop then goes on.
// Every exception is caught, not only the program's own error: one escaping into the event loop
// would end the program and lose the unsaved works (see messageOfCurrentException). This is the
// one place where errors are shown; code elsewhere catches only to tidy up, to add what it knows
// to the message, or to turn another library's failure into the program's error, and lets it go
// on to here.
template <typename Command> void runGuarded(QWidget* parent, Command&& command)
{
    QString message;
    try {
        std::forward<Command>(command)();
        return;
    } catch (...) {
        message = messageOfCurrentException();
    }
    // Shown once the exception is gone: the box runs an event loop of its own.
    showErrorBox(parent, message);
}
