#include "Bench.h"
#include "WindowDriving.h"

#include "NumberFormat.h"
#include "ReportDocument.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The program as a user meets it: a work list file chosen in odMain until the window is idle
// again, then single edits, the selectors' lists, scrolling, the export and the table report,
// all through the main window. Each case runs in a child process of its own, so that its peak
// memory is its own. Against it stands "the floor": in the same process, the least any
// implementation must do with the same file (read it, parse every duration, format eight number
// texts per work).
namespace {

using bench::answerFile;
using bench::answerNext;
using bench::untilIdle;

struct Work
{
    QString from;
    QString to;
    QString duration;
};

// Event names of a shape: numbers, 20 Latin letters or 20 Cyrillic letters, all distinct.
QString eventName(int id, const QString& style)
{
    if (style == QLatin1String("numbers"))
        return QString::number(id);
    const char16_t first = style == QLatin1String("cyrillic") ? u'а' : u'a';
    QString name(20, QChar(first));
    for (int i = 19; id > 0 && i >= 0; --i, id /= 26)
        name[i] = QChar(char16_t(first + id % 26));
    return name;
}

// The networks of the benchmark, `works` works each. Durations are whole days unless the shape
// says otherwise; decimal ones are written with the locale's separator, as a user types them.
std::vector<Work> network(const QString& shape, int works)
{
    const QString separator = QLocale().decimalPoint();
    std::mt19937_64 random(2026);
    std::vector<Work> list;
    list.reserve(std::size_t(works));
    // Short durations: the dates of a network of millions of works stay within the calendar.
    const auto whole = [&] {
        return QString::number(1 + random() % 3);
    };
    const auto tenths = [&] {
        const int value = 1 + int(random() % 99);
        return QString::number(value / 10) + separator + QString::number(value % 10);
    };
    if (shape == QLatin1String("chain") || shape == QLatin1String("whole-chain") ||
        shape == QLatin1String("latin") || shape == QLatin1String("cyrillic")) {
        // One long critical path. The chain of numbers has every duration 0,1, so that its sums
        // round at every step; the others have whole durations.
        const bool tenths = shape == QLatin1String("chain");
        const QString style =
            tenths || shape == QLatin1String("whole-chain") ? QStringLiteral("numbers") : shape;
        for (int i = 0; i < works; ++i)
            list.push_back(
                {eventName(i + 1, style), eventName(i + 2, style),
                 tenths ? QStringLiteral("0") + separator + QStringLiteral("1") : whole()});
        return list;
    }
    if (shape == QLatin1String("star")) {
        for (int i = 0; i < works / 2; ++i) {
            list.push_back({QStringLiteral("S"), QString::number(i + 1), tenths()});
            list.push_back({QString::number(i + 1), QStringLiteral("T"), tenths()});
        }
        return list;
    }
    if (shape == QLatin1String("layers")) {
        // 100 layers, every event with three works into the next layer.
        constexpr int kLayers = 100;
        const int width = std::max(1, works / (kLayers * 3));
        const auto event = [width](int layer, int index) {
            return QString::number(layer * width + index + 2);
        };
        for (int index = 0; index < width; ++index)
            list.push_back({QStringLiteral("1"), event(0, index), whole()});
        for (int layer = 0; layer + 1 < kLayers; ++layer) {
            for (int index = 0; index < width; ++index) {
                for (int k = 0; k < 3; ++k)
                    list.push_back({event(layer, index),
                                    event(layer + 1, k == 0 ? index : int(random() % width)),
                                    whole()});
            }
        }
        for (int index = 0; index < width; ++index)
            list.push_back({event(kLayers - 1, index), QStringLiteral("0"), whole()});
        return list;
    }
    // A random project: about 0.59 events per work, each work to a later event close by.
    const QString style = QStringLiteral("numbers");
    const bool decimals = shape == QLatin1String("decimals");
    const int events = std::max(2, int(works * 0.59));
    for (int i = 0; i < works; ++i) {
        const int from = i < events - 1 ? i + 1 : 1 + int(random() % std::uint64_t(events - 1));
        const int to = std::min(events, from + 1 + int(random() % 8));
        list.push_back(
            {eventName(from, style), eventName(to, style), decimals ? tenths() : whole()});
    }
    return list;
}

// Windows-1251 bytes of the list; the names hold only ASCII and the small Cyrillic letters.
void writeWorkList(const QString& path, const std::vector<Work>& works)
{
    QByteArray bytes;
    for (const Work& work : works) {
        for (const QString* cell : {&work.from, &work.to, &work.duration}) {
            for (const QChar c : *cell) {
                const char16_t unit = c.unicode();
                bytes += unit >= u'а' && unit <= u'я' ? char(0xE0 + (unit - u'а')) : char(unit);
            }
            bytes += "\r\n";
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the benchmark's work list");
}

// The floor: read the file, parse every duration, format eight number texts per work.
double floorSeconds(const QString& path)
{
    const NumberFormat numbers(QLocale().decimalPoint());
    return bench::seconds([&] {
        std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
        std::string bytes;
        char buffer[1 << 16];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, file))
            bytes.append(buffer, got);
        std::fclose(file);
        std::size_t at = 0;
        int line = 0;
        long double sink = 0;
        while (at < bytes.size()) {
            const std::size_t end = bytes.find('\r', at);
            const std::size_t stop = end == std::string::npos ? bytes.size() : end;
            if (line++ % 3 == 2) {
                const long double duration =
                    numbers.parse(QString::fromLatin1(bytes.data() + at, qsizetype(stop - at)));
                for (int k = 0; k < 8; ++k)
                    sink += numbers.format(duration + k).size();
            }
            at = stop + 2;
        }
        if (sink < 0)
            std::abort();
    });
}

// The longest time the event loop went without running, while it is watched: how long the
// window stayed frozen.
class FreezeWatch
{
public:
    FreezeWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_clock.start();
        m_timer.start();
    }
    double longestSeconds() { return std::max(m_longest, m_clock.elapsed()) / 1000.0; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

void failOnErrorBox()
{
    answerNext<QMessageBox>([](QMessageBox* box) {
        QTextStream(stderr) << "error box: " << box->text() << Qt::endl;
        std::exit(1);
    });
}

QString figure(double seconds)
{
    return QString::number(seconds, 'f', 3);
}

void runCase(const QString& shape, int works)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("works.kdf"));
    writeWorkList(path, network(shape, works));
    const double floor = floorSeconds(path);

