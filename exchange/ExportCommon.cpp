#include "ExportCommon.h"

#include "AtomicFile.h"
#include "NumberFormat.h"

#include <QSet>

namespace exchangeexport {

QString taskName(const ExchangeWork& work)
{
    if (!work.name.isEmpty())
        return work.name;
    return work.startEvent + QStringLiteral(" → ") + work.endEvent;
}

std::vector<double> durations(const ExchangePlan& plan)
{
    const NumberFormat& numbers = NumberFormat::system();
    std::vector<double> days;
    days.reserve(plan.works.size());
    for (const ExchangeWork& work : plan.works)
        days.push_back(double(numbers.parse(work.duration)));
    return days;
}

std::vector<QString> events(const ExchangePlan& plan)
{
    std::vector<QString> order;
    QSet<QString> seen;
    for (const ExchangeWork& work : plan.works) {
        for (const QString& event : {work.startEvent, work.endEvent}) {
            if (!seen.contains(event)) {
                seen.insert(event);
                order.push_back(event);
            }
        }
    }
    return order;
}

void writeFile(const QString& path, QByteArrayView bytes)
{
    AtomicFile file(path);
    file.open();
    file.write(bytes);
    file.commit();
}

} // namespace exchangeexport
