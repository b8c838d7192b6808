#include "DetailRules.h"
#include "FileTestSupport.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

using testsupport::messageOf;

const NumberFormat& commaNumbers()
{
    static const NumberFormat numbers(QStringLiteral(","));
    return numbers;
}

// Details from a line such as "o=2 p=5 s=1 c=10 sc=20 r1=3 name=Котлован" (r<N> is the demand
// of resource N).
WorkDetails detailsOf(const QString& text)
{
    WorkDetails details;
    const QStringList keys = {QStringLiteral("o"), QStringLiteral("p"), QStringLiteral("s"),
                              QStringLiteral("c"), QStringLiteral("sc")};
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = part.section(u'=', 0, 0);
        const QString value = part.section(u'=', 1);
        if (key == QLatin1String("name"))
            details.name = value;
        else if (key.startsWith(u'r'))
            details.setDemand(ResourceId(key.mid(1).toUInt()), value.toDouble());
        else
            details.setNumber(static_cast<DetailNumber>(keys.indexOf(key)), value.toDouble());
    }
    return details;
}

Plan planWithResources()
{
    Plan plan;
    plan.addResource(Resource{1, QStringLiteral("Бетон"), QStringLiteral("м3"), 10.0});
    plan.addResource(Resource{2, QStringLiteral("Люди"), QStringLiteral("чел."), std::nullopt});
    return plan;
}

} // namespace

class TestDetailRules : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatBreaksARule_data();
    void refusesWhatBreaksARule();
    void typedNumbers();
    void movedDurationKeepsDetailsAndMarksTheWork();
};

void TestDetailRules::refusesWhatBreaksARule_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("refusal"); // empty: accepted

    const QString none;
    // The estimates, either entered first.
    QTest::newRow("optimistic first") << ""
                                      << "5"
                                      << "o=3" << none;
    QTest::newRow("pessimistic first") << ""
                                       << "5"
                                       << "p=7" << none;
    QTest::newRow("both, equal to the duration") << "o=5"
                                                 << "5"
                                                 << "o=5 p=5" << none;
    QTest::newRow("optimistic above the duration")
        << ""
        << "5"
        << "o=5.5"
        << "Оптимистическая продолжительность больше продолжительности";
    QTest::newRow("pessimistic below the duration") << "o=1"
                                                    << "2,5"
                                                    << "o=1 p=2"
                                                    << "Пессимистическая продолжительность меньше "
                                                       "продолжительности";
    QTest::newRow("optimistic below zero") << ""
                                           << "0"
                                           << "o=-1"
                                           << "Оптимистическая продолжительность меньше нуля";
    QTest::newRow("shortest at the duration") << ""
                                              << "4"
                                              << "s=4" << none;
    QTest::newRow("shortest above the duration")
        << ""
        << "4"
        << "s=4.5"
        << "Минимальная продолжительность больше продолжительности";
    QTest::newRow("shortest below zero") << ""
                                         << "4"
                                         << "s=-0.5"
                                         << "Минимальная продолжительность меньше нуля";
    // The costs.
    QTest::newRow("costs in order") << "c=100"
                                    << "4"
                                    << "c=100 sc=150" << none;
    QTest::newRow("cost at the shortest alone") << ""
                                                << "4"
                                                << "sc=0" << none;
    QTest::newRow("normal cost below zero") << ""
                                            << "4"
                                            << "c=-1"
                                            << "Стоимость меньше нуля";
    QTest::newRow("cost at the shortest below the normal one")
        << "c=100"
        << "4"
        << "c=100 sc=99"
        << "Стоимость при минимальной продолжительности меньше стоимости";
    QTest::newRow("normal cost raised above the one at the shortest")
        << "c=100 sc=150"
        << "4"
        << "c=151 sc=150"
        << "Стоимость при минимальной продолжительности меньше стоимости";
    QTest::newRow("cost at the shortest below zero")
        << ""
        << "4"
        << "sc=-3"
        << "Стоимость при минимальной продолжительности меньше нуля";
    // The demands.
    QTest::newRow("demand") << ""
                            << "4"
                            << "r1=2 r2=0" << none;
    QTest::newRow("demand below zero") << "r1=2"
                                       << "4"
                                       << "r1=2 r2=-1"
                                       << "Потребность в ресурсе «Люди» меньше нуля";
    QTest::newRow("demand of no resource") << ""
                                           << "4"
                                           << "r7=1"
                                           << "Нет ресурса с номером 7";
    // The name.
    QTest::newRow("name") << ""
                          << "4"
                          << "name=«Котлован»&<1>" << none;
    QTest::newRow("name with a line feed") << ""
                                           << "4"
                                           << "name=a\nb"
                                           << "Наименование: управляющий символ U+000A недопустим";
    QTest::newRow("name with Ctrl+Z") << ""
                                      << "4" << QStringLiteral("name=a\x1a")
                                      << "Наименование: управляющий символ U+001A недопустим";
    // Only what changed is checked: a work whose duration has grown past its pessimistic
    // estimate can be renamed and costed, but its estimates are checked again when edited.
    QTest::newRow("rename a work off its estimates") << "o=1 p=3"
                                                     << "4"
                                                     << "o=1 p=3 name=x" << none;
    QTest::newRow("move the optimistic estimate of such a work") << "o=1 p=3"
                                                                 << "4"
                                                                 << "o=2 p=3" << none;
    QTest::newRow("move its pessimistic estimate, still short")
        << "o=1 p=3"
        << "4"
        << "o=1 p=3.5"
        << "Пессимистическая продолжительность меньше продолжительности";
}

