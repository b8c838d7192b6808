// libFuzzer target for the reader of a plan's calendar section: the bytes are its settings, one
// "key=value" a line, as the plan file hands them over. Any section must read without a crash or
// be refused with the program's error, and a calendar that was read must write and read back to
// the same calendar and the same section.
#include "CalendarSection.h"
#include "KestrinError.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

std::optional<WorkCalendar> decodeSection(const calendarsection::Section& section)
{
    try {
        return calendarsection::decode(section);
    } catch (const KestrinError&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    calendarsection::Section section;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0)
            section[line.left(equals)] = line.mid(equals + 1);
    }
    const std::optional<WorkCalendar> calendar = decodeSection(section);
    if (!calendar)
        return 0;
    const calendarsection::Section saved = calendarsection::encode(*calendar);
    const std::optional<WorkCalendar> back = decodeSection(saved);
    if (!back || !(*back == *calendar) || calendarsection::encode(*back) != saved)
        std::abort();
    return 0;
}
