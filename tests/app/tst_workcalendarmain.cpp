// The working calendar in the main window: the dates of the date column as a planner checks them
// by hand on the calendar of March 2027, applying a calendar as one step of the undo history, and
// a work list file read that keeps the plan's calendar.
#include "DialogDriver.h"
#include "EventIndex.h"
#include "FileTestSupport.h"
#include "NameCollation.h"
#include "NetworkAnalysis.h"
#include "NumberFormat.h"
#include "TfmMain.h"
#include "WidgetTestSupport.h"
#include "WorkHistory.h"
#include "WorkTable.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLocale>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using testsupport::allCells;
using testsupport::writeAll;

// Four chains from event 1, so that works begin at the times 0, 5, 5.5 and 4.75: the works
// leaving 1 begin on the first working day, the others on the working day of their early start's
// whole part. Event 9 ends them all.
QByteArray network()
{
    return QByteArray("1\r\n2\r\n5\r\n2\r\n9\r\n1\r\n"
                      "1\r\n3\r\n5,5\r\n3\r\n9\r\n1\r\n"
                      "1\r\n4\r\n4,75\r\n4\r\n9\r\n1\r\n"
                      "1\r\n9\r\n0,5\r\n")
        .replace(',', QLocale().decimalPoint().toLatin1());
}

// The date column's day of each row, as the grid shows it, read back as a date.
QList<QDate> beginDays(TfmMain& window)
{
    const DateFormat format{QLocale()};
    QList<QDate> days;
    const WorkTable& table = window.workTable();
    for (int row = 0; row < table.rowCount(); ++row)
        days.append(DateFormat::dateOf(format.parse(table.cell(WorkColumn::BeginDate, row))));
    return days;
}

} // namespace

class TestWorkCalendarMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void datesFollowTheWorkingDays();
    void undoGivesBackTheCalendarAndItsDates();
    void workListReadKeepsTheCalendar();

private:
    QAbstractButton* button(const char* name) const
    {
        return m_window->findChild<QAbstractButton*>(QLatin1String(name));
    }
    void load(const QByteArray& bytes);
    void setStartDate(QDate day);
    // Opens the working calendar and answers it: `edit` runs on the open window, then OK.
    void applyCalendar(const std::function<void(QWidget*)>& edit);

    QTemporaryDir m_dir;
    std::unique_ptr<TfmMain> m_window;
};

void TestWorkCalendarMain::init()
{
    QVERIFY(m_dir.isValid());
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    load(network());
    button("sbInitBorders")->click();
    m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(QStringLiteral("1"));
    m_window->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QStringLiteral("9"));
    setStartDate(QDate(2027, 3, 1)); // a Monday
}

void TestWorkCalendarMain::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestWorkCalendarMain::load(const QByteArray& bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("network.kdf"));
    writeAll(path, bytes);
    answerFileDialog(path, "odMain");
    button("sbLoadTemp")->click();
}

void TestWorkCalendarMain::setStartDate(QDate day)
{
    whenModalShown([day](QWidget* dialog) {
        dialog->findChild<QCalendarWidget*>(QStringLiteral("mcMain"))->setSelectedDate(day);
        clickChild(dialog, "sbOk");
    });
    button("sbCalendar")->click();
}

void TestWorkCalendarMain::applyCalendar(const std::function<void(QWidget*)>& edit)
{
    bool answered = false;
    whenModalShown([&](QWidget* dialog) {
        answered = dialog->objectName() == QLatin1String("fmWorkCalendar");
        edit(dialog);
        clickChild(dialog, "sbOk");
    });
    QVERIFY(button("sbWorkCalendar")->isEnabled());
    button("sbWorkCalendar")->click();
    QVERIFY(answered);
}

