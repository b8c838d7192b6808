#pragma once

#include <QDate>
#include <QList>

// The fixed public holidays of the Russian Federation in a year, in date order: 1 to 8 January,
// 23 February, 8 March, 1 and 9 May, 12 June and 4 November. The days off moved each year by
// decree are not fixed and come from the year's production calendar instead.
QList<QDate> russianPublicHolidays(int year);
