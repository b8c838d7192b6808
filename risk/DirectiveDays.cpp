#include "DirectiveDays.h"

#include "ScheduleDates.h"

namespace risk {

long double directiveDays(const ScheduleDates& dates, QDate directive)
{
    const QDate first = dates.dateOf(0);
    if (directive < first)
        return -1;
    // The day of a length never runs ahead of the calendar, so the answer lies within the
    // calendar days to the directive; the day of a length grows with it, so halving finds it.
    qint64 low = 0;
    qint64 high = first.daysTo(directive);
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        if (dates.dateOf(middle) < directive)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

} // namespace risk
