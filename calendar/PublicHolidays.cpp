#include "PublicHolidays.h"

QList<QDate> russianPublicHolidays(int year)
{
    struct MonthDay
    {
        int month;
        int day;
    };
    static constexpr MonthDay kHolidays[] = {
        {1, 1}, {1, 2},  {1, 3}, {1, 4}, {1, 5}, {1, 6},  {1, 7},
        {1, 8}, {2, 23}, {3, 8}, {5, 1}, {5, 9}, {6, 12}, {11, 4},
    };
    QList<QDate> dates;
    dates.reserve(std::size(kHolidays));
    for (const MonthDay& holiday : kHolidays)
        dates.append(QDate(year, holiday.month, holiday.day));
    return dates;
}
