#include "DialogDriver.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "TfmMain.h"
#include "TfmProps.h"
#include "WidgetTestSupport.h"
#include "WorkTable.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

struct Work
{
    QString from, to, duration;
};

// Types any text key by key, letters outside ASCII included.
void typeText(QWidget* field, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void typeWork(QWidget* dialog, const Work& work)
{
    typeText(dialog->findChild<QComboBox*>(QStringLiteral("cbFrom"))->lineEdit(), work.from);
    typeText(dialog->findChild<QComboBox*>(QStringLiteral("cbTo"))->lineEdit(), work.to);
    typeText(dialog->findChild<QLineEdit*>(QStringLiteral("eLength")), work.duration);
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addingFillsRowZeroThenAppends();
    void cancelledAddStillClearsComputedColumns();
    void durationValidation_data();
    void durationValidation();
    void textsAreStoredExactlyAsTyped();
    void enterAndEscapeDoNotCloseTheDialog();
    void unstorableCharacterKeepsOkDisabled();
    void textTheFileCannotHoldKeepsOkDisabled_data();
    void textTheFileCannotHoldKeepsOkDisabled();
    void editOpensOnTheCurrentWork();
    void dialogListsStartThenEndEventsUnsorted();
    void deletingMovesRowsUpAndKeepsTheIndex();
    void deletingTheOnlyWorkEmptiesTheTable();
    void editThatEmptiesASelectorSwitchesAutomaticEndsOff();
    void calendarOpensOnTheStartDate();
    void calendarAcceptStoresTheWholeDay();
    void calendarCancelKeepsTheStartDate();

private:
    void addWork(const Work& work);
    void selectRow(int row);
    QTableView* grid() const { return m_window->findChild<QTableView*>(QStringLiteral("sgMain")); }
    QAbstractButton* button(const char* name) const
    {
        return m_window->findChild<QAbstractButton*>(QLatin1String(name));
    }

    std::unique_ptr<TfmMain> m_window;
};

void TestEditing::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
}

void TestEditing::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestEditing::addWork(const Work& work)
{
    whenModalShown([work](QWidget* dialog) {
        typeWork(dialog, work);
        clickChild(dialog, "sbOk");
    });
    button("sbNewLine")->click();
}

void TestEditing::selectRow(int row)
{
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                      grid()->visualRect(grid()->model()->index(row, 1)).center());
    QCOMPARE(grid()->currentIndex().row(), row);
}