void TestDetailRules::refusesWhatBreaksARule()
{
    QFETCH(QString, before);
    QFETCH(QString, duration);
    QFETCH(QString, after);
    QFETCH(QString, refusal);

    const Plan plan = planWithResources();
    WorkTable table;
    table.setRowCount(2);
    table.setCell(WorkColumn::StartEvent, 1, QStringLiteral("1"));
    table.setCell(WorkColumn::EndEvent, 1, QStringLiteral("2"));
    table.setCell(WorkColumn::Duration, 1, duration);
    table.setDetails(1, detailsOf(before));
    const WorkInputs standing = WorkInputs::ofRows(table, 0, 2);

    WorkInputs changed;
    const QString message = messageOf([&] {
        changed = detailrules::checkedRow(table, 1, detailsOf(after), plan, commaNumbers());
    });
    QCOMPARE(message, refusal.isEmpty() ? QStringLiteral("(no error)") : refusal);
    // Checking changes nothing, refused or not; an accepted row is the work with the new details.
    QVERIFY(WorkInputs::ofRows(table, 0, 2) == standing);
    if (refusal.isEmpty()) {
        table.replaceRows(1, 1, changed);
        QVERIFY(table.details(1) == detailsOf(after));
        QCOMPARE(table.cell(WorkColumn::Duration, 1), duration);
    }
}

void TestDetailRules::typedNumbers()
{
    const QString word = detailrules::numberWord(DetailNumber::Optimistic);
    QCOMPARE(detailrules::parseNumber(u" ", word, commaNumbers()), std::nullopt);
    QCOMPARE(detailrules::parseNumber(u"2,5", word, commaNumbers()), 2.5);
    QCOMPARE(detailrules::parseNumber(u"1E3", word, commaNumbers()), 1000.0);
    for (const QString& text : {QStringLiteral("abc"), QStringLiteral("2.5"),
                                QStringLiteral("1E400"), QStringLiteral("-1E309")})
        QCOMPARE(messageOf([&] { detailrules::parseNumber(text, word, commaNumbers()); }),
                 QStringLiteral("«%1» — не число (Оптимистическая продолжительность)").arg(text));
}

void TestDetailRules::movedDurationKeepsDetailsAndMarksTheWork()
{
    // Random whole-day estimates and durations, the durations then changed as the element dialog
    // would: the details stay, and the marked works are exactly those an integer check finds.
    QRandomGenerator random(77);
    WorkTable table;
    const int rows = 300;
    table.setRowCount(rows);
    std::vector<std::array<int, 3>> estimates(rows); // optimistic, pessimistic, shortest; -1 unset
    for (int row = 0; row < rows; ++row) {
        const int duration = random.bounded(10);
        table.setCell(WorkColumn::Duration, row, QString::number(duration));
        WorkDetails details;
        auto& e = estimates[std::size_t(row)];
        e = {random.bounded(2) ? random.bounded(duration + 1) : -1,
             random.bounded(2) ? duration + random.bounded(5) : -1,
             random.bounded(2) ? random.bounded(duration + 1) : -1};
        for (int i = 0; i < 3; ++i) {
            if (e[std::size_t(i)] >= 0)
                details.setNumber(static_cast<DetailNumber>(i), e[std::size_t(i)]);
        }
        if (random.bounded(3) == 0)
            details = WorkDetails();
        if (details.isEmpty())
            e = {-1, -1, -1};
        table.setDetails(row, details);
    }
    QVERIFY(detailrules::worksBreakingDetails(table, commaNumbers()).empty());

    std::vector<int> expected;
    for (int row = 0; row < rows; ++row) {
        const int duration = random.bounded(12);
        const WorkDetails kept = table.details(row);
        WorkInputs edited =
            WorkInputs::editedRow(table, row, u"a", u"b", QString::number(duration));
        table.replaceRows(row, 1, edited);
        QVERIFY(table.details(row) == kept);
        const auto& e = estimates[std::size_t(row)];
        if ((e[0] >= 0 && e[0] > duration) || (e[1] >= 0 && e[1] < duration) ||
            (e[2] >= 0 && e[2] > duration))
            expected.push_back(row);
    }
    QVERIFY(!expected.empty());
    QCOMPARE(detailrules::worksBreakingDetails(table, commaNumbers()), expected);
}

QTEST_GUILESS_MAIN(TestDetailRules)
#include "tst_detailrules.moc"
