#pragma once

#include <QString>

#include <chrono>
#include <functional>

// How far a long command has come. Loops over the rows of a large table report their progress
// here; a window that shows it (and keeps itself painted meanwhile) listens for the length of a
// command on its own thread. Without a listener a report costs a test of a pointer, so the
// libraries report whoever calls them: the program, a test, the benchmark.
namespace progress {

// stage: what is being done, in the user's words; done of total steps.
using Listener = std::function<void(const QString& stage, qint64 done, qint64 total)>;

// Listens to this thread's reports while it lives; scopes nest, the innermost listens.
class Scope
{
public:
    explicit Scope(Listener listener);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    friend void step(const char16_t* stage, qint64 done, qint64 total);
    Listener m_listener;
    Scope* m_outer;
    std::chrono::steady_clock::time_point m_lastReport;
};

// Reports every 65,536th step of a loop (and its first), and any step that comes a tenth of a
// second or more after the last report (looked at every 256th step), so that loops can call it for
// every step without a cost worth measuring and loops of slow steps still keep the window painted.
void step(const char16_t* stage, qint64 done, qint64 total);

} // namespace progress
