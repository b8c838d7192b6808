// libFuzzer target for the reading of the levelling's section of a plan file: any keys and values
// must read without a crash, what was read must keep its own rules (a positive finite time limit,
// a schedule only with a digest), and what it writes must read back to the same settings.
#include "LevellingSection.h"

#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

bool same(const LevellingSettings& a, const LevellingSettings& b)
{
    return a.seconds == b.seconds && a.resource == b.resource && a.fingerprint == b.fingerprint &&
           a.starts == b.starts && a.length == b.length;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Lines of "key=value", as the plan file hands the section over.
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    PlanSection section;
    for (const QString& line : text.split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            section[line.left(equals)] = line.mid(equals + 1);
    }
    const LevellingSettings settings = LevellingSettings::fromSection(section);
    if (!(settings.seconds > 0) || !std::isfinite(settings.seconds))
        std::abort();
    if (!settings.hasSchedule() && !settings.starts.empty())
        std::abort();
    const LevellingSettings back = LevellingSettings::fromSection(settings.toSection());
    if (!same(back, settings) || back.toSection() != settings.toSection())
        std::abort();
    return 0;
}
