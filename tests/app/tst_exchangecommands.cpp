// Import and export in the main window: the import replaces the works as one undo step, fills the
// plan (names, resources, demands, calendar, start date), recalculates and lists what it could
// not carry over; a file that is not MS Project XML changes nothing; the export writes the format
// of the type chosen in the file dialog.
#include "CalendarSection.h"
#include "DateFormat.h"
#include "DialogDriver.h"
#include "FileTestSupport.h"
#include "TfmImportNotes.h"
#include "TfmMain.h"
#include "WorkTable.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Two tasks, A (12 hours: a day and a half of 8 hours) before B (two days), a resource and an
// assignment, a six-day week with two days off; and what a plan cannot hold: a date constraint,
// manual scheduling, progress and a deadline on A.
const QByteArray kProject =
    "<Project xmlns=\"http://schemas.microsoft.com/project\"><StartDate>2027-02-01T08:00:00"
    "</StartDate><MinutesPerDay>480</MinutesPerDay><CalendarUID>1</CalendarUID><Calendars>"
    "<Calendar><UID>1</UID><WeekDays><WeekDay><DayType>7</DayType><DayWorking>1</DayWorking>"
    "</WeekDay></WeekDays><Exceptions><Exception><TimePeriod><FromDate>2027-02-23T00:00:00"
    "</FromDate><ToDate>2027-02-24T23:59:00</ToDate></TimePeriod><DayWorking>0</DayWorking>"
    "</Exception></Exceptions></Calendar></Calendars><Tasks><Task><UID>1</UID><Name>A</Name>"
    "<Duration>PT12H0M0S</Duration><ConstraintType>4</ConstraintType><Manual>1</Manual>"
    "<PercentComplete>50</PercentComplete><Deadline>2027-03-01T17:00:00</Deadline></Task>"
    "<Task><UID>2</UID><Name>B</Name><Duration>PT16H0M0S</Duration><PredecessorLink>"
    "<PredecessorUID>1</PredecessorUID><Type>1</Type></PredecessorLink></Task></Tasks>"
    "<Resources><Resource><UID>1</UID><Name>Кран</Name><Type>0</Type><MaterialLabel>шт"
    "</MaterialLabel><MaxUnits>2</MaxUnits></Resource></Resources><Assignments><Assignment>"
    "<TaskUID>2</TaskUID><ResourceUID>1</ResourceUID><Units>1.5</Units></Assignment>"
    "</Assignments></Project>";

} // namespace

class TestExchangeCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importReplacesTheWorksAndThePlanAsOneStep();
    void fileThatIsNotMsProjectXmlChangesNothing();
    void exportWritesTheFormatOfTheChosenType_data();
    void exportWritesTheFormatOfTheChosenType();

private:
    QAbstractButton* button(const char* name) const
    {
        return m_window->findChild<QAbstractButton*>(QLatin1String(name));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TfmMain> m_window;
};

void TestExchangeCommands::init()
{
    QVERIFY(m_dir.isValid());
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    WorkTable& table = m_window->workTable();
    table.setCell(WorkColumn::StartEvent, 0, QStringLiteral("kept"));
    table.setCell(WorkColumn::EndEvent, 0, QStringLiteral("end"));
    table.setCell(WorkColumn::Duration, 0, QStringLiteral("4"));
}

