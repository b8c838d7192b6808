// libFuzzer target for pasted text: any text (the bytes taken as UTF-16, lone surrogates and all)
// must either be refused with the program's own error or give works that keep the rule of the
// work list file's lines; the works copied to the clipboard (as "copy all" puts them there) must
// paste back the same.
#include "KestrinError.h"
#include "NumberFormat.h"
#include "WorkCsv.h"
#include "WorkTextOracle.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const NumberFormat numbers(size > 0 && data[0] % 2 ? QStringLiteral(",") : QStringLiteral("."));
    const QString text(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    WorkInputs works;
    try {
        works = workcsv::pastedWorks(text, numbers);
    } catch (const KestrinError&) {
        return 0;
    }
    if (works.rowCount() == 0)
        return 0;
    WorkTable table;
    fuzzoracle::fillTable(table, works);
    fuzzoracle::checkTexts(table);
    try {
        if (!(workcsv::pastedWorks(workcsv::clipboardText(table, 0, table.rowCount()), numbers) ==
              works))
            std::abort();
    } catch (const KestrinError&) {
        std::abort();
    }
    return 0;
}