void TestEditing::addingFillsRowZeroThenAppends()
{
    const WorkTable& table = m_window->workTable();
    addWork({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")});
    QCOMPARE(table.rowCount(), 1);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("1"));
    QCOMPARE(table.cell(WorkColumn::EndEvent, 0), QStringLiteral("2"));
    QCOMPARE(table.cell(WorkColumn::Duration, 0), QStringLiteral("5"));
    QVERIFY(button("sbEdit")->isEnabled() && button("sbDel")->isEnabled());
    // The first work switched the automatic ends off (its selectors were empty).
    QVERIFY(!m_window->automaticEnds());

    addWork({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 1), QStringLiteral("2"));
    QCOMPARE(grid()->currentIndex().row(), 1);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestEditing::cancelledAddStillClearsComputedColumns()
{
    WorkTable& table = m_window->workTable();
    addWork({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")});
    table.setCell(WorkColumn::EarlyStart, 0, QStringLiteral("stale"));
    whenModalShown([](QWidget* dialog) {
        typeWork(dialog, {QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("1")});
        clickChild(dialog, "sbCancel");
    });
    button("sbNewLine")->click();
    QCOMPARE(table.rowCount(), 1);
    QVERIFY(table.cell(WorkColumn::EarlyStart, 0).isEmpty());
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("1"));
}

void TestEditing::durationValidation_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<bool>("accepted");

    const QString comma = QStringLiteral(",");
    const QString point = QStringLiteral(".");
    for (const QString& separator : {comma, point}) {
        const QByteArray tag = separator == comma ? "comma: " : "point: ";
        QTest::newRow(tag + "0") << separator << QStringLiteral("0") << true;
        QTest::newRow(tag + "1e3") << separator << QStringLiteral("1e3") << true;
        QTest::newRow(tag + "-0") << separator << QStringLiteral("-0") << true;
        QTest::newRow(tag + "spaces") << separator << QStringLiteral(" 5 ") << true;
        QTest::newRow(tag + "empty") << separator << QString() << false;
        QTest::newRow(tag + "letter") << separator << QStringLiteral("a") << false;
        QTest::newRow(tag + "-1") << separator << QStringLiteral("-1") << false;
    }
    QTest::newRow("comma: 2,5") << comma << QStringLiteral("2,5") << true;
    QTest::newRow("comma: 2.5") << comma << QStringLiteral("2.5") << false;
    QTest::newRow("point: 2.5") << point << QStringLiteral("2.5") << true;
    QTest::newRow("point: 2,5") << point << QStringLiteral("2,5") << false;
}

void TestEditing::durationValidation()
{
    QFETCH(QString, separator);
    QFETCH(QString, duration);
    QFETCH(bool, accepted);
    WorkTable table;
    const NumberFormat numbers(separator);
    TfmProps dialog(table, NameCollation(), numbers);
    auto* ok = dialog.findChild<QAbstractButton*>(QStringLiteral("sbOk"));
    QVERIFY(!ok->isEnabled());
    typeWork(&dialog, {QStringLiteral("A"), QStringLiteral("A"), duration});
    QCOMPARE(ok->isEnabled(), accepted);
    // Both events are needed as well.
    dialog.findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QString());
    QVERIFY(!ok->isEnabled());
}

void TestEditing::textsAreStoredExactlyAsTyped()
{
    addWork({QStringLiteral(" a b "), QStringLiteral("Конец"), QStringLiteral(" 5 ")});
    const WorkTable& table = m_window->workTable();
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral(" a b "));
    QCOMPARE(table.cell(WorkColumn::EndEvent, 0), QStringLiteral("Конец"));
    QCOMPARE(table.cell(WorkColumn::Duration, 0), QStringLiteral(" 5 "));
}

