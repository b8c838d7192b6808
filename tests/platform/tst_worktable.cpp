#include "NameCollation.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <limits>

class TestWorkTable : public QObject
{
    Q_OBJECT

private slots:
    void keepsAtLeastOneRow();
    void addedRowsStartEmpty();
    void emptyTablePredicate();
    void cellsHoldAnyTextExactly();
    void rowRunsMoveAndComeBackExactly();
    void batchAnnouncesOneChange();
    void batchTurnsRowChangesIntoOneReset();
    void eventListsDropCaseDuplicatesAndSort();
    void dialogListKeepsFirstSpellingInOrder();
};

void TestWorkTable::keepsAtLeastOneRow()
{
    WorkTable table;
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.columnCount(), 11);
    table.setRowCount(0);
    QCOMPARE(table.rowCount(), 1);
    table.setRowCount(-5);
    QCOMPARE(table.rowCount(), 1);
    table.setRowCount(4);
    QCOMPARE(table.rowCount(QModelIndex()), 4);
}

void TestWorkTable::addedRowsStartEmpty()
{
    WorkTable table;
    table.setRowCount(3);
    for (int column = 0; column < kWorkColumnCount; ++column)
        table.setCell(static_cast<WorkColumn>(column), 2, QStringLiteral("x%1").arg(column));
    table.setRowCount(2);
    table.setRowCount(3);
    for (int column = 0; column < kWorkColumnCount; ++column)
        QVERIFY(table.cellView(static_cast<WorkColumn>(column), 2).isEmpty());
}

void TestWorkTable::emptyTablePredicate()
{
    WorkTable table;
    QVERIFY(table.isEmptyTable());
    // Other cells of the single row do not matter.
    table.setCell(WorkColumn::EndEvent, 0, QStringLiteral("B"));
    table.setCell(WorkColumn::Duration, 0, QStringLiteral("5"));
    QVERIFY(table.isEmptyTable());
    table.setCell(WorkColumn::StartEvent, 0, QStringLiteral(" "));
    QVERIFY(!table.isEmptyTable());
    table.setCell(WorkColumn::StartEvent, 0, QString());
    table.setRowCount(2);
    QVERIFY(!table.isEmptyTable()); // two blank rows are not the empty table
}

void TestWorkTable::cellsHoldAnyTextExactly()
{
    // Random writes of texts of any length, compared against a plain model of the table.
    WorkTable table;
    constexpr int rows = 40;
    table.setRowCount(rows);
    std::vector<std::array<QString, kWorkColumnCount>> expected(rows);
    QRandomGenerator random(20261207);
    for (int step = 0; step < 20000; ++step) {
        const int row = random.bounded(rows);
        const int column = random.bounded(kWorkColumnCount);
        const int length = random.bounded(10) == 0 ? random.bounded(3000) : random.bounded(8);
        QString text(length, Qt::Uninitialized);
        for (QChar& c : text)
            c = QChar(static_cast<char16_t>(random.bounded(1, 0xD7FF)));
        table.setCell(static_cast<WorkColumn>(column), row, text);
        expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kWorkColumnCount; ++column) {
            const QString& want =
                expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            QCOMPARE(table.cell(static_cast<WorkColumn>(column), row), want);
            QCOMPARE(table.data(table.index(row, column)).toString(), want);
        }
    }
}

namespace {

QString randomText(QRandomGenerator& random)
{
    QString text(random.bounded(10) ? random.bounded(6) : random.bounded(400), Qt::Uninitialized);
    const bool cyrillic = random.bounded(2) == 0;
    for (QChar& c : text)
        c = QChar(char16_t(cyrillic ? random.bounded(0x400, 0x460) : random.bounded(0x10000)));
    return text;
}

// Details with every part set or not at random: any name, any double (negative zero, infinities
// and the largest ones among them), any number of demands.
WorkDetails randomDetails(QRandomGenerator& random)
{
    WorkDetails details;
    if (random.bounded(2))
        details.name = randomText(random);
    const double odd[] = {-0.0, 1e308, -1e-308, 2.5, std::numeric_limits<double>::infinity()};
    for (auto& number : details.numbers) {
        if (random.bounded(2))
            number = random.bounded(3) ? random.bounded(1000.0) : odd[random.bounded(5)];
    }
    for (int i = random.bounded(random.bounded(4) ? 3 : 40); i > 0; --i)
        details.setDemand(ResourceId(random.bounded(1u << 31)) * 2, random.bounded(10.0));
    return details;
}

} // namespace

