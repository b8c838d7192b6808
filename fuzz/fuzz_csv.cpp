// libFuzzer target for the CSV reader of works: any bytes must either be refused with the
// program's own error or read into works that keep the rule of the work list file's lines; the
// works written as a CSV file (as "save as CSV" writes them) must read back the same.
#include "KestrinError.h"
#include "NumberFormat.h"
#include "WorkCsv.h"
#include "WorkTextOracle.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte chooses the decimal separator, as a Russian or an English desktop has it.
    const NumberFormat numbers(size > 0 && data[0] % 2 ? QStringLiteral(",") : QStringLiteral("."));
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    WorkInputs works;
    try {
        works = workcsv::decode(bytes, numbers, QStringLiteral("fuzz.csv"));
    } catch (const KestrinError&) {
        return 0;
    }
    if (works.rowCount() == 0)
        std::abort();
    WorkTable table;
    fuzzoracle::fillTable(table, works);
    fuzzoracle::checkTexts(table);
    try {
        if (!(workcsv::decode(workcsv::encode(table), numbers, QStringLiteral("back.csv")) ==
              works))
            std::abort();
    } catch (const KestrinError&) {
        std::abort();
    }
    return 0;
}
