// The working calendar window driven through its controls as a user would: a click on a day,
// the holidays, files loaded and saved, OK and cancel.
#include "CalendarDaysFile.h"
#include "DialogDriver.h"
#include "TfmWorkCalendar.h"
#include "WidgetTestSupport.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCharFormat>
#include <QToolButton>

using testsupport::child;

namespace {

const QDate kMonday(2027, 3, 1);
const QDate kSaturday(2027, 3, 6);

// Clicks the day of the month shown on the calendar's grid with the mouse.
void clickDay(QCalendarWidget* calendar, int day)
{
    auto* grid = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    QVERIFY(grid);
    const QAbstractItemModel* model = grid->model();
    bool inMonth = false;
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex cell = model->index(row, column);
            const int number = model->data(cell).toInt();
            inMonth = inMonth || number == 1;
            if (inMonth && number == day) {
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                  grid->visualRect(cell).center());
                return;
            }
        }
    }
    QFAIL("the day is not on the calendar");
}

QStringList listed(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

// Opens the persistent file dialog next in the folder with nothing selected: a file chosen there
// before would otherwise join the typed name whenever the name field has not the focus yet.
void openIn(QWidget* window, const char* dialogName, const QTemporaryDir& folder)
{
    auto* dialog = child<QFileDialog>(window, dialogName);
    dialog->setDirectory(folder.path());
    if (auto* files = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView")))
        files->clearSelection();
}

bool markedOff(const QCalendarWidget* calendar, QDate day)
{
    return calendar->dateTextFormat(day).background().style() != Qt::NoBrush;
}

QString writeFile(const QTemporaryDir& folder, const char* name, const QByteArray& bytes)
{
    const QString path = folder.filePath(QLatin1String(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

class TestWorkCalendarWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { cancelPendingAnswers(); }
    void editsTheCalendar();
    void cancelChangesNothing();
    void yearWithoutWorkingDayIsNotAccepted();
};

void TestWorkCalendarWindow::editsTheCalendar()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    TfmWorkCalendar window;
    window.setCalendar(WorkCalendar(), kMonday);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.objectName(), QStringLiteral("fmWorkCalendar"));
    QVERIFY(window.isModal());
    auto* days = child<QCalendarWidget>(&window, "clDays");
    auto* exceptions = child<QListWidget>(&window, "lbExceptions");
    QVERIFY(child<QRadioButton>(&window, "rbCalendarDays")->isChecked());
    QVERIFY(!days->isEnabled());

    child<QRadioButton>(&window, "rbWorkingDays")->click();
    QVERIFY(days->isEnabled());
    QCOMPARE(
        testsupport::comboEntries(child<QComboBox>(&window, "cbWeek")),
        QStringList({QStringLiteral("Пятидневная неделя"), QStringLiteral("Шестидневная неделя")}));
    QVERIFY(markedOff(days, kSaturday));
    QVERIFY(!markedOff(days, kMonday));

    // A click makes Saturday a working day, and a click on a Monday makes it a day off.
    clickDay(days, 6);
    clickDay(days, 15);
    QCOMPARE(listed(exceptions), QStringList({QStringLiteral("06.03.2027 рабочий"),
                                              QStringLiteral("15.03.2027 выходной")}));
    QVERIFY(!markedOff(days, kSaturday));
    QVERIFY(markedOff(days, QDate(2027, 3, 15)));
    clickDay(days, 15);
    QCOMPARE(listed(exceptions), QStringList({QStringLiteral("06.03.2027 рабочий")}));

    child<QToolButton>(&window, "sbHolidays")->click();
    QCOMPARE(exceptions->count(), 15);
    QCOMPARE(exceptions->item(0)->text(), QStringLiteral("01.01.2027 выходной"));
    QCOMPARE(exceptions->item(9)->text(), QStringLiteral("06.03.2027 рабочий"));
    QCOMPARE(exceptions->item(10)->text(), QStringLiteral("08.03.2027 выходной"));
    QCOMPARE(exceptions->item(14)->text(), QStringLiteral("04.11.2027 выходной"));
    QVERIFY(markedOff(days, QDate(2027, 3, 8)));

    // A bad line: the error box names it, and no day of the file is taken.
    const QStringList before = listed(exceptions);
    const QString bad = writeFile(folder, "bad.txt", "10.03.2027 выходной\n11.03.2027 отгул\n");
    QString error;
    openIn(&window, "odDays", folder);
    answerFileDialog(bad, "odDays");
    captureErrorBox(error);
    child<QToolButton>(&window, "sbLoadDays")->click();
    QTRY_VERIFY(!error.isEmpty());
    QCOMPARE(error, QStringLiteral("Файл «bad.txt», строка 2: «11.03.2027 отгул» — ожидается дата "
                                   "ДД.ММ.ГГГГ и слово «выходной» или «рабочий»; дни не "
                                   "загружены."));
    QCOMPARE(listed(exceptions), before);

    // A good one adds its days, taking the place of the same days.
    const QString good =
        writeFile(folder, "good.txt", "# переносы\n08.03.2027 рабочий\n10.03.2027 выходной\n");
    openIn(&window, "odDays", folder);
    answerFileDialog(good, "odDays");
    child<QToolButton>(&window, "sbLoadDays")->click();
    QCOMPARE(exceptions->count(), 16);
    QCOMPARE(exceptions->item(10)->text(), QStringLiteral("08.03.2027 рабочий"));
    QCOMPARE(exceptions->item(11)->text(), QStringLiteral("10.03.2027 выходной"));

    const QString saved = folder.filePath(QStringLiteral("saved.txt"));
    openIn(&window, "sdDays", folder);
    answerFileDialog(saved, "sdDays");
    child<QToolButton>(&window, "sbSaveDays")->click();
    const CalendarExceptions savedDays = calendardays::read(saved);
    QCOMPARE(savedDays.size(), std::size_t(16));
    QCOMPARE(savedDays.at(kSaturday), true);

    QTest::keyClick(child<QComboBox>(&window, "cbWeek"), Qt::Key_Down);
    QVERIFY(!markedOff(days, QDate(2027, 3, 13)));

    child<QToolButton>(&window, "sbOk")->click();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.property("Tag").toInt(), 1);
    const WorkCalendar& accepted = window.calendar();
    QVERIFY(accepted.countsWorkingDays());
    QCOMPARE(accepted.week(), WorkWeek::SixDays);
    QCOMPARE(accepted.exceptions(), savedDays);
}

void TestWorkCalendarWindow::cancelChangesNothing()
{
    WorkCalendar original;
    original.setCountsWorkingDays(true);
    original.setException(kSaturday, true);
    TfmWorkCalendar window;
    window.setCalendar(original, kMonday);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(listed(child<QListWidget>(&window, "lbExceptions")),
             QStringList({QStringLiteral("06.03.2027 рабочий")}));
    clickDay(child<QCalendarWidget>(&window, "clDays"), 9);
    child<QToolButton>(&window, "sbHolidays")->click();
    child<QRadioButton>(&window, "rbCalendarDays")->click();
    child<QToolButton>(&window, "sbCancel")->click();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.property("Tag").toInt(), 0);
    QVERIFY(window.calendar() == original);
}

void TestWorkCalendarWindow::yearWithoutWorkingDayIsNotAccepted()
{
    WorkCalendar idle;
    idle.setCountsWorkingDays(true);
    for (QDate day(2028, 1, 1); day <= QDate(2028, 12, 31); day = day.addDays(1))
        idle.setException(day, false);
    TfmWorkCalendar window;
    window.setCalendar(idle, kMonday);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QString error;
    captureErrorBox(error);
    child<QToolButton>(&window, "sbOk")->click();
    QTRY_VERIFY(!error.isEmpty());
    QVERIFY(error.startsWith(QStringLiteral("В рабочем календаре нет ни одного рабочего дня")));
    QVERIFY(window.isVisible());
    QCOMPARE(window.property("Tag").toInt(), 0);
    // Counting calendar days, the same days are accepted.
    child<QRadioButton>(&window, "rbCalendarDays")->click();
    child<QToolButton>(&window, "sbOk")->click();
    QCOMPARE(window.property("Tag").toInt(), 1);
    QVERIFY(!window.calendar().countsWorkingDays());
}

QTEST_MAIN(TestWorkCalendarWindow)
#include "tst_workcalendarwindow.moc"
