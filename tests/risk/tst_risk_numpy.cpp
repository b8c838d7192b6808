#include "RiskSimulation.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cmath>
#include <random>

using namespace risk;
using namespace Qt::StringLiterals;

namespace {

// An independent simulation: numpy's own beta and triangular generators and a longest path
// search of its own, vectorised over the runs. Reads the network file the test writes and prints
// the mean, σ, the share of runs at or below each given length, and each work's share of runs in
// which it lay on a longest path.
constexpr auto kNumpySimulation = R"PY(
import sys
import numpy as np

lines = open(sys.argv[1]).read().split("\n")
runs, seed, law, start, end, events = lines[0].split()
runs, seed, start, end, events = int(runs), int(seed), int(start), int(end), int(events)
works = []
at = 1
while lines[at] != "lengths":
    s, e, a, m, b = lines[at].split()
    works.append((int(s), int(e), float(a), float(m), float(b)))
    at += 1
lengths = [float(x) for x in lines[at + 1].split()]

rng = np.random.default_rng(seed)
durations = []
for s, e, a, m, b in works:
    if b == a:
        durations.append(np.full(runs, m))
    elif law == "triangular":
        durations.append(rng.triangular(a, m, b, runs))
    else:
        alpha = 1 + 4 * (m - a) / (b - a)
        beta = 1 + 4 * (b - m) / (b - a)
        durations.append(a + (b - a) * rng.beta(alpha, beta, runs))

# Kahn's order of the events over all works.
incoming = [0] * events
for s, e, *_ in works:
    incoming[e] += 1
order = [v for v in range(events) if incoming[v] == 0]
for v in order:
    for s, e, *_ in works:
        if s == v:
            incoming[e] -= 1
            if incoming[e] == 0:
                order.append(e)
position = {v: k for k, v in enumerate(order)}
ordered = sorted(range(len(works)), key=lambda w: position[works[w][0]])

time = np.full((events, runs), -np.inf)
time[start] = 0
for w in ordered:
    s, e = works[w][0], works[w][1]
    time[e] = np.maximum(time[e], time[s] + durations[w])
length = time[end]

critical_event = np.zeros((events, runs), dtype=bool)
critical_event[end] = True
critical = [0.0] * len(works)
for w in reversed(ordered):
    s, e = works[w][0], works[w][1]
    on = critical_event[e] & (time[s] + durations[w] == time[e])
    critical_event[s] |= on
    critical[w] = on.mean()

print(repr(float(length.mean())), repr(float(length.std(ddof=1))))
print(" ".join(repr(float((length <= x).mean())) for x in lengths))
print(" ".join(repr(float(c)) for c in critical))
)PY";

// A Python 3 that has numpy (the system's, Debian package python3-numpy), or nothing.
QString pythonWithNumpy()
{
    QStringList candidates{u"/usr/bin/python3"_s};
    const QString onPath = QStandardPaths::findExecutable(u"python3"_s);
    if (!onPath.isEmpty())
        candidates.append(onPath);
    for (const QString& python : candidates) {
        if (!QFile::exists(python))
            continue;
        QProcess probe;
        probe.start(python, {u"-c"_s, u"import numpy"_s});
        if (probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return python;
    }
    return {};
}

// numpy's side is the slower one: fewer runs there, more here.
constexpr qint64 kNumpyRuns = 100'000;

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

// Events 0..n-1, a backbone 0 → 1 → ... → n-1 and random works forward; a work without estimates
// now and then, modes at the ends now and then, all in tenths of days; and one work from an event
// no path reaches.
std::vector<RiskWork> randomWorks(int events, int extraWorks, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> tenths(1, 60);
    std::uniform_int_distribution<int> kind(0, 9);
    const auto make = [&](int start, int end) {
        RiskWork work{start, end, 0, std::nullopt, std::nullopt};
        const long double a = tenths(random) / 10.0L;
        const int shape = kind(random);
        const long double m = shape == 0 ? a : a + tenths(random) / 10.0L;
        const long double b = shape == 1 ? m : m + tenths(random) / 10.0L;
        work.mostLikely = m;
        if (shape != 2) {
            work.optimistic = a;
            work.pessimistic = b;
        }
        return work;
    };
    std::vector<RiskWork> works;
    for (int event = 0; event + 1 < events; ++event)
        works.push_back(make(event, event + 1));
    std::uniform_int_distribution<int> pick(0, events - 1);
    while (int(works.size()) < events - 1 + extraWorks) {
        const int from = pick(random);
        const int to = pick(random);
        if (from < to)
            works.push_back(make(from, to));
    }
    works.push_back(make(events, events - 1));
    return works;
}

} // namespace