void TestWorkTable::rowRunsMoveAndComeBackExactly()
{
    // Random insertions, removals and replacements of runs of rows, and runs of input cells and
    // details taken out as WorkInputs and written back elsewhere, against a plain model of the
    // table whose last slot is a row's details. Texts of any UTF-16 unit (lone surrogates and
    // characters outside Windows-1251 among them) and of any length come back exactly, and the
    // details stay with their row.
    using Row = std::array<QString, kWorkColumnCount>;
    struct ModelRow
    {
        Row cells;
        WorkDetails details;
    };
    WorkTable table;
    std::vector<ModelRow> model(1);
    QRandomGenerator random(20261208);
    for (int step = 0; step < 4000; ++step) {
        const int rows = table.rowCount();
        const int at = random.bounded(rows);
        const int count = random.bounded(1, rows - at + 1);
        switch (random.bounded(6)) {
        case 0:
            table.insertRowsAt(at, count);
            model.insert(model.begin() + at, std::size_t(count), ModelRow());
            break;
        case 1:
            if (count < rows) {
                table.removeRowsAt(at, count);
                model.erase(model.begin() + at, model.begin() + at + count);
            }
            break;
        case 2: {
            const int column = random.bounded(kWorkColumnCount);
            const QString text = randomText(random);
            table.setCell(static_cast<WorkColumn>(column), at, text);
            model[std::size_t(at)].cells[std::size_t(column)] = text;
            break;
        }
        case 3: {
            const WorkDetails details = random.bounded(4) ? randomDetails(random) : WorkDetails();
            table.setDetails(at, details);
            model[std::size_t(at)].details = details;
            break;
        }
        case 4: {
            // New works, with details or without, in place of a run (or of the whole table).
            WorkInputs works;
            std::vector<ModelRow> added(std::size_t(random.bounded(4)));
            for (ModelRow& work : added) {
                for (int column = 1; column <= 3; ++column)
                    work.cells[std::size_t(column)] = randomText(random);
                if (random.bounded(2))
                    work.details = randomDetails(random);
                works.append(work.cells[1], work.cells[2], work.cells[3], work.details);
            }
            const bool whole = random.bounded(8) == 0;
            const int from = whole ? 0 : at;
            const int replaced = whole ? rows : count;
            table.replaceRows(from, replaced, works);
            model.erase(model.begin() + from, model.begin() + from + replaced);
            model.insert(model.begin() + from, added.begin(), added.end());
            if (model.empty())
                model.resize(1);
            break;
        }
        default: {
            const int to = random.bounded(rows - count + 1);
            WorkInputs::ofRows(table, at, count).writeInto(table, to);
            const std::vector<ModelRow> taken(model.begin() + at, model.begin() + at + count);
            for (std::size_t i = 0; i < std::size_t(count); ++i) {
                ModelRow& target = model[std::size_t(to) + i];
                std::copy_n(taken[i].cells.begin() + 1, 3, target.cells.begin() + 1);
                target.details = taken[i].details;
            }
        }
        }
    }
    QCOMPARE(table.rowCount(), int(model.size()));
    int withDetails = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < kWorkColumnCount; ++column)
            QCOMPARE(table.cell(static_cast<WorkColumn>(column), row),
                     model[std::size_t(row)].cells[std::size_t(column)]);
        QVERIFY(table.details(row) == model[std::size_t(row)].details);
        withDetails += !model[std::size_t(row)].details.isEmpty();
    }
    QVERIFY(withDetails > 0);
    QCOMPARE(table.rowsWithDetails(), withDetails);
}

void TestWorkTable::batchAnnouncesOneChange()
{
    WorkTable table;
    table.setRowCount(100);
    QSignalSpy changes(&table, &QAbstractItemModel::dataChanged);
    table.setCell(WorkColumn::Duration, 5, QStringLiteral("1"));
    QCOMPARE(changes.size(), 1);
    {
        const WorkTable::Batch outer(table);
        const WorkTable::Batch inner(table);
        for (int row = 0; row < 100; ++row)
            table.setCell(WorkColumn::EarlyStart, row, QString::number(row));
    }
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes.last().at(0).toModelIndex(), table.index(0, 0));
    QCOMPARE(changes.last().at(1).toModelIndex(), table.index(99, 10));
}

void TestWorkTable::batchTurnsRowChangesIntoOneReset()
{
    WorkTable table;
    table.setRowCount(3);
    table.setCell(WorkColumn::StartEvent, 2, QStringLiteral("c"));
    QSignalSpy resets(&table, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&table, &QAbstractItemModel::rowsInserted);
    QSignalSpy changes(&table, &QAbstractItemModel::dataChanged);
    {
        const WorkTable::Batch batch(table);
        table.setCell(WorkColumn::StartEvent, 0, QStringLiteral("a"));
        for (int rows = 4; rows <= 1000; ++rows)
            table.setRowCount(rows);
        table.removeRowsAt(1, 1);
        QCOMPARE(resets.size(), 0);
    }
    QCOMPARE(resets.size(), 1);
    QCOMPARE(inserts.size(), 0);
    QCOMPARE(changes.size(), 0);
    QCOMPARE(table.rowCount(), 999);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("a"));
    QCOMPARE(table.cell(WorkColumn::StartEvent, 1), QStringLiteral("c"));
    // Outside a batch, removing a row is announced as such.
    QSignalSpy removals(&table, &QAbstractItemModel::rowsRemoved);
    table.removeRowsAt(0, 1);
    QCOMPARE(removals.size(), 1);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("c"));
}

void TestWorkTable::eventListsDropCaseDuplicatesAndSort()
{
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    const QStringList column{QStringLiteral("b"),  QStringLiteral("A"), QStringLiteral("a"),
                             QStringLiteral("10"), QStringLiteral("2"), QString()};
    QCOMPARE(names.distinctSorted(column), QStringList({QStringLiteral("10"), QStringLiteral("2"),
                                                        QStringLiteral("A"), QStringLiteral("b")}));
    QVERIFY(names.equalIgnoringCase(QStringLiteral("Ёлка"), QStringLiteral("ёЛКА")));
    QVERIFY(!names.equalIgnoringCase(QStringLiteral("е"), QStringLiteral("ё")));
    QCOMPARE(names.indexOf({QStringLiteral("X"), QStringLiteral("Узел")}, QStringLiteral("узел")),
             1);
}

void TestWorkTable::dialogListKeepsFirstSpellingInOrder()
{
    const NameCollation names;
    const QStringList events{QStringLiteral("X"), QStringLiteral("B"), QStringLiteral("x"),
                             QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("D")};
    QCOMPARE(names.distinctInOrder(events),
             QStringList({QStringLiteral("X"), QStringLiteral("B"), QStringLiteral("A"),
                          QStringLiteral("D")}));
}

QTEST_GUILESS_MAIN(TestWorkTable)
#include "tst_worktable.moc"