    TfmMain window;
    window.show();
    QCoreApplication::processEvents();
    const auto button = [&window](const char* name) {
        return window.findChild<QAbstractButton*>(QLatin1String(name));
    };
    failOnErrorBox();
    answerFile(path);
    std::optional<FreezeWatch> watch(std::in_place);
    const double load = untilIdle([&] { button("sbLoadTemp")->click(); });
    const double freeze = watch->longestSeconds();
    watch.reset();
    const WorkTable& table = window.workTable();
    if (table.cell(WorkColumn::EarlyStart, table.rowCount() - 1).isEmpty())
        qFatal("the benchmark's network was not recalculated");
    const double loadRss = bench::peakRssMegabytes();

    const auto answerProps = [](const QString& from, const QString& to, const QString& length) {
        answerNext<QDialog>([from, to, length](QDialog* dialog) {
            if (!from.isEmpty()) {
                dialog->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(from);
                dialog->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(to);
                dialog->findChild<QLineEdit*>(QStringLiteral("eLength"))->setText(length);
            }
            dialog->findChild<QAbstractButton*>(QStringLiteral("sbOk"))->click();
        });
    };
    const QString from = table.cell(WorkColumn::StartEvent, 0);
    const QString to = table.cell(WorkColumn::EndEvent, 0);
    answerProps(from, to, QStringLiteral("3"));
    const double add = untilIdle([&] { button("sbNewLine")->click(); });
    answerProps(from, to, QStringLiteral("4"));
    const double edit = untilIdle([&] { button("sbEdit")->click(); });
    const double remove = untilIdle([&] { button("sbDel")->click(); });