void TestExchangeCommands::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestExchangeCommands::importReplacesTheWorksAndThePlanAsOneStep()
{
    const QString path = m_dir.filePath(QStringLiteral("contract.xml"));
    testsupport::writeAll(path, kProject);
    QStringList notes;
    whenModalShown<TfmImportNotes>([&notes](TfmImportNotes* window) {
        for (int row = 0; row < window->notesList().count(); ++row)
            notes.append(window->notesList().item(row)->text());
        clickChild(window, "sbClose");
    });
    answerFileDialog(path, "odImport");
    button("sbImport")->click();

    // The constraint, manual scheduling, progress and deadline, each named.
    QTRY_COMPARE(notes.size(), 4);
    const WorkTable& table = m_window->workTable();
    QStringList names;
    for (int row = 0; row < table.rowCount(); ++row) {
        const WorkDetails details = table.details(row);
        if (!details.name.isEmpty())
            names.append(details.name + u'=' + table.cell(WorkColumn::Duration, row));
        if (details.name == u"B")
            QCOMPARE(details.demand(1), std::optional<double>(1.5));
    }
    names.sort();
    const QString comma = QLocale().decimalPoint();
    QCOMPARE(names, QStringList({QStringLiteral("A=1") + comma + u'5', QStringLiteral("B=2")}));
    const Plan& plan = m_window->plan();
    QCOMPARE(int(plan.resources().size()), 1);
    QCOMPARE(plan.resources()[0].name, QStringLiteral("Кран"));
    QCOMPARE(plan.resources()[0].available, std::optional<double>(2));
    const WorkCalendar calendar =
        calendarsection::decode(plan.section(QString::fromUtf16(plansection::kCalendar)));
    QCOMPARE(calendar.week(), WorkWeek::SixDays);
    QVERIFY(!calendar.isWorkingDay(QDate(2027, 2, 24)));
    QCOMPARE(m_window->startDate(), DateFormat::daysOf(QDate(2027, 2, 1)));
    // Recalculated with automatic ends: A then B.
    QVERIFY(m_window->automaticEnds());
    QCOMPARE(m_window->criticalPath().size(), 3);

    button("sbUndo")->click();
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("kept"));
    // The undo history keeps the resources and the calendar with the works.
    QVERIFY(m_window->plan().resources().empty());
    QVERIFY(m_window->plan().section(QString::fromUtf16(plansection::kCalendar)).empty());
    button("sbRedo")->click();
    QCOMPARE(m_window->plan().resources().size(), std::size_t(1));
    QCOMPARE(calendarsection::decode(
                 m_window->plan().section(QString::fromUtf16(plansection::kCalendar)))
                 .week(),
             WorkWeek::SixDays);
}

void TestExchangeCommands::fileThatIsNotMsProjectXmlChangesNothing()
{
    const QString path = m_dir.filePath(QStringLiteral("page.xml"));
    testsupport::writeAll(path, "<html><body>Отчёт</body></html>");
    QString message;
    captureErrorBox(message);
    answerFileDialog(path, "odImport");
    button("sbImport")->click();
    QTRY_VERIFY(message.contains(QStringLiteral("page.xml")));
    QVERIFY(message.contains(QStringLiteral("не файл MS Project XML")));
    QCOMPARE(m_window->workTable().rowCount(), 1);
    QCOMPARE(m_window->workTable().cell(WorkColumn::StartEvent, 0), QStringLiteral("kept"));
    QVERIFY(!button("sbUndo")->isEnabled());
}

void TestExchangeCommands::exportWritesTheFormatOfTheChosenType_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("beginning");
    QTest::newRow("MS Project XML by the filter") << 0 << "plan"
                                                  << "plan.xml" << QByteArray("<?xml");
    QTest::newRow("TaskJuggler by the filter") << 1 << "plan"
                                               << "plan.tjp" << QByteArray("project");
    QTest::newRow("Excel by the filter") << 2 << "plan"
                                         << "plan.xlsx" << QByteArray("PK");
    QTest::newRow("the suffix before the filter") << 0 << "plan.tjp"
                                                  << "plan.tjp" << QByteArray("project");
}

void TestExchangeCommands::exportWritesTheFormatOfTheChosenType()
{
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, beginning);
    auto* from = m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"));
    auto* to = m_window->findChild<QComboBox*>(QStringLiteral("cbTo"));
    if (m_window->automaticEnds())
        m_window->sbInitBordersClick();
    from->setEditText(QStringLiteral("kept"));
    to->setEditText(QStringLiteral("end"));
    QVERIFY(button("sbExport")->isEnabled());

    const QString folder = m_dir.filePath(QString::number(filter) + written);
    QVERIFY(QDir().mkpath(folder));
    whenModalShown<QFileDialog>([&](QFileDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("sdExport"));
        dialog->selectNameFilter(dialog->nameFilters().value(filter));
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QDir(folder).filePath(typed));
        static_cast<QDialog*>(dialog)->accept();
    });
    button("sbExport")->click();
    QTRY_VERIFY(QFile::exists(QDir(folder).filePath(written)));
    QVERIFY(testsupport::readAll(QDir(folder).filePath(written)).startsWith(beginning));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    // The table was recalculated for the export.
    QCOMPARE(m_window->workTable().cell(WorkColumn::EarlyFinish, 0), QStringLiteral("4"));
}

QTEST_MAIN(TestExchangeCommands)
#include "tst_exchangecommands.moc"
