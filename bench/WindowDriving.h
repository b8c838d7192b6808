#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>

#include <functional>

// Driving the real windows from a benchmark, as a user would: a command, then the event loop
// until the program is idle again; a modal window answered as soon as it shows.
namespace bench {

// Seconds from the start of command until nothing is pending in the event loop.
double untilIdle(const std::function<void()>& command);

// Answers the next modal window of type T with `answer` as soon as it shows.
template <typename T> void answerNext(std::function<void(T*)> answer)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer(modal);
    });
    poll->start();
}

// Answers the next file dialog with path.
void answerFile(const QString& path);

} // namespace bench
