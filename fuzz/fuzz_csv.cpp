// libFuzzer target for the CSV reader of works: any bytes must either be refused with the
// program's own error or read into works that keep the rule of the work list file's lines; the
// works written as a CSV file (as "save as CSV" writes them) must read back the same, details
// and all. The plan has two resources, so that a heading can name their columns.
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "WorkCsv.h"
#include "WorkTextOracle.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte chooses the decimal separator, as a Russian or an English desktop has it.
    const NumberFormat numbers(size > 0 && data[0] % 2 ? QStringLiteral(",") : QStringLiteral("."));
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    static const Plan plan = [] {
        Plan resources;
        Resource crane = *resources.resource(resources.addResource());
        crane.name = QStringLiteral("Кран");
        resources.updateResource(crane);
        resources.addResource(); // "Ресурс 2"
        return resources;
    }();
    WorkInputs works;
    try {
        works = workcsv::decode(bytes, numbers, QStringLiteral("fuzz.csv"), plan);
    } catch (const KestrinError&) {
        return 0;
    }
    if (works.rowCount() == 0)
        std::abort();
    WorkTable table;
    fuzzoracle::fillTable(table, works);
    fuzzoracle::checkTexts(table);
    try {
        if (!(workcsv::decode(workcsv::encode(table, plan, numbers), numbers,
                              QStringLiteral("back.csv"), plan) == works))
            std::abort();
    } catch (const KestrinError&) {
        std::abort();
    }
    return 0;
}