void TestEditing::enterAndEscapeDoNotCloseTheDialog()
{
    bool stillShown = false;
    whenModalShown([&stillShown](QWidget* dialog) {
        typeWork(dialog, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        auto* length = dialog->findChild<QLineEdit*>(QStringLiteral("eLength"));
        QTest::keyClick(length, Qt::Key_Return);
        QTest::keyClick(length, Qt::Key_Escape);
        QTest::keyClick(dialog, Qt::Key_Escape);
        stillShown = dialog->isVisible() && dialog->property("Tag").toInt() == 0;
        clickChild(dialog, "sbCancel");
    });
    button("sbNewLine")->click();
    QVERIFY(stillShown);
    QVERIFY(m_window->workTable().isEmptyTable());
}

void TestEditing::unstorableCharacterKeepsOkDisabled()
{
    WorkTable table;
    const NumberFormat numbers(QStringLiteral("."));
    TfmProps dialog(table, NameCollation(), numbers);
    auto* ok = dialog.findChild<QAbstractButton*>(QStringLiteral("sbOk"));
    auto* from = dialog.findChild<QComboBox*>(QStringLiteral("cbFrom"));
    typeWork(&dialog, {QStringLiteral("Узел №1"), QStringLiteral("B"), QStringLiteral("1")});
    QVERIFY(ok->isEnabled()); // Cyrillic letters and the numero sign are in the code page
    from->setEditText(QStringLiteral("Node 😀"));
    QVERIFY(!ok->isEnabled());
    QVERIFY(from->toolTip().contains(QStringLiteral("Windows-1251")));
    from->setEditText(QStringLiteral("Node"));
    QVERIFY(ok->isEnabled());
    QVERIFY(from->toolTip().isEmpty());
}

void TestEditing::textTheFileCannotHoldKeepsOkDisabled_data()
{
    QTest::addColumn<int>("field"); // 0 start event, 1 end event, 2 duration
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    // A line break or Ctrl+Z would shift or cut the work list file; NUL makes names print alike.
    const struct
    {
        const char* name;
        int field;
        QString text;
        const char* tip;
    } rows[] = {
        {"CR", 0, QStringLiteral("A\rX"), "Управляющий символ U+000D"},
        {"LF", 1, QStringLiteral("B\nY"), "Управляющий символ U+000A"},
        {"Ctrl+Z", 0, QStringLiteral("A\x1A"), "Управляющий символ U+001A"},
        {"NUL", 1, QString(QChar(0)), "Управляющий символ U+0000"},
        {"tab", 0, QStringLiteral("\tA"), "Управляющий символ U+0009"},
        {"C1 control", 1, QString(QChar(0x85)), "Управляющий символ U+0085"},
        {"control in the duration", 2, QStringLiteral("1\n"), "Управляющий символ U+000A"},
        {"longer than the limit", 0, QString(4001, u'x'), "Поле «Начало» длиннее 4000 символов"},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.field << row.text << QString::fromUtf8(row.tip);
}

void TestEditing::textTheFileCannotHoldKeepsOkDisabled()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    WorkTable table;
    const NumberFormat numbers(QStringLiteral("."));
    TfmProps dialog(table, NameCollation(), numbers);
    auto* ok = dialog.findChild<QAbstractButton*>(QStringLiteral("sbOk"));
    QStringList work{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("1")};
    typeWork(&dialog, {work[0], work[1], work[2]});
    QVERIFY(ok->isEnabled());
    work[field] = text;
    dialog.setWork(work[0], work[1], work[2]);
    QVERIFY(!ok->isEnabled());
    QWidget* edited =
        field == 2 ? static_cast<QWidget*>(dialog.findChild<QLineEdit*>(QStringLiteral("eLength")))
                   : dialog.findChild<QComboBox*>(field == 0 ? QStringLiteral("cbFrom")
                                                             : QStringLiteral("cbTo"));
    QVERIFY2(edited->toolTip().startsWith(tip), qPrintable(edited->toolTip()));
    // The tip quotes no more than the beginning of a long text.
    QVERIFY(edited->toolTip().size() < 200);
}

void TestEditing::editOpensOnTheCurrentWork()
{
    addWork({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")});
    addWork({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    selectRow(0);
    bool okEnabled = false;
    whenModalShown([&okEnabled](QWidget* dialog) {
        okEnabled = dialog->findChild<QAbstractButton*>(QStringLiteral("sbOk"))->isEnabled();
        auto* length = dialog->findChild<QLineEdit*>(QStringLiteral("eLength"));
        length->selectAll();
        QTest::keyClicks(length, QStringLiteral("7"));
        clickChild(dialog, "sbOk");
    });
    button("sbEdit")->click();
    QVERIFY(okEnabled);
    QCOMPARE(m_window->workTable().cell(WorkColumn::Duration, 0), QStringLiteral("7"));
    QCOMPARE(m_window->workTable().rowCount(), 2);

    // A row whose duration cell is empty opens with OK disabled.
    m_window->workTable().setCell(WorkColumn::Duration, 1, QString());
    selectRow(1);
    whenModalShown([&okEnabled](QWidget* dialog) {
        okEnabled = dialog->findChild<QAbstractButton*>(QStringLiteral("sbOk"))->isEnabled();
        clickChild(dialog, "sbCancel");
    });
    button("sbEdit")->click();
    QVERIFY(!okEnabled);
}

void TestEditing::dialogListsStartThenEndEventsUnsorted()
{
    WorkTable table;
    table.setRowCount(3);
    const char* works[][2] = {{"X", "B"}, {"B", "A"}, {"x", "D"}};
    for (int row = 0; row < 3; ++row) {
        table.setCell(WorkColumn::StartEvent, row, QString::fromLatin1(works[row][0]));
        table.setCell(WorkColumn::EndEvent, row, QString::fromLatin1(works[row][1]));
    }
    const NumberFormat numbers(QStringLiteral("."));
    TfmProps dialog(table, NameCollation(), numbers);
    const QStringList expected{QStringLiteral("X"), QStringLiteral("B"), QStringLiteral("A"),
                               QStringLiteral("D")};
    QCOMPARE(testsupport::comboEntries(dialog.findChild<QComboBox*>(QStringLiteral("cbFrom"))),
             expected);
    QCOMPARE(testsupport::comboEntries(dialog.findChild<QComboBox*>(QStringLiteral("cbTo"))),
             expected);
    QVERIFY(dialog.startEvent().isEmpty());
}

void TestEditing::deletingMovesRowsUpAndKeepsTheIndex()
{
    for (const char* name : {"a", "b", "c", "d"})
        addWork({QString::fromLatin1(name), QStringLiteral("z"), QStringLiteral("1")});
    const WorkTable& table = m_window->workTable();
    selectRow(1);
    button("sbDel")->click();
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(grid()->currentIndex().row(), 1);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 1), QStringLiteral("c"));
    selectRow(2);
    button("sbDel")->click(); // the last row: the row above becomes current
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(grid()->currentIndex().row(), 1);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 1), QStringLiteral("c"));
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0), QStringLiteral("a"));
}

