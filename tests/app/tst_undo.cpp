#include "DialogDriver.h"
#include "FileTestSupport.h"
#include "TfmMain.h"
#include "WidgetTestSupport.h"
#include "WorkHistory.h"
#include "WorkTable.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using testsupport::writeAll;

// The house example of the user guide, with the decimal separator of the locale the test runs in.
QByteArray house()
{
    return QByteArray("1\r\n2\r\n3\r\n1\r\n3\r\n5\r\n2\r\n4\r\n4\r\n3\r\n4\r\n0\r\n3\r\n5\r\n"
                      "2,5\r\n4\r\n6\r\n6\r\n5\r\n6\r\n1\r\n6\r\n7\r\n3\r\n6\r\n8\r\n2\r\n7\r\n"
                      "9\r\n4\r\n8\r\n9\r\n1,5\r\n9\r\n10\r\n1\r\n")
        .replace(',', QLocale().decimalPoint().toLatin1());
}
const QByteArray kOtherNetwork = "1\r\n2\r\n4\r\n2\r\n3\r\n5\r\n";

// The window as the user sees it, line by line: every cell, the selectors with their lists and
// states, the automatic ends, the path line and list, the current row and the enabled commands.
QStringList shown(TfmMain& window)
{
    QStringList lines;
    const WorkTable& table = window.workTable();
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < kWorkColumnCount; ++column)
            cells.append(table.cell(static_cast<WorkColumn>(column), row));
        lines.append(QStringLiteral("row %1: %2").arg(row).arg(cells.join(u'|')));
    }
    for (const char* name : {"cbFrom", "cbTo"}) {
        auto* selector = window.findChild<QComboBox*>(QLatin1String(name));
        lines.append(
            QStringLiteral("%1: «%2» %3 [%4]")
                .arg(QLatin1String(name), selector->currentText(),
                     selector->isEnabled() ? QStringLiteral("free") : QStringLiteral("locked"),
                     testsupport::comboEntries(selector).join(u',')));
    }
    lines.append(QStringLiteral("automatic ends: %1").arg(window.automaticEnds()));
    lines.append(QStringLiteral("path: ") +
                 window.findChild<QLabel*>(QStringLiteral("pWay"))->text());
    lines.append(QStringLiteral("critical path: ") + window.criticalPath().join(u' '));
    lines.append(QStringLiteral("current row: %1").arg(window.currentRow()));
    QStringList enabled;
    for (const char* name : {"sbEdit", "sbDel", "sbRecalc", "sbCalendar", "sbCopy"}) {
        if (window.findChild<QAbstractButton*>(QLatin1String(name))->isEnabled())
            enabled.append(QLatin1String(name));
    }
    lines.append(QStringLiteral("enabled: ") + enabled.join(u' '));
    return lines;
}

QStringList tableOf(const WorkTable& table)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row)
        rows.append(table.cell(WorkColumn::StartEvent, row) + u'|' +
                    table.cell(WorkColumn::EndEvent, row) + u'|' +
                    table.cell(WorkColumn::Duration, row));
    return rows;
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void undoGivesBackTheWindowAndRedoTheChange_data();
    void undoGivesBackTheWindowAndRedoTheChange();
    void copiedWorksPasteIntoAnEmptyTable();
    void badPastedLineAddsNothing();
    void historyKeepsAHundredStepsWithinItsBudget();

private:
    QAbstractButton* button(const char* name) const
    {
        return m_window->findChild<QAbstractButton*>(QLatin1String(name));
    }
    void load(const QByteArray& bytes);
    void prepare(const QString& state);
    void change(const QString& kind, int row);

    QTemporaryDir m_dir;
    std::unique_ptr<TfmMain> m_window;
};

void TestUndo::init()
{
    QVERIFY(m_dir.isValid());
    m_window = std::make_unique<TfmMain>();
    m_window->show();
}

void TestUndo::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestUndo::load(const QByteArray& bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("plan.kdf"));
    writeAll(path, bytes);
    answerFileDialog(path, "odMain");
    button("sbLoadTemp")->click();
}

