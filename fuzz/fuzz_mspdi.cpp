// libFuzzer target for the MS Project XML reader: any bytes must read without a crash or be
// refused with the program's error, and what was read must be a plan the program can hold: works
// between numbered events with durations that read back as numbers, demands naming works and
// resources that exist.
#include "KestrinError.h"
#include "MspdiReader.h"
#include "NumberFormat.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImportedPlan imported;
    try {
        imported = mspdi::decode(QByteArrayView(data, qsizetype(size)), QStringLiteral("f.xml"));
    } catch (const KestrinError&) {
        return 0;
    }
    const ExchangePlan& plan = imported.plan;
    for (const ExchangeWork& work : plan.works) {
        bool startOk = false;
        bool endOk = false;
        if (work.startEvent.toInt(&startOk) < 1 || work.endEvent.toInt(&endOk) < 1 || !startOk ||
            !endOk || !NumberFormat::system().tryParse(work.duration))
            std::abort();
    }
    for (const ExchangeDemand& demand : plan.demands) {
        if (demand.work < 0 || std::size_t(demand.work) >= plan.works.size() ||
            demand.resource < 0 || std::size_t(demand.resource) >= plan.resources.size())
            std::abort();
    }
    return 0;
}
