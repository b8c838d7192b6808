#include "Bench.h"

#include "DateFormat.h"
#include "NumberFormat.h"
#include "Query.h"
#include "ScheduleTable.h"
#include "Table.h"
#include "WorkTable.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

// The dBASE export of 100,000 calculated works against writing the same number of bytes with a
// plain loop of record-sized writes. The export reads and converts every cell, writes through the
// database engine and syncs the file before it replaces the target, so the plain loop is timed
// both with and without that final sync.
void benchExport()
{
    constexpr int kWorks = 100'000;
    // A Russian desktop's formats, whatever the machine's locale.
    const NumberFormat numbers(QStringLiteral(","));
    const DateFormat dates(QStringLiteral("dd.MM.yyyy"));

    WorkTable table;
    {
        const WorkTable::Batch batch(table);
        table.setRowCount(kWorks);
        for (int row = 0; row < kWorks; ++row) {
            const long double start = row * 2.5L + 0.25L;
            const auto number = [&](long double value) {
                return numbers.format(value);
            };
            table.setCell(WorkColumn::PrecedingWorks, row, number(row % 4));
            table.setCell(WorkColumn::StartEvent, row, QStringLiteral("Событие %1").arg(row));
            table.setCell(WorkColumn::EndEvent, row, QStringLiteral("Событие %1").arg(row + 1));
            table.setCell(WorkColumn::Duration, row, number(2.5L));
            table.setCell(WorkColumn::EarlyStart, row, number(start));
            table.setCell(WorkColumn::EarlyFinish, row, number(start + 2.5L));
            table.setCell(WorkColumn::LateStart, row, number(start + 0.75L));
            table.setCell(WorkColumn::LateFinish, row, number(start + 3.25L));
            table.setCell(WorkColumn::TotalFloat, row, number(0.75L));
            table.setCell(WorkColumn::FreeFloat, row, number(row % 3 == 0 ? 0.75L : 0));
            table.setCell(WorkColumn::BeginDate, row, dates.formatDate(45000 + row / 50));
        }
    }

    const QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("bench.dbf"));
    db::Query qCreate;
    db::Table dtData;
    const QStringList lines = scheduletable::creationTemplate();
    const double exportSeconds = bench::seconds(
        [&] { scheduletable::exportTo(target, table, lines, qCreate, dtData, numbers, dates); }, 3);
    const qint64 bytes = QFileInfo(target).size();

    // The record length of the schedule table: the deletion flag and the eleven fields.
    constexpr int kRecord = 1 + 9 * 21 + 2 * 20 + 8;
    const QByteArray record(kRecord, '1');
    const QByteArray plainPath = QFile::encodeName(folder.filePath(QStringLiteral("plain.bin")));
    const auto plainWrite = [&](bool sync) {
        std::FILE* file = std::fopen(plainPath.constData(), "wb");
        if (!file)
            qFatal("cannot write the plain file");
        for (qint64 written = 0; written < bytes; written += kRecord)
            std::fwrite(record.constData(), 1, std::size_t(qMin<qint64>(kRecord, bytes - written)),
                        file);
        std::fflush(file);
        if (sync)
            ::fsync(fileno(file));
        std::fclose(file);
    };
    const double plainSeconds = bench::seconds([&] { plainWrite(false); }, 3);
    const double plainSyncedSeconds = bench::seconds([&] { plainWrite(true); }, 3);

    bench::report(QStringLiteral("export: 100,000 works to dBASE (%1 bytes)").arg(bytes),
                  QStringLiteral("%1 s").arg(exportSeconds, 0, 'f', 3));
    bench::report(QStringLiteral("export: plain write loop, same bytes"),
                  QStringLiteral("%1 s").arg(plainSeconds, 0, 'f', 3));
    bench::report(QStringLiteral("export: plain write loop with sync, same bytes"),
                  QStringLiteral("%1 s").arg(plainSyncedSeconds, 0, 'f', 3));
    bench::report(QStringLiteral("export: ratio to the plain loop (target 3)"),
                  QStringLiteral("%1").arg(exportSeconds / plainSeconds, 0, 'f', 2));
    bench::report(QStringLiteral("export: ratio to the plain loop with sync"),
                  QStringLiteral("%1").arg(exportSeconds / plainSyncedSeconds, 0, 'f', 2));
}