void TestWorkCalendarMain::datesFollowTheWorkingDays()
{
    const QDate monday1(2027, 3, 1), friday5(2027, 3, 5), saturday6(2027, 3, 6);
    const QDate monday8(2027, 3, 8), tuesday9(2027, 3, 9);
    // Calendar days: the start date plus the early start, as always.
    QCOMPARE(beginDays(*m_window),
             (QList<QDate>{monday1, saturday6, monday1, saturday6, monday1, friday5, monday1}));

    // A five-day week: 5 working days after Monday 1 March is Monday 8 March, and 4.75 falls on
    // working day 4, Friday 5 March.
    applyCalendar([](QWidget* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("rbWorkingDays"))->click();
    });
    QCOMPARE(beginDays(*m_window),
             (QList<QDate>{monday1, monday8, monday1, monday8, monday1, friday5, monday1}));

    // The fixed holidays of 2027 (the month shown is the start date's) make 8 March a day off.
    applyCalendar([](QWidget* dialog) { clickChild(dialog, "sbHolidays"); });
    QCOMPARE(beginDays(*m_window),
             (QList<QDate>{monday1, tuesday9, monday1, tuesday9, monday1, friday5, monday1}));

    // A start on Saturday 27 February: the first working day is Monday 1 March, and the rest
    // stays where it was.
    setStartDate(QDate(2027, 2, 27));
    QCOMPARE(beginDays(*m_window),
             (QList<QDate>{monday1, tuesday9, monday1, tuesday9, monday1, friday5, monday1}));
    // Six working days a week make that Saturday working day 0, and working day 5 Friday 5 March.
    applyCalendar([](QWidget* dialog) {
        QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("cbWeek")), Qt::Key_Down);
    });
    const QDate saturday27(2027, 2, 27), thursday4(2027, 3, 4);
    QCOMPARE(beginDays(*m_window), (QList<QDate>{saturday27, friday5, saturday27, friday5,
                                                 saturday27, thursday4, saturday27}));

    // The analysis dates every event as the column dates the works leaving it.
    const WorkTable& table = m_window->workTable();
    const NameCollation names{QLocale()};
    const EventIndex events(table, names);
    const NetworkAnalysis analysis(table, events, QStringLiteral("1"), QStringLiteral("9"),
                                   m_window->scheduleDates(), NumberFormat(QLocale()),
                                   DateFormat(QLocale()));
    const AnalysisPage& eventsPage = analysis.page(NetworkAnalysis::Events);
    int compared = 0;
    for (int event = 0; event < eventsPage.rowCount(); ++event) {
        for (int row = 0; row < table.rowCount(); ++row) {
            if (table.cell(WorkColumn::StartEvent, row) != eventsPage.text(event, 0))
                continue;
            QCOMPARE(eventsPage.text(event, 4), table.cell(WorkColumn::BeginDate, row));
            ++compared;
        }
    }
    QCOMPARE(compared, table.rowCount());
}

void TestWorkCalendarMain::undoGivesBackTheCalendarAndItsDates()
{
    const QStringList calendarDays = allCells(m_window->workTable());
    const int steps = m_window->workHistory().stepCount();

    // Accepting the calendar as it stands, or cancelling an edit, leaves nothing to undo.
    applyCalendar([](QWidget*) {});
    whenModalShown([](QWidget* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("rbWorkingDays"))->click();
        clickChild(dialog, "sbCancel");
    });
    button("sbWorkCalendar")->click();
    QCOMPARE(m_window->workHistory().stepCount(), steps);
    QCOMPARE(allCells(m_window->workTable()), calendarDays);

    applyCalendar([](QWidget* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("rbWorkingDays"))->click();
        clickChild(dialog, "sbHolidays");
    });
    QCOMPARE(m_window->workHistory().stepCount(), steps + 1);
    const QStringList workingDays = allCells(m_window->workTable());
    const Plan withCalendar = m_window->plan();
    QVERIFY(workingDays != calendarDays);

    button("sbUndo")->click();
    QCOMPARE(allCells(m_window->workTable()), calendarDays);
    QVERIFY(m_window->plan().sections().empty());
    button("sbRedo")->click();
    QCOMPARE(allCells(m_window->workTable()), workingDays);
    QVERIFY(m_window->plan() == withCalendar);

    // A change of the works after it: undoing that keeps the calendar, undoing both drops it.
    m_window->setCurrentRow(0);
    button("sbDel")->click();
    button("sbUndo")->click();
    QCOMPARE(allCells(m_window->workTable()), workingDays);
    button("sbUndo")->click();
    QCOMPARE(allCells(m_window->workTable()), calendarDays);
}

void TestWorkCalendarMain::workListReadKeepsTheCalendar()
{
    applyCalendar([](QWidget* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("rbWorkingDays"))->click();
    });
    const Plan withCalendar = m_window->plan();
    const QStringList workingDays = allCells(m_window->workTable());
    load(network());
    // Reading a work list chooses the ends afresh; the calendar and the start date stay.
    QVERIFY(m_window->plan().sections() == withCalendar.sections());
    QCOMPARE(m_window->plan().startDate(), withCalendar.startDate());
    QCOMPARE(allCells(m_window->workTable()), workingDays);
    // The window opens on what the plan holds.
    bool working = false;
    whenModalShown([&working](QWidget* dialog) {
        working = dialog->findChild<QRadioButton*>(QStringLiteral("rbWorkingDays"))->isChecked();
        clickChild(dialog, "sbCancel");
    });
    button("sbWorkCalendar")->click();
    QVERIFY(working);
}

QTEST_MAIN(TestWorkCalendarMain)
#include "tst_workcalendarmain.moc"
