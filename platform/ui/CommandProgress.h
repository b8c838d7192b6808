#pragma once

#include "Progress.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>
#include <optional>

class QWidget;
class ProgressWindow;

// The progress of one command of a window. A command that runs longer than half a second shows
// a small modal window "fmProgress" with the stage and how far it is, and from then on the
// program's windows are repainted at every report: the window does not freeze. The modal window
// keeps the user's clicks from starting other commands meanwhile; it cannot be closed, and it
// goes when the command ends, however it ends.
class CommandProgress
{
public:
    explicit CommandProgress(QWidget* parent, int quietMilliseconds = kQuietMilliseconds);
    ~CommandProgress();
    CommandProgress(const CommandProgress&) = delete;
    CommandProgress& operator=(const CommandProgress&) = delete;

    // Ends the progress before the command ends: the window goes, and reports from then on go
    // to whoever listened before. For a command that hands over to a window of its own, whose
    // commands are not this one: reported here, their progress would show this command's modal
    // window over that window, which no one could then close.
    void finish();

    // How long a command runs before its progress shows, in milliseconds.
    static constexpr int kQuietMilliseconds = 500;

private:
    void report(const QString& stage, qint64 done, qint64 total);

    QPointer<QWidget> m_parent;
    int m_quietMilliseconds;
    QElapsedTimer m_clock;
    std::unique_ptr<ProgressWindow> m_window;
    std::optional<progress::Scope> m_scope;
};