// The simulation against numpy's on random networks: means, σ, percentiles and criticality
// indices agree within the sampling error of the two simulations.
class TestRiskNumpy : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithNumpy_data();
    void agreesWithNumpy();
};

void TestRiskNumpy::agreesWithNumpy_data()
{
    QTest::addColumn<int>("events");
    QTest::addColumn<int>("extraWorks");
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("law");
    for (const int law : {int(Distribution::Beta), int(Distribution::Triangular)}) {
        const QString name = law == int(Distribution::Beta) ? u"beta"_s : u"triangular"_s;
        QTest::addRow("%s, 8 events", qPrintable(name)) << 8 << 12 << 11 << law;
        QTest::addRow("%s, 15 events", qPrintable(name)) << 15 << 30 << 12 << law;
        QTest::addRow("%s, 25 events, dense", qPrintable(name)) << 25 << 70 << 13 << law;
    }
}

void TestRiskNumpy::agreesWithNumpy()
{
    QFETCH(int, events);
    QFETCH(int, extraWorks);
    QFETCH(int, seed);
    QFETCH(int, law);
    const QString python = pythonWithNumpy();
    if (python.isEmpty())
        QSKIP("Python 3 with numpy is not installed (Debian package python3-numpy)");

    const std::vector<RiskWork> works = randomWorks(events, extraWorks, std::uint64_t(seed));
    const RiskNetwork network(works, events + 1, 0, events - 1);
    SimulationSettings settings;
    settings.runs = 200'000;
    settings.seed = std::uint64_t(seed);
    settings.distribution = Distribution(law);
    const SimulationResult ours = simulate(network, settings);
    const auto& shares = kPercentileShares;

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(u"network.txt"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QTextStream out(&file);
        out << kNumpyRuns << ' ' << seed << ' '
            << (law == int(Distribution::Beta) ? "beta" : "triangular") << " 0 " << events - 1
            << ' ' << events + 1 << '\n';
        for (const RiskWork& work : works)
            out << work.start << ' ' << work.end << ' ' << number(double(work.low())) << ' '
                << number(double(work.mostLikely)) << ' ' << number(double(work.high())) << '\n';
        out << "lengths\n";
        for (const double share : shares)
            out << number(ours.percentile(share)) << ' ';
        out << '\n';
    }
    QProcess numpy;
    numpy.start(python, {u"-c"_s, QString::fromUtf8(kNumpySimulation), path});
    QVERIFY(numpy.waitForFinished(120000));
    QVERIFY2(numpy.exitCode() == 0, numpy.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(numpy.readAllStandardOutput()).split(u'\n');
    QVERIFY(lines.size() >= 3);
    const QStringList moments = lines[0].split(u' ');
    const QStringList below = lines[1].split(u' ');
    const QStringList critical = lines[2].split(u' ');
    QCOMPARE(below.size(), qsizetype(shares.size()));
    QCOMPARE(critical.size(), qsizetype(works.size()));

    // 4.5 standard errors of the difference of two estimates from n₁ and n₂ runs.
    const double inverseRuns = 1 / double(settings.runs) + 1 / double(kNumpyRuns);
    const double theirMean = moments[0].toDouble();
    const double theirSigma = moments[1].toDouble();
    QVERIFY2(std::abs(ours.mean() - theirMean) < 4.5 * ours.sigma() * std::sqrt(inverseRuns),
             qPrintable(u"mean %1 against %2"_s.arg(ours.mean()).arg(theirMean)));
    QVERIFY2(std::abs(ours.sigma() - theirSigma) < 4.5 * ours.sigma() * std::sqrt(inverseRuns / 2),
             qPrintable(u"σ %1 against %2"_s.arg(ours.sigma()).arg(theirSigma)));
    for (std::size_t k = 0; k < shares.size(); ++k) {
        // Our percentile p is where numpy's runs should also reach p.
        const double p = shares[k];
        const double theirs = below[qsizetype(k)].toDouble();
        QVERIFY2(std::abs(theirs - p) < 4.5 * std::sqrt(p * (1 - p) * inverseRuns),
                 qPrintable(u"percentile %1: numpy's share %2"_s.arg(p).arg(theirs)));
    }
    for (std::size_t k = 0; k < works.size(); ++k) {
        const double p = ours.criticality()[k];
        const double theirs = critical[qsizetype(k)].toDouble();
        const double spread = std::max(p * (1 - p), 1 / double(kNumpyRuns));
        QVERIFY2(std::abs(theirs - p) < 4.5 * std::sqrt(spread * inverseRuns),
                 qPrintable(u"work %1: criticality %2 against %3"_s.arg(k).arg(p).arg(theirs)));
    }
}

QTEST_GUILESS_MAIN(TestRiskNumpy)
#include "tst_risk_numpy.moc"
