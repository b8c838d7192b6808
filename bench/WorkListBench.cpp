#include "Bench.h"

#include "WorkListFile.h"
#include "WorkTable.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// A plain loop over the same bytes: the least any reader or writer of the file must do.
double plainRead(const QString& path)
{
    return bench::seconds(
        [&] {
            std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
            static char buffer[1 << 20];
            std::size_t lineEnds = 0;
            while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, file)) {
                for (std::size_t i = 0; i < got; ++i)
                    lineEnds += buffer[i] == '\r';
            }
            std::fclose(file);
            if (lineEnds == 0)
                bench::report(QStringLiteral("worklist: unexpected file"), QString());
        },
        3);
}

// A plain loop that keeps what it reads: every line as a std::string in a vector. Any reader that
// fills a table must at least allocate and touch memory for the lines like this.
double plainReadKeepingLines(const QString& path)
{
    return bench::seconds(
        [&] {
            std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
            std::vector<std::string> lines;
            std::string line;
            int c;
            while ((c = std::getc(file)) != EOF) {
                if (c == '\r')
                    continue;
                if (c == '\n') {
                    lines.push_back(line);
                    line.clear();
                } else {
                    line.push_back(static_cast<char>(c));
                }
            }
            std::fclose(file);
            if (lines.empty())
                bench::report(QStringLiteral("worklist: unexpected file"), QString());
        },
        3);
}

double plainWrite(const QString& path, const QByteArray& bytes)
{
    return bench::seconds(
        [&] {
            std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
            for (qsizetype at = 0; at < bytes.size(); at += 1 << 20)
                std::fwrite(bytes.constData() + at, 1,
                            std::min<qsizetype>(1 << 20, bytes.size() - at), file);
            std::fclose(file);
        },
        3);
}

} // namespace

void benchWorkList()
{
    QTemporaryDir folder;
    for (int works : {100'000, 1'000'000}) {
        WorkTable table;
        {
            const WorkTable::Batch batch(table);
            table.setRowCount(works);
            for (int row = 0; row < works; ++row) {
                table.setCell(WorkColumn::StartEvent, row, QStringLiteral("Событие %1").arg(row));
                table.setCell(WorkColumn::EndEvent, row, QStringLiteral("Событие %1").arg(row + 1));
                table.setCell(WorkColumn::Duration, row, QStringLiteral("2,5"));
            }
        }
        const QString path = folder.filePath(QStringLiteral("works.kdf"));
        const double write = bench::seconds([&] { worklistfile::write(path, table); }, 3);
        // Each run reads into a fresh table, as a file usually lands in a small one; freeing a
        // million old rows would be measured otherwise.
        double read = 1e300;
        for (int run = 0; run < 3; ++run) {
            auto back = std::make_unique<WorkTable>();
            read = std::min(read, bench::seconds([&] {
                                const WorkTable::Batch batch(*back);
                                worklistfile::read(path, *back);
                            }));
        }

        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        const double loopRead = plainRead(path);
        const double loopKeep = plainReadKeepingLines(path);
        const double loopWrite = plainWrite(folder.filePath(QStringLiteral("plain.bin")), bytes);
        const QString size =
            QStringLiteral("%1 works (%2 MB)").arg(works).arg(bytes.size() / 1e6, 0, 'f', 1);
        bench::report(QStringLiteral("worklist: read %1").arg(size),
                      QStringLiteral("%1 s, %2 x plain read loop (%3 s)")
                          .arg(read, 0, 'f', 3)
                          .arg(read / loopRead, 0, 'f', 1)
                          .arg(loopRead, 0, 'f', 3));
        bench::report(
            QStringLiteral("worklist: read %1, against a loop keeping the lines").arg(size),
            QStringLiteral("%1 x (%2 s)").arg(read / loopKeep, 0, 'f', 1).arg(loopKeep, 0, 'f', 3));
        bench::report(QStringLiteral("worklist: write %1").arg(size),

                      QStringLiteral("%1 s, %2 x plain write loop (%3 s)")
                          .arg(write, 0, 'f', 3)
                          .arg(write / loopWrite, 0, 'f', 1)
                          .arg(loopWrite, 0, 'f', 3));
    }
}
