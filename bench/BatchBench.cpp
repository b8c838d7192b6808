#include "Bench.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

// kestrin-batch as a teacher runs it: one call of a shell loop over 40 work list files, each
// read, recalculated with automatic ends and written as CSV (and, in a second loop, as the PDF
// table report and as an Excel workbook). The figure is the whole loop's time and the time per
// call, process start included.
namespace {

constexpr int kFiles = 40;

// A network of `works` works between events numbered so that every work goes forward.
QByteArray workList(QRandomGenerator& random, int works)
{
    QByteArray bytes;
    const int events = std::max(2, works / 2);
    for (int w = 0; w < works; ++w) {
        const int end = 2 + int(random.bounded(events - 1));
        const int start = std::max(1, end - 1 - int(random.bounded(6)));
        bytes += QByteArray::number(start) + "\r\n" + QByteArray::number(end) + "\r\n" +
                 QByteArray::number(1 + random.bounded(9)) + "\r\n";
    }
    return bytes;
}

double loopSeconds(const QString& folder, const QString& suffix)
{
    const QString script = QStringLiteral("for f in \"$1\"/*.kdf; do \"$2\" \"$f\" --output "
                                          "\"${f%.kdf}.%1\" > /dev/null || exit 1; done")
                               .arg(suffix);
    int status = -1;
    const double seconds = bench::seconds([&] {
        status = QProcess::execute(QStringLiteral("/bin/sh"),
                                   {QStringLiteral("-c"), script, QStringLiteral("sh"), folder,
                                    QStringLiteral(KESTRIN_BATCH)});
    });
    if (status != 0)
        bench::report(QStringLiteral("batch loop to .") + suffix, QStringLiteral("FAILED"));
    return seconds;
}

} // namespace

void benchBatch(const QStringList& arguments)
{
    const int works = arguments.isEmpty() ? 1000 : arguments.first().toInt();
    QTemporaryDir folder;
    QRandomGenerator random(20261207);
    for (int file = 0; file < kFiles; ++file) {
        QFile out(QDir(folder.path()).filePath(QStringLiteral("student%1.kdf").arg(file)));
        if (!out.open(QIODevice::WriteOnly))
            return;
        out.write(workList(random, works));
    }
    for (const char* suffix : {"csv", "xlsx", "pdf"}) {
        const double seconds = loopSeconds(folder.path(), QString::fromLatin1(suffix));
        bench::report(QStringLiteral("kestrin-batch over %1 files of %2 works to .%3, one shell "
                                     "loop")
                          .arg(kFiles)
                          .arg(works)
                          .arg(QString::fromLatin1(suffix)),
                      QStringLiteral("%1 s, %2 s per call")
                          .arg(seconds, 0, 'f', 2)
                          .arg(seconds / kFiles, 0, 'f', 3));
    }
}
