// libFuzzer target for the work list file reader: any bytes must read without a crash, and what
// was read must encode (as a save writes it) and read back to the same table and the same bytes.
#include "KestrinError.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr WorkColumn kInputColumns[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                        WorkColumn::Duration};

// Reads bytes as the program reads a file; false when the reader raised its error.
bool readBytes(const void* data, size_t size, WorkTable& table)
{
    std::FILE* stream = size == 0 ? std::tmpfile() : fmemopen(const_cast<void*>(data), size, "rb");
    if (!stream)
        std::abort();
    bool read = true;
    try {
        worklistfile::readStream(stream, QStringLiteral("fuzz.kdf"), table);
    } catch (const KestrinError&) {
        read = false;
    }
    std::fclose(stream);
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WorkTable table;
    if (!readBytes(data, size, table))
        return 0;
    if (table.rowCount() < 1)
        std::abort();

    // Every text the reader makes can be written again (encode raises otherwise).
    const QByteArray saved = worklistfile::encode(table);
    WorkTable back;
    if (!readBytes(saved.constData(), size_t(saved.size()), back) ||
        back.rowCount() != table.rowCount())
        std::abort();
    for (int row = 0; row < table.rowCount(); ++row) {
        for (WorkColumn column : kInputColumns) {
            if (back.cellView(column, row) != table.cellView(column, row))
                std::abort();
        }
    }
    if (worklistfile::encode(back) != saved)
        std::abort();
    return 0;
}
