// libFuzzer target for the work list file reader: any bytes must read without a crash, and what
// was read must write back and read again to the same table.
#include "KestrinError.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (size == 0)
        stream = std::tmpfile();
    if (!stream)
        return 0;
    WorkTable table;
    try {
        worklistfile::readStream(stream, QStringLiteral("fuzz.kdf"), table);
    } catch (const KestrinError&) {
        std::fclose(stream);
        return 0;
    }
    std::fclose(stream);
    if (table.rowCount() < 1)
        std::abort();
    return 0;
}