void TestEditing::deletingTheOnlyWorkEmptiesTheTable()
{
    addWork({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")});
    button("sbDel")->click();
    const WorkTable& table = m_window->workTable();
    QCOMPARE(table.rowCount(), 1);
    for (int column = 0; column < kWorkColumnCount; ++column)
        QVERIFY(table.cell(static_cast<WorkColumn>(column), 0).isEmpty());
    QVERIFY(!button("sbEdit")->isEnabled() && !button("sbDel")->isEnabled());
}

void TestEditing::editThatEmptiesASelectorSwitchesAutomaticEndsOff()
{
    addWork({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")});
    addWork({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    auto* from = m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"));
    auto* to = m_window->findChild<QComboBox*>(QStringLiteral("cbTo"));
    from->setEditText(QStringLiteral("1"));
    to->setEditText(QStringLiteral("3"));
    m_window->sbInitBordersClick();
    QVERIFY(m_window->automaticEnds());
    selectRow(0);
    whenModalShown([](QWidget* dialog) {
        dialog->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(QStringLiteral("0"));
        clickChild(dialog, "sbOk");
    });
    button("sbEdit")->click();
    QVERIFY(!m_window->automaticEnds());
    QVERIFY(from->isEnabled() && to->isEnabled());
}

void TestEditing::calendarOpensOnTheStartDate()
{
    addWork({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5")});
    m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(QStringLiteral("1"));
    m_window->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QStringLiteral("2"));
    QVERIFY(button("sbCalendar")->isEnabled());
    QDate shown;
    int year = 0, month = 0;
    QString title;
    whenModalShown([&](QWidget* dialog) {
        auto* calendar = dialog->findChild<QCalendarWidget*>(QStringLiteral("mcMain"));
        shown = calendar->selectedDate();
        year = calendar->yearShown();
        month = calendar->monthShown();
        title = dialog->windowTitle();
        clickChild(dialog, "sbCancel");
    });
    button("sbCalendar")->click();
    QCOMPARE(shown, QDate(1899, 12, 30));
    QCOMPARE(year, 1899);
    QCOMPARE(month, 12);
    QCOMPARE(title, QStringLiteral("Начало работ"));
}

void TestEditing::calendarAcceptStoresTheWholeDay()
{
    m_window->sbInitBordersClick();
    m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(QStringLiteral("1"));
    m_window->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QStringLiteral("2"));
    whenModalShown([](QWidget* dialog) {
        QCOMPARE(dialog->property("Tag").toInt(), 0);
        clickChild(dialog, "sbOk"); // no other day picked: the day of the start date stays
    });
    button("sbCalendar")->click();
    QCOMPARE(m_window->startDate(), 0.0); // the 17 seconds of the start-up value are gone

    whenModalShown([](QWidget* dialog) {
        dialog->findChild<QCalendarWidget*>(QStringLiteral("mcMain"))
            ->setSelectedDate(QDate(2026, 12, 7));
        clickChild(dialog, "sbOk");
    });
    button("sbCalendar")->click();
    QCOMPARE(m_window->startDate(), 46363.0);
}

void TestEditing::calendarCancelKeepsTheStartDate()
{
    m_window->sbInitBordersClick();
    m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"))->setEditText(QStringLiteral("1"));
    m_window->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QStringLiteral("2"));
    whenModalShown([](QWidget* dialog) {
        dialog->findChild<QCalendarWidget*>(QStringLiteral("mcMain"))
            ->setSelectedDate(QDate(2026, 12, 7));
        dialog->close(); // the close box
    });
    button("sbCalendar")->click();
    QCOMPARE(m_window->startDate(), 0.0001965077760934254);
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
