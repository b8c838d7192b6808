#include "Bench.h"

#include "MspdiReader.h"

#include <QRandomGenerator>

// Import of an MS Project XML file of 100,000 tasks and 150,000 links (from the bytes in memory,
// as read from the disk): reading the XML, making works of tasks and links, and merging the
// events of the zero links; once with finish-to-start links only, once with all four types and a
// lag on one link in ten, where more merges need the longer search.
namespace {

constexpr int kTasks = 100'000;
constexpr int kLinks = 150'000;

struct Predecessor
{
    int from = 0;
    int type = 1; // MSPDI: 0 FF, 1 FS, 2 SF, 3 SS
    int lagDays = 0;
};

QByteArray largeProject(bool allLinkTypes)
{
    QRandomGenerator random(20270401);
    std::vector<std::vector<Predecessor>> predecessors(kTasks);
    for (int link = 0; link < kLinks; ++link) {
        const int to = 1 + int(random.bounded(kTasks - 1));
        const int from = std::max(0, to - 1 - int(random.bounded(20)));
        Predecessor predecessor{from, 1, 0};
        if (allLinkTypes) {
            predecessor.type = int(random.bounded(4));
            predecessor.lagDays = random.bounded(10) == 0 ? int(random.bounded(5)) - 2 : 0;
        }
        predecessors[std::size_t(to)].push_back(predecessor);
    }
    QByteArray text = "<?xml version=\"1.0\"?>\n<Project "
                      "xmlns=\"http://schemas.microsoft.com/project\">\n<StartDate>2027-03-01T08:"
                      "00:00</StartDate>\n<MinutesPerDay>480</MinutesPerDay>\n<Tasks>\n";
    for (int t = 0; t < kTasks; ++t) {
        text += "<Task><UID>" + QByteArray::number(t + 1) + "</UID><ID>" +
                QByteArray::number(t + 1) + "</ID><Name>Задача " + QByteArray::number(t + 1) +
                "</Name><OutlineLevel>1</OutlineLevel><Duration>PT" +
                QByteArray::number(8 * (1 + t % 5)) +
                "H0M0S</Duration><DurationFormat>7</DurationFormat>";
        for (const Predecessor& link : predecessors[std::size_t(t)])
            text += "<PredecessorLink><PredecessorUID>" + QByteArray::number(link.from + 1) +
                    "</PredecessorUID><Type>" + QByteArray::number(link.type) + "</Type><LinkLag>" +
                    QByteArray::number(link.lagDays * 4800) +
                    "</LinkLag><LagFormat>7</LagFormat></PredecessorLink>";
        text += "</Task>\n";
    }
    return text + "</Tasks>\n</Project>\n";
}

} // namespace

void benchExchange()
{
    for (const bool allLinkTypes : {false, true}) {
        const QByteArray bytes = largeProject(allLinkTypes);
        const QString links =
            allLinkTypes ? QStringLiteral("links of all types") : QStringLiteral("links");
        if (!allLinkTypes)
            bench::report(QStringLiteral("exchange: MSPDI file size"),
                          QStringLiteral("%1 MB").arg(double(bytes.size()) / (1 << 20), 0, 'f', 1));
        std::size_t works = 0;
        const double seconds = bench::seconds(
            [&] { works = mspdi::decode(bytes, QStringLiteral("bench.xml")).plan.works.size(); },
            3);
        bench::report(QStringLiteral("exchange: import of 100,000 tasks and 150,000 %1").arg(links),
                      QStringLiteral("%1 s (%2 works, %3 dummies and lags)")
                          .arg(seconds, 0, 'f', 2)
                          .arg(works)
                          .arg(works - kTasks));
    }
    bench::report(QStringLiteral("exchange: peak memory"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 0));
}
