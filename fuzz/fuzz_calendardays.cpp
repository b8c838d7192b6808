// libFuzzer target for the reader of a calendar's days off and working days: any bytes must read
// without a crash or be refused with the program's error, and what was read must write (as a save
// writes it) and read back to the same days and the same bytes.
#include "CalendarDaysFile.h"
#include "KestrinError.h"

#include <cstdint>
#include <cstdlib>

namespace {

// The days of the bytes; false when the reader raised its error.
bool decodeBytes(QByteArrayView bytes, CalendarExceptions& days)
{
    try {
        days = calendardays::decode(bytes, QStringLiteral("fuzz.txt"));
    } catch (const KestrinError&) {
        return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CalendarExceptions days;
    if (!decodeBytes(QByteArrayView(data, qsizetype(size)), days))
        return 0;
    for (const auto& [date, working] : days) {
        if (!date.isValid() || date.year() < 1 || date.year() > 9999)
            std::abort();
    }
    const QByteArray saved = calendardays::encode(days);
    CalendarExceptions back;
    if (!decodeBytes(saved, back) || back != days || calendardays::encode(back) != saved)
        std::abort();
    return 0;
}