void TestUndo::prepare(const QString& state)
{
    if (state == QLatin1String("start-up"))
        return;
    load(house());
    if (state == QLatin1String("chosen by hand")) {
        button("sbInitBorders")->click();
        m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(QStringLiteral("1"));
        m_window->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QStringLiteral("8"));
        button("sbRecalc")->click();
    }
}

void TestUndo::change(const QString& kind, int row)
{
    m_window->setCurrentRow(row);
    if (kind == QLatin1String("add")) {
        whenModalShown([](QWidget* dialog) {
            dialog->findChild<QComboBox*>(QStringLiteral("cbFrom"))
                ->setEditText(QStringLiteral("10"));
            dialog->findChild<QComboBox*>(QStringLiteral("cbTo"))
                ->setEditText(QStringLiteral("11"));
            dialog->findChild<QLineEdit*>(QStringLiteral("eLength"))->setText(QStringLiteral("2"));
            clickChild(dialog, "sbOk");
        });
        button("sbNewLine")->click();
    } else if (kind == QLatin1String("edit")) {
        whenModalShown([](QWidget* dialog) {
            dialog->findChild<QComboBox*>(QStringLiteral("cbTo"))
                ->setEditText(QStringLiteral("12"));
            clickChild(dialog, "sbOk");
        });
        button("sbEdit")->click();
    } else if (kind == QLatin1String("delete")) {
        button("sbDel")->click();
    } else if (kind == QLatin1String("read")) {
        load(kOtherNetwork);
    } else if (kind == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(
            QStringLiteral("10\t13\t1\n13\t14\t0%15\n").arg(QLocale().decimalPoint()));
        button("sbPaste")->click();
    } else if (kind == QLatin1String("import")) {
        const QString path = m_dir.filePath(QStringLiteral("plan.csv"));
        writeAll(path, "\xEF\xBB\xBFНачало;Конец;Продолжит.\r\nА;Б;3\r\nБ;В;2\r\n");
        answerFileDialog(path, "odCsv");
        button("sbLoadCsv")->click();
    }
}

void TestUndo::undoGivesBackTheWindowAndRedoTheChange_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("row");
    const QString startUp = QStringLiteral("start-up");
    const QString calculated = QStringLiteral("calculated");
    const QString byHand = QStringLiteral("chosen by hand");
    // The first work switches the automatic ends off; undo switches them on again.
    QTest::newRow("start-up: add") << startUp << QStringLiteral("add") << 0;
    QTest::newRow("start-up: read") << startUp << QStringLiteral("read") << 0;
    QTest::newRow("start-up: paste") << startUp << QStringLiteral("paste") << 0;
    QTest::newRow("start-up: import") << startUp << QStringLiteral("import") << 0;
    QTest::newRow("calculated: add") << calculated << QStringLiteral("add") << 3;
    QTest::newRow("calculated: edit") << calculated << QStringLiteral("edit") << 2;
    QTest::newRow("calculated: delete") << calculated << QStringLiteral("delete") << 5;
    // The selected end event goes: the columns are recalculated with it, then it is emptied.
    QTest::newRow("calculated: delete the last work")
        << calculated << QStringLiteral("delete") << 11;
    QTest::newRow("calculated: read") << calculated << QStringLiteral("read") << 4;
    QTest::newRow("calculated: paste") << calculated << QStringLiteral("paste") << 0;
    QTest::newRow("calculated: import") << calculated << QStringLiteral("import") << 0;
    QTest::newRow("by hand: edit the end event away") << byHand << QStringLiteral("edit") << 8;
    QTest::newRow("by hand: delete") << byHand << QStringLiteral("delete") << 0;
    QTest::newRow("by hand: read") << byHand << QStringLiteral("read") << 0;
}

