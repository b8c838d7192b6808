#include "DetailRules.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "WorkHistory.h"
#include "WorkTable.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

namespace {

const NumberFormat& numbers()
{
    static const NumberFormat format(QStringLiteral(","));
    return format;
}

ShownState nothingShown()
{
    return ShownState();
}

// The works as they stand, input texts and details.
WorkInputs everything(const WorkTable& table)
{
    return WorkInputs::ofRows(table, 0, table.rowCount());
}

WorkDetails someDetails(QRandomGenerator& random, ResourceId resource)
{
    WorkDetails details;
    details.name =
        QStringLiteral("Работа «%1» & <%2>").arg(random.bounded(100)).arg(random.bounded(9));
    details.setNumber(DetailNumber::Optimistic,
                      random.bounded(2) ? std::optional(0.5) : std::nullopt);
    details.setNumber(DetailNumber::NormalCost, random.bounded(1000.0));
    details.setDemand(resource, random.bounded(5));
    return details;
}

} // namespace

class TestDetailHistory : public QObject
{
    Q_OBJECT

private slots:
    void deletedRowComesBackWithItsDetails();
    void everyChangeUndoesAndRedoesWithItsDetails();
};

void TestDetailHistory::deletedRowComesBackWithItsDetails()
{
    Plan plan;
    const ResourceId crane = plan.addResource();
    WorkTable table;
    WorkInputs works;
    WorkDetails details;
    details.name = QStringLiteral("Монтаж \"каркаса\"");
    details.setNumber(DetailNumber::Optimistic, 2);
    details.setNumber(DetailNumber::Pessimistic, 7.25);
    details.setNumber(DetailNumber::Shortest, 1);
    details.setNumber(DetailNumber::NormalCost, 1e6);
    details.setNumber(DetailNumber::ShortestCost, 1.5e6);
    details.setDemand(crane, 2);
    works.append(u"1", u"2", u"3");
    works.append(u"2", u"3", u"4,5", details);
    works.append(u"3", u"4", u"1");
    WorkHistory history;
    history.push(std::make_unique<WorkChange>(table, 0, 1, works, ShownState()));
    QCOMPARE(table.rowsWithDetails(), 1);

    // Deleting the row, as the delete command does.
    history.push(std::make_unique<WorkChange>(table, 1, 1, WorkInputs(), ShownState()));
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.rowsWithDetails(), 0);
    history.undo(nothingShown);
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.cell(WorkColumn::Duration, 1), QStringLiteral("4,5"));
    QVERIFY(table.details(1) == details);
    QCOMPARE(*table.details(1).number(DetailNumber::Pessimistic), 7.25);
    QCOMPARE(table.details(1).demand(crane), 2.0);
    QVERIFY(table.details(0).isEmpty() && table.details(2).isEmpty());
    history.redo(nothingShown);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 1), QStringLiteral("3"));
    QVERIFY(table.details(1).isEmpty());
}

void TestDetailHistory::everyChangeUndoesAndRedoesWithItsDetails()
{
    // Random changes of every kind the window makes (adding, editing a work's input, editing
    // its details, deleting, pasting, importing), the works and details after each kept aside;
    // undoing all of them and redoing all of them passes through the same states.
    Plan plan;
    const ResourceId resource = plan.addResource();
    WorkTable table;
    WorkHistory history;
    std::vector<WorkInputs> states{everything(table)};
    QRandomGenerator random(3);
    int detailEdits = 0;
    for (int step = 0; step < 200; ++step) {
        const int rows = table.rowCount();
        const int row = random.bounded(rows);
        std::unique_ptr<WorkChange> change;
        switch (random.bounded(5)) {
        case 0: { // add or paste a few works, some with details
            WorkInputs added;
            for (int i = random.bounded(1, 4); i > 0; --i) {
                const QString start = QString::number(random.bounded(50));
                if (random.bounded(2))
                    added.append(start, u"e", u"3", someDetails(random, resource));
                else
                    added.append(start, u"e", u"3");
            }
            change = std::make_unique<WorkChange>(table, rows, 0, added, ShownState());
            break;
        }
        case 1: // the element dialog: new input texts, the details kept
            change = std::make_unique<WorkChange>(
                table, row, 1,
                WorkInputs::editedRow(table, row, u"x", u"y", QString::number(random.bounded(9))),
                ShownState());
            break;
        case 2: { // a detail edit, checked
            WorkDetails details = table.details(row);
            details.name = QStringLiteral("имя %1").arg(step);
            details.setNumber(DetailNumber::ShortestCost, 1e9);
            change = std::make_unique<WorkChange>(
                table, row, 1, detailrules::checkedRow(table, row, details, plan, numbers()),
                ShownState());
            ++detailEdits;
            break;
        }
        case 3: // delete
            if (rows == 1)
                continue;
            change = std::make_unique<WorkChange>(table, row, 1, WorkInputs(), ShownState());
            break;
        default: { // import over the whole table
            WorkInputs imported;
            for (int i = random.bounded(1, 6); i > 0; --i)
                imported.append(QString::number(i), u"z", u"1", someDetails(random, resource));
            change = std::make_unique<WorkChange>(table, 0, rows, imported, ShownState());
        }
        }
        history.push(std::move(change));
        states.push_back(everything(table));
    }
    QVERIFY(detailEdits > 10);
    QVERIFY(table.rowsWithDetails() > 0);
    for (std::size_t back = states.size() - 1; back > 0; --back) {
        history.undo(nothingShown);
        QVERIFY(everything(table) == states[back - 1]);
    }
    QVERIFY(!history.canUndo());
    for (std::size_t forward = 1; forward < states.size(); ++forward) {
        history.redo(nothingShown);
        QVERIFY(everything(table) == states[forward]);
    }
}

QTEST_MAIN(TestDetailHistory)
#include "tst_detailhistory.moc"