    auto* selector = window.findChild<QComboBox*>(QStringLiteral("cbTo"));
    const double list = untilIdle([&] {
        selector->showPopup();
        QCoreApplication::processEvents();
        selector->hidePopup();
    });
    auto* grid = window.findChild<QAbstractItemView*>(QStringLiteral("sgMain"));
    const double scroll = untilIdle([&] {
        QScrollBar* bar = grid->verticalScrollBar();
        for (int step = 0; step < 50; ++step) {
            bar->setValue(bar->maximum() * step / 49);
            grid->viewport()->repaint();
        }
    });
    answerFile(folder.filePath(QStringLiteral("works.dbf")));
    const double exportTime = untilIdle([&] { button("sbSaveBase")->click(); });
    answerNext<TfmPreview>([](TfmPreview* preview) {
        // Shown with its first page: what the user sees when the preview opens.
        while (!preview->document() || preview->document()->pageCount() == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        preview->findChild<QAbstractButton*>(QStringLiteral("tbClose"))->click();
    });
    const double reportTime = untilIdle([&] { button("sbPrint")->click(); });

    // One machine-readable line for the parent.
    QTextStream(stdout) << "case " << shape << ' ' << works << ' ' << figure(load) << ' '
                        << figure(floor) << ' ' << QString::number(loadRss, 'f', 0) << ' '
                        << figure(add) << ' ' << figure(edit) << ' ' << figure(remove) << ' '
                        << figure(list) << ' ' << figure(scroll) << ' ' << figure(exportTime) << ' '
                        << figure(reportTime) << ' ' << figure(freeze) << Qt::endl;
}

} // namespace

void benchEndToEnd(const QStringList& arguments)
{
    if (arguments.size() >= 2) {
        runCase(arguments[0], arguments[1].toInt());
        return;
    }
    const QStringList shapes =
        arguments.isEmpty() ? QStringList{QStringLiteral("random"),   QStringLiteral("whole-chain"),
                                          QStringLiteral("chain"),    QStringLiteral("star"),
                                          QStringLiteral("layers"),   QStringLiteral("latin"),
                                          QStringLiteral("cyrillic"), QStringLiteral("decimals")}
                            : arguments;
    for (const QString& shape : shapes) {
        double previous = 0;
        for (const int works : {100'000, 1'000'000}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("endtoend"), shape, QString::number(works)});
            // A shape that grows faster than its input would run for hours: it is cut off.
            constexpr int kLimitSeconds = 300;
            if (!child.waitForFinished(kLimitSeconds * 1000)) {
                child.kill();
                child.waitForFinished();
                bench::report(QStringLiteral("end to end: %1, %2 works").arg(shape).arg(works),
                              QStringLiteral("not finished within %1 s").arg(kLimitSeconds));
                break;
            }
            const QStringList f =
                QString::fromUtf8(child.readAllStandardOutput())
                    .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
            if (child.exitCode() != 0 || f.size() < 14 || f[0] != QLatin1String("case")) {
                bench::report(QStringLiteral("%1, %2 works").arg(shape).arg(works),
                              QStringLiteral("FAILED"));
                continue;
            }
            const double load = f[3].toDouble();
            const double floor = f[4].toDouble();
            bench::report(
                QStringLiteral("end to end: %1, %2 works").arg(shape).arg(works),
                QStringLiteral("read+recalc %1 s (longest freeze %6 s), floor %2 s, ratio %3, "
                               "peak RSS %4 MB%5")
                    .arg(f[3], f[4])
                    .arg(load / floor, 0, 'f', 1)
                    .arg(f[5])
                    .arg(previous > 0 ? QStringLiteral(", x%1 the 100,000 case")
                                            .arg(load / previous, 0, 'f', 1)
                                      : QString())
                    .arg(f[13]));
            bench::report(QStringLiteral("  then"),
                          QStringLiteral("add %1, edit %2, delete %3, list %4, scroll %5, "
                                         "export %6, report %7 (s)")
                              .arg(f[6], f[7], f[8], f[9], f[10], f[11], f[12]));
            previous = load;
        }
    }
}