void TestUndo::undoGivesBackTheWindowAndRedoTheChange()
{
    QFETCH(QString, state);
    QFETCH(QString, change);
    QFETCH(int, row);
    prepare(state);
    m_window->setCurrentRow(row);
    const bool couldRedo = button("sbRedo")->isEnabled();
    const QStringList before = shown(*m_window);
    this->change(change, row);
    const QStringList after = shown(*m_window);
    QVERIFY(after != before);
    QVERIFY(button("sbUndo")->isEnabled());
    QVERIFY(!button("sbRedo")->isEnabled() && !couldRedo);

    button("sbUndo")->click();
    QCOMPARE(shown(*m_window), before);
    QVERIFY(button("sbRedo")->isEnabled());
    button("sbRedo")->click();
    QCOMPARE(shown(*m_window), after);
    button("sbUndo")->click();
    QCOMPARE(shown(*m_window), before);
}

void TestUndo::copiedWorksPasteIntoAnEmptyTable()
{
    load(house());
    m_window->setCurrentRow(4);
    TfmMain other;
    // All works, then the current one after them.
    for (const char* copy : {"sbCopyAll", "sbCopy"}) {
        button(copy)->click();
        other.findChild<QAbstractButton*>(QStringLiteral("sbPaste"))->click();
    }
    const QStringList works = tableOf(m_window->workTable());
    QCOMPARE(tableOf(other.workTable()), works + QStringList{works[4]});
}

void TestUndo::badPastedLineAddsNothing()
{
    load(house());
    const QStringList before = shown(*m_window);
    // Cells as a spreadsheet puts them on the clipboard, the second line's duration in words.
    QGuiApplication::clipboard()->setText(QStringLiteral("10\t11\t1\n11\t12\tдва\n"));
    QString message;
    captureErrorBox(message);
    button("sbPaste")->click();
    QCOMPARE(message, QStringLiteral("Строка 2 вставляемого текста: длина элемента «два» не "
                                     "является неотрицательным числом; ничего не вставлено."));
    QCOMPARE(shown(*m_window), before);
    // Nothing to undo but the reading.
    button("sbUndo")->click();
    QVERIFY(m_window->workTable().isEmptyTable());
    QVERIFY(!button("sbUndo")->isEnabled());
}

void TestUndo::historyKeepsAHundredStepsWithinItsBudget()
{
    // A hundred edits of one row, each undone in turn.
    WorkTable table;
    WorkHistory history;
    const auto work = [](int version) {
        WorkInputs row;
        row.append(QStringLiteral("a%1").arg(version), QStringLiteral("b"), QStringLiteral("1"));
        return row;
    };
    for (int version = 1; version <= 100; ++version)
        history.push(std::make_unique<WorkChange>(table, 0, 1, work(version), ShownState()));
    const auto shownNow = [] {
        return ShownState();
    };
    for (int version = 99; version >= 0; --version) {
        QVERIFY(history.canUndo());
        history.undo(shownNow);
        QCOMPARE(table.cell(WorkColumn::StartEvent, 0),
                 version ? QStringLiteral("a%1").arg(version) : QString());
    }
    QVERIFY(!history.canUndo());

    // Whole tables read over one another with room for three of them (and the steps' own few
    // bytes): past the budget the oldest give their memory back, and the history ends there.
    constexpr int kRows = 2000;
    const auto version = [](int number) {
        WorkInputs rows;
        for (int row = 0; row < kRows; ++row)
            rows.append(QStringLiteral("%1-%2").arg(number).arg(row), QStringLiteral("конец"),
                        QString::number(row));
        rows.squeeze();
        return rows;
    };
    const qsizetype budget = version(0).byteSize() * 3 + 4096;
    WorkHistory bounded(nullptr, budget);
    for (int number = 1; number <= 8; ++number) {
        bounded.push(std::make_unique<WorkChange>(table, 0, table.rowCount(), version(number),
                                                  ShownState()));
        QVERIFY(bounded.byteSize() <= budget);
    }
    int undone = 0;
    while (bounded.canUndo()) {
        bounded.undo(shownNow);
        ++undone;
        QVERIFY(bounded.byteSize() <= budget);
        QCOMPARE(table.rowCount(), kRows);
        QCOMPARE(table.cell(WorkColumn::StartEvent, kRows - 1),
                 QStringLiteral("%1-%2").arg(8 - undone).arg(kRows - 1));
    }
    QCOMPARE(undone, 3);
    while (bounded.canRedo())
        bounded.redo(shownNow);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("8-0"));
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
