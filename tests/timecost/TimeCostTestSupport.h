#pragma once

#include "Decimal.h"
#include "ExactCost.h"
#include "NumberFormat.h"
#include "TimeCostNetwork.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

// Networks written as texts for the time–cost tests: one work a text "from to d C [d0 C0]", the
// numbers with a point, the events named as written; the first event named starts the network
// and the last one ends it unless told.
namespace timecosttest {

inline const NumberFormat& pointNumbers()
{
    static const NumberFormat numbers{QStringLiteral(".")};
    return numbers;
}

inline QStringList texts(std::initializer_list<const char*> list)
{
    QStringList result;
    for (const char* text : list)
        result.append(QString::fromUtf8(text));
    return result;
}

inline TimeCostNetwork network(const QStringList& works, const QString& start = {},
                               const QString& end = {})
{
    TimeCostNetwork result;
    const auto event = [&result](const QString& name) {
        const qsizetype at = result.eventNames.indexOf(name);
        if (at >= 0)
            return int(at);
        result.eventNames.append(name);
        return int(result.eventNames.size() - 1);
    };
    for (const QString& line : works) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        CostedWork work;
        work.startEvent = event(fields[0]);
        work.endEvent = event(fields[1]);
        work.duration = Decimal::parse(fields[2], pointNumbers());
        work.cost = Decimal::parse(fields[3], pointNumbers());
        if (fields.size() > 4) {
            work.shortestDuration = Decimal::parse(fields[4], pointNumbers());
            work.shortestCost = Decimal::parse(fields[5], pointNumbers());
        }
        result.works.push_back(work);
    }
    result.startEvent = start.isEmpty() ? 0 : event(start);
    result.endEvent = end.isEmpty() ? int(result.eventNames.size()) - 1 : event(end);
    return result;
}

// "a" or "a/b" with decimal a and b, exactly.
inline ExactCost exact(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    ExactCost value = exactcost::fromDecimal(Decimal::parse(parts[0], pointNumbers()));
    if (parts.size() > 1)
        value /= exactcost::fromDecimal(Decimal::parse(parts[1], pointNumbers()));
    return value;
}

} // namespace timecosttest
