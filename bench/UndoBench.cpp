#include "Bench.h"
#include "WindowDriving.h"

#include "TfmMain.h"
#include "WorkHistory.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <functional>

// The undo history on a table of a million works, through the main window: reading a work list
// file over another one, taking the reading back and doing it again, a single edit, delete and
// add with their undo, and what the history holds meanwhile. Reading the file to and fro a few
// more times shows the history's byte budget at work.
namespace {

using bench::answerFile;
using bench::answerNext;
using bench::untilIdle;

constexpr int kWorks = 1'000'000;

// A random project of numbered events (about 0.59 events per work, each work to a later event
// close by), `seed` telling two such files apart.
void writeWorkList(const QString& path, int seed)
{
    QByteArray bytes;
    const int events = int(kWorks * 0.59);
    quint64 state = 2026 + quint64(seed);
    const auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 33;
    };
    for (int i = 0; i < kWorks; ++i) {
        const int from = i < events - 1 ? i + 1 : 1 + int(next() % quint64(events - 1));
        const int to = std::min(events, from + 1 + int(next() % 8));
        bytes += QByteArray::number(from) + "\r\n" + QByteArray::number(to) + "\r\n" +
                 QByteArray::number(1 + next() % 20) + "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the benchmark's work list");
}

QString megabytes(qsizetype bytes)
{
    return QStringLiteral("%1 MB").arg(double(bytes) / (1 << 20), 0, 'f', 1);
}

QString seconds(double value)
{
    return QStringLiteral("%1 s").arg(value, 0, 'f', 3);
}

} // namespace

void benchUndo()
{
    QTemporaryDir folder;
    const QString first = folder.filePath(QStringLiteral("first.kdf"));
    const QString second = folder.filePath(QStringLiteral("second.kdf"));
    writeWorkList(first, 1);
    writeWorkList(second, 2);

    TfmMain window;
    window.show();
    QCoreApplication::processEvents();
    const auto button = [&window](const char* name) {
        return window.findChild<QAbstractButton*>(QLatin1String(name));
    };
    answerNext<QMessageBox>([](QMessageBox* box) {
        QTextStream(stderr) << "error box: " << box->text() << Qt::endl;
        std::exit(1);
    });
    const WorkHistory& history = window.workHistory();
    const WorkTable& table = window.workTable();

    answerFile(first);
    const double firstRead = untilIdle([&] { button("sbLoadTemp")->click(); });
    const double firstRss = bench::peakRssMegabytes();
    bench::report(QStringLiteral("undo: read 1,000,000 works into the empty table"),
                  seconds(firstRead));
    bench::report(QStringLiteral("undo:   history after it"), megabytes(history.byteSize()));
    bench::report(QStringLiteral("undo:   peak RSS"),
                  QStringLiteral("%1 MB").arg(firstRss, 0, 'f', 0));

    WorkInputs inputs;
    const double encode = bench::seconds([&] { inputs = WorkInputs::ofRows(table, 0, kWorks); });
    bench::report(QStringLiteral("undo: encode the inputs of 1,000,000 works"), seconds(encode));
    bench::report(QStringLiteral("undo:   their size"), megabytes(inputs.byteSize()));
    inputs = WorkInputs();

    answerFile(second);
    const double secondRead = untilIdle([&] { button("sbLoadTemp")->click(); });
    bench::report(QStringLiteral("undo: read 1,000,000 works over 1,000,000"), seconds(secondRead));
    bench::report(QStringLiteral("undo:   history after it"), megabytes(history.byteSize()));
    bench::report(QStringLiteral("undo:   peak RSS"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 0));

    const double undoRead = untilIdle([&] { button("sbUndo")->click(); });
    bench::report(QStringLiteral("undo: undo that reading (recalculation included)"),
                  seconds(undoRead));
    bench::report(QStringLiteral("undo:   history after it"), megabytes(history.byteSize()));
    const double redoRead = untilIdle([&] { button("sbRedo")->click(); });
    bench::report(QStringLiteral("undo: redo it (recalculation included)"), seconds(redoRead));

    const auto answerProps = [](const QString& length) {
        answerNext<QDialog>([length](QDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("eLength"))->setText(length);
            dialog->findChild<QComboBox*>(QStringLiteral("cbFrom"))
                ->setEditText(QStringLiteral("1"));
            dialog->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QStringLiteral("2"));
            dialog->findChild<QAbstractButton*>(QStringLiteral("sbOk"))->click();
        });
    };
    window.setCurrentRow(kWorks / 2);
    const qsizetype beforeSmall = history.byteSize();
    answerProps(QStringLiteral("7"));
    const double edit = untilIdle([&] { button("sbEdit")->click(); });
    const double undoEdit = untilIdle([&] { button("sbUndo")->click(); });
    const double remove = untilIdle([&] { button("sbDel")->click(); });
    const double undoRemove = untilIdle([&] { button("sbUndo")->click(); });
    answerProps(QStringLiteral("3"));
    const double add = untilIdle([&] { button("sbNewLine")->click(); });
    const double undoAdd = untilIdle([&] { button("sbUndo")->click(); });
    bench::report(QStringLiteral("undo: edit / its undo (recalculation included)"),
                  seconds(edit) + QStringLiteral(" / ") + seconds(undoEdit));
    bench::report(QStringLiteral("undo: delete / its undo (recalculation included)"),
                  seconds(remove) + QStringLiteral(" / ") + seconds(undoRemove));
    bench::report(QStringLiteral("undo: add / its undo (recalculation included)"),
                  seconds(add) + QStringLiteral(" / ") + seconds(undoAdd));
    bench::report(QStringLiteral("undo:   history held by the three single-row steps"),
                  QStringLiteral("%1 bytes").arg(history.byteSize() - beforeSmall));

    for (int i = 0; i < 6; ++i) {
        answerFile(i % 2 ? second : first);
        untilIdle([&] { button("sbLoadTemp")->click(); });
    }
    int reachable = 0;
    while (history.canUndo() && reachable < WorkHistory::kStepLimit) {
        window.sbUndoClick();
        ++reachable;
    }
    bench::report(
        QStringLiteral("undo: 6 more readings: steps left to undo of %1").arg(history.stepCount()),
        QString::number(reachable));
    bench::report(
        QStringLiteral("undo:   history then (budget %1)").arg(megabytes(WorkHistory::kByteBudget)),
        megabytes(history.byteSize()));
    bench::report(QStringLiteral("undo:   peak RSS of the whole run"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 0));
}
