#include "DialogDriver.h"
#include "FileTestSupport.h"
#include "Table.h"
#include "TfmMain.h"
#include "WorkTable.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readingChoosesEndsAndRecalculates();
    void savingWritesTheWorksAndReadsBack();
    void cancelledOpenStillRunsTheFollowUp();
    void missingFileKeepsTheTableAndTheMode();
    void dialogsRememberTheLastName();
    void exportWritesTheCalculatedTable();

private:
    QComboBox* selector(const char* name) const
    {
        return m_window->findChild<QComboBox*>(QLatin1String(name));
    }
    QAbstractButton* button(const char* name) const
    {
        return m_window->findChild<QAbstractButton*>(QLatin1String(name));
    }
    void load(const QString& path)
    {
        answerFileDialog(path, "odMain");
        button("sbLoadTemp")->click();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TfmMain> m_window;
};

void TestFileCommands::init()
{
    QVERIFY(m_dir.isValid());
    m_window = std::make_unique<TfmMain>();
    m_window->show();
}

void TestFileCommands::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestFileCommands::readingChoosesEndsAndRecalculates()
{
    const QString path = m_dir.filePath(QStringLiteral("plan.kdf"));
    writeAll(path, "1\r\n2\r\n3\r\n1\r\n3\r\n2\r\n2\r\n4\r\n4\r\n3\r\n4\r\n6\r\n");
    m_window->sbInitBordersClick(); // mode off: reading switches it on again
    QVERIFY(!m_window->automaticEnds());
    load(path);
    const WorkTable& table = m_window->workTable();
    QCOMPARE(table.rowCount(), 4);
    QVERIFY(m_window->automaticEnds());
    QCOMPARE(selector("cbFrom")->currentText(), QStringLiteral("1"));
    QCOMPARE(selector("cbTo")->currentText(), QStringLiteral("4"));
    QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("pWay"))->text(),
             QStringLiteral("    Критический путь [L=8]:  ' 1 '  ->  ' 3 '  ->  ' 4 ' "));
    QCOMPARE(table.cell(WorkColumn::LateStart, 0), QStringLiteral("1"));
    QCOMPARE(table.cell(WorkColumn::FreeFloat, 2), QStringLiteral("1"));
    QVERIFY(button("sbEdit")->isEnabled());
}

void TestFileCommands::savingWritesTheWorksAndReadsBack()
{
    WorkTable& table = m_window->workTable();
    table.setRowCount(2);
    const char* cells[][3] = {{"1", "2", "5"}, {"2", "3", "4"}};
    for (int row = 0; row < 2; ++row) {
        table.setCell(WorkColumn::StartEvent, row, QString::fromLatin1(cells[row][0]));
        table.setCell(WorkColumn::EndEvent, row, QString::fromLatin1(cells[row][1]));
        table.setCell(WorkColumn::Duration, row, QString::fromLatin1(cells[row][2]));
    }
    const QString path = m_dir.filePath(QStringLiteral("saved.kdf"));
    writeAll(path, "replaced without a question");
    answerFileDialog(path, "sdMain");
    button("sbSaveTemp")->click();
    QCOMPARE(readAll(path), QByteArray::fromHex("310D0A320D0A350D0A320D0A330D0A340D0A"));

    table.setRowCount(1);
    load(path);
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.cell(WorkColumn::Duration, 1), QStringLiteral("4"));
}

void TestFileCommands::cancelledOpenStillRunsTheFollowUp()
{
    WorkTable& table = m_window->workTable();
    table.setRowCount(2);
    table.setCell(WorkColumn::StartEvent, 0, QStringLiteral("a"));
    table.setCell(WorkColumn::EndEvent, 0, QStringLiteral("b"));
    table.setCell(WorkColumn::Duration, 0, QStringLiteral("2"));
    m_window->FillEventLists(); // the mode switches off: the selectors were empty
    QVERIFY(!m_window->automaticEnds());
    load(QString());
    QCOMPARE(table.rowCount(), 2);
    QVERIFY(m_window->automaticEnds());
    QCOMPARE(selector("cbFrom")->currentText(), QStringLiteral("a"));
    QCOMPARE(selector("cbTo")->currentText(), QStringLiteral("b"));
    QVERIFY(button("sbEdit")->isEnabled());
}

void TestFileCommands::missingFileKeepsTheTableAndTheMode()
{
    WorkTable& table = m_window->workTable();
    table.setCell(WorkColumn::StartEvent, 0, QStringLiteral("kept"));
    m_window->sbInitBordersClick();
    QVERIFY(!m_window->automaticEnds());
    QString message;
    captureErrorBox(message);
    load(m_dir.filePath(QStringLiteral("no such file.kdf")));
    QTRY_COMPARE(message, QStringLiteral("File not found."));
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("kept"));
    QVERIFY(!m_window->automaticEnds()); // the steps after a failed reading do not run
}

void TestFileCommands::dialogsRememberTheLastName()
{
    const QString path = m_dir.filePath(QStringLiteral("remember.kdf"));
    writeAll(path, "x\r\ny\r\n1\r\n");
    load(path);
    QString offered;
    whenModalShown<QFileDialog>([&offered](QFileDialog* dialog) {
        offered = dialog->selectedFiles().value(0);

        dialog->reject();
    });
    button("sbLoadTemp")->click();
    QCOMPARE(offered, path);
}

void TestFileCommands::exportWritesTheCalculatedTable()
{
    const QString plan = m_dir.filePath(QStringLiteral("export.kdf"));
    // A duration as the user's locale writes it: the suite runs under several locales.
    writeAll(plan, "1\r\n2\r\n3\r\n2\r\n3\r\n2" + QLocale().decimalPoint().toLatin1() + "5\r\n");
    load(plan);
    const QString path = m_dir.filePath(QStringLiteral("plan.dbf"));
    answerFileDialog(path, "sdBase");
    button("sbSaveBase")->click();
    db::Table exported;
    exported.setDatabaseName(m_dir.path());
    exported.setTableName(QStringLiteral("plan.dbf"));
    exported.open();
    QCOMPARE(exported.recordCount(), 2);
    QCOMPARE(exported.value(1, 1).toText(), QStringLiteral("2"));
    QCOMPARE(exported.value(1, 3).toNumber(), 2.5L);
    QCOMPARE(exported.value(1, 4).toNumber(), 3.0L);
    exported.close();

    // Before any recalculation the computed cells are empty: the export stops with the
    // conversion message and the file of that name keeps what it had.
    m_window->RecalcOrClear();
    m_window->sbInitBordersClick();
    m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(QString());
    m_window->RecalcOrClear();
    QString message;
    captureErrorBox(message);
    answerFileDialog(path, "sdBase");
    button("sbSaveBase")->click();
    QTRY_COMPARE(message, QStringLiteral("'' is not a valid floating point value."));
    exported.open();
    QCOMPARE(exported.recordCount(), 2);
}

QTEST_MAIN(TestFileCommands)

#include "tst_filecommands.moc"
