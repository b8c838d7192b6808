#include "Progress.h"

namespace progress {

namespace {
thread_local Scope* t_current = nullptr;
thread_local const Scope* t_reporting = nullptr;
constexpr qint64 kStepMask = (1 << 16) - 1;
constexpr qint64 kClockMask = (1 << 8) - 1;
constexpr std::chrono::milliseconds kLongestSilence(100);
} // namespace

Scope::Scope(Listener listener)
    : m_listener(std::move(listener)), m_outer(t_current),
      m_lastReport(std::chrono::steady_clock::now())
{
    t_current = this;
}

Scope::~Scope()
{
    t_current = m_outer;
}

void step(const char16_t* stage, qint64 done, qint64 total)
{
    if (!t_current || (done & kClockMask) != 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if ((done & kStepMask) != 0 && now - t_current->m_lastReport < kLongestSilence)
        return;
    // A listener that reports again (it may run events) is not called back.
    if (t_reporting == t_current)
        return;
    t_reporting = t_current;
    t_current->m_lastReport = now;
    struct Done
    {
        ~Done() { t_reporting = nullptr; }
    } done_;
    t_current->m_listener(QString::fromUtf16(stage), done, total);
}

} // namespace progress
