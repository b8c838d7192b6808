#include "CommandProgress.h"
#include "DialogDriver.h"
#include "ErrorBox.h"
#include "TfmMain.h"
#include "WidgetTestSupport.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>
#include <new>
#include <stdexcept>

namespace {

struct Work
{
    const char* from;
    const char* to;
    const char* duration;
};

void fillTable(TfmMain& window, std::initializer_list<Work> works)
{
    WorkTable& table = window.workTable();
    table.setRowCount(static_cast<int>(works.size()));
    int row = 0;
    for (const Work& work : works) {
        table.setCell(WorkColumn::StartEvent, row, QString::fromUtf8(work.from));
        table.setCell(WorkColumn::EndEvent, row, QString::fromUtf8(work.to));
        table.setCell(WorkColumn::Duration, row, QString::fromUtf8(work.duration));
        ++row;
    }
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsEmptyWithAutomaticEndsOn();
    void layoutFollowsTheFixedDesign();
    void enabledRulesFollowTableAndSelectors();
    void eventListsAreSortedWithoutCaseDuplicates();
    void vanishedSelectorTextSwitchesAutomaticEndsOff();
    void selectorTextInOtherCaseIsKept();
    void recalcOrClearEmptiesComputedColumnsOnly();
    void errorBoxAddsFullStopAfterLettersAndDigits_data();
    void errorBoxAddsFullStopAfterLettersAndDigits();
    void guardShowsEveryExceptionInTheErrorBox_data();
    void guardShowsEveryExceptionInTheErrorBox();
    void pathLineScrollsWhenWiderThanItsScroller();
    void gridLinesResizeAndKeysOnlyMove();
    void quitClosesAtOnce();
    void windowOfACommandIsNotShutOutByItsProgress();

private:
    template <typename T> T* control(const char* name) const
    {
        T* found = m_window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("control %s not found", name);
        return found;
    }

    std::unique_ptr<TfmMain> m_window;
};

void TestMainWindow::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestMainWindow::startsEmptyWithAutomaticEndsOn()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("fmMain"));
    QVERIFY(m_window->workTable().isEmptyTable());
    auto* grid = control<QTableView>("sgMain");
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->columnCount(), 11);
    QCOMPARE(grid->currentIndex().row(), 0);
    for (const char* name : {"sbEdit", "sbDel", "sbRecalc", "sbCalendar"})
        QVERIFY2(!control<QAbstractButton>(name)->isEnabled(), name);
    for (const char* name : {"sbNewLine", "sbLoadTemp", "sbSaveTemp", "sbSaveBase", "sbPrint",
                             "tbGraph", "cbExit", "sbInitBorders"})
        QVERIFY2(control<QAbstractButton>(name)->isEnabled(), name);
    auto* toggle = control<QAbstractButton>("sbInitBorders");
    QVERIFY(toggle->isCheckable());
    QVERIFY(toggle->isChecked());
    QVERIFY(m_window->automaticEnds());
    for (const char* name : {"cbFrom", "cbTo"}) {
        auto* selector = control<QComboBox>(name);
        QVERIFY(selector->isEditable());
        QVERIFY(!selector->isEnabled());
        QVERIFY(selector->currentText().isEmpty());
    }
    QVERIFY(control<QLabel>("pWay")->text().isEmpty());
    QCOMPARE(m_window->startDate(), 0.0001965077760934254);
    QVERIFY(m_window->criticalPath().isEmpty());
}

void TestMainWindow::layoutFollowsTheFixedDesign()
{
    QVERIFY(
        m_window->windowTitle().startsWith(QStringLiteral("Kestrin - расчёт сетевых графиков")));
    QCOMPARE(m_window->size(), QSize(800, 600));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));

    auto* header = control<QHeaderView>("HeaderControl1");
    QVERIFY(!header->isEnabled());
    QCOMPARE(header->height(), 22);
    const int headerWidths[] = {104, 79, 79, 72, 43, 43, 44, 44, 45, 45, 60};
    const int gridWidths[] = {100, 78, 78, 71, 42, 42, 43, 43, 44, 44, 60};
    auto* grid = control<QTableView>("sgMain");
    for (int column = 0; column < 11; ++column) {
        QCOMPARE(header->sectionSize(column), headerWidths[column]);
        QCOMPARE(grid->columnWidth(column), gridWidths[column]);
    }
    QCOMPARE(header->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("К-во предш. работ"));
    QCOMPARE(header->model()->headerData(10, Qt::Horizontal).toString(), QStringLiteral("Дата"));
    // The strip does not follow columns that the user resizes in the grid.
    grid->setColumnWidth(1, 150);
    QCOMPARE(header->sectionSize(1), 79);

    QCOMPARE(grid->verticalHeader()->defaultSectionSize(), 16);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    QCOMPARE(control<QWidget>("psMain")->size(), QSize(513, 22));
    QCOMPARE(control<QWidget>("cbFrom")->width(), 95);
    QCOMPARE(control<QLabel>("Label6")->text(), QStringLiteral(" Нач. точка "));
    QCOMPARE(control<QLabel>("Label7")->text(), QStringLiteral(" Кон. точка "));
    QCOMPARE(control<QAbstractButton>("sbRecalc")->toolTip(), QStringLiteral("Пересчитать график"));
    QCOMPARE(control<QAbstractButton>("sbUndo")->toolTip(), QStringLiteral("Отменить"));
    QCOMPARE(control<QAbstractButton>("sbRedo")->toolTip(), QStringLiteral("Повторить"));
    QCOMPARE(control<QAbstractButton>("cbExit")->toolTip(),
             QStringLiteral("Закончить работу с программой"));
    QVERIFY(!control<QAbstractButton>("sbNewLine")->icon().isNull());
}

void TestMainWindow::enabledRulesFollowTableAndSelectors()
{
    auto* recalc = control<QAbstractButton>("sbRecalc");
    auto* calendar = control<QAbstractButton>("sbCalendar");
    // The risk analysis reads the same network as the recalculation, so it follows it exactly.
    auto* risk = control<QAbstractButton>("sbRisk");
    QCOMPARE(risk->toolTip(), QStringLiteral("Анализ рисков"));
    QVERIFY(!risk->icon().isNull());
    const auto followsRecalc = [&] {
        return risk->isEnabled() == recalc->isEnabled();
    };
    auto* from = control<QComboBox>("cbFrom");
    auto* to = control<QComboBox>("cbTo");

    // Switch the automatic ends off: the selectors unlock and any typed text counts, even for
    // names that occur in no work and for an empty table.
    QTest::mouseClick(control<QAbstractButton>("sbInitBorders"), Qt::LeftButton);
    QVERIFY(!m_window->automaticEnds());
    QVERIFY(from->isEnabled() && to->isEnabled());
    QTest::keyClicks(from, QStringLiteral("nowhere"));
    QVERIFY(!recalc->isEnabled() && followsRecalc());
    QTest::keyClicks(to, QStringLiteral(" "));
    QVERIFY(recalc->isEnabled() && calendar->isEnabled() && followsRecalc());
    from->setEditText(QString());
    QVERIFY(!recalc->isEnabled() && !calendar->isEnabled() && followsRecalc());
    from->setEditText(QStringLiteral("1"));
    QVERIFY(recalc->isEnabled());

    // The commands that need works look at the table only.
    m_window->workTable().setCell(WorkColumn::EndEvent, 0, QStringLiteral("2"));
    m_window->updateCommands();
    QVERIFY(!control<QAbstractButton>("sbEdit")->isEnabled());
    m_window->workTable().setRowCount(2);
    m_window->updateCommands();
    QVERIFY(control<QAbstractButton>("sbEdit")->isEnabled());
    QVERIFY(control<QAbstractButton>("sbDel")->isEnabled());
}

void TestMainWindow::eventListsAreSortedWithoutCaseDuplicates()
{
    fillTable(
        *m_window,
        {{"b", "x", "1"}, {"A", "y", "1"}, {"a", "X", "1"}, {"10", "", "1"}, {"2", "y", "1"}});
    m_window->FillEventLists();
    QCOMPARE(testsupport::comboEntries(control<QComboBox>("cbFrom")),
             QStringList({QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("A"),
                          QStringLiteral("b")}));
    QCOMPARE(testsupport::comboEntries(control<QComboBox>("cbTo")),
             QStringList({QStringLiteral("x"), QStringLiteral("y")}));
}

void TestMainWindow::vanishedSelectorTextSwitchesAutomaticEndsOff()
{
    // With the mode on and empty selectors (as at start-up), a refill counts as cleared.
    fillTable(*m_window, {{"1", "2", "3"}});
    m_window->FillEventLists();
    QVERIFY(!m_window->automaticEnds());
    QVERIFY(!control<QAbstractButton>("sbInitBorders")->isChecked());
    QVERIFY(control<QComboBox>("cbFrom")->isEnabled());
    QVERIFY(!control<QAbstractButton>("sbRecalc")->isEnabled());

    auto* from = control<QComboBox>("cbFrom");
    auto* to = control<QComboBox>("cbTo");
    from->setEditText(QStringLiteral("1"));
    to->setEditText(QStringLiteral("2"));
    m_window->sbInitBordersClick(); // mode on; texts kept since the lists hold them
    QVERIFY(m_window->automaticEnds());
    m_window->workTable().setCell(WorkColumn::StartEvent, 0, QStringLiteral("5"));
    m_window->FillEventLists();
    QVERIFY(from->currentText().isEmpty());
    QCOMPARE(to->currentText(), QStringLiteral("2"));
    QVERIFY(!m_window->automaticEnds());
    QVERIFY(from->isEnabled() && to->isEnabled());
    QVERIFY(!control<QAbstractButton>("sbRecalc")->isEnabled());
}

void TestMainWindow::selectorTextInOtherCaseIsKept()
{
    fillTable(*m_window, {{"Start", "End", "1"}});
    m_window->sbInitBordersClick();
    auto* from = control<QComboBox>("cbFrom");
    from->setEditText(QStringLiteral("START"));
    control<QComboBox>("cbTo")->setEditText(QStringLiteral("end"));
    m_window->FillEventLists();
    QCOMPARE(from->currentText(), QStringLiteral("START"));
    QCOMPARE(control<QComboBox>("cbTo")->currentText(), QStringLiteral("end"));
    QVERIFY(control<QAbstractButton>("sbRecalc")->isEnabled());
}

void TestMainWindow::recalcOrClearEmptiesComputedColumnsOnly()
{
    WorkTable& table = m_window->workTable();
    table.setRowCount(3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 11; ++column)
            table.setCell(static_cast<WorkColumn>(column), row, QStringLiteral("c%1").arg(column));
    }
    QVERIFY(!control<QAbstractButton>("sbRecalc")->isEnabled());
    const QString pathLine = control<QLabel>("pWay")->text();
    m_window->RecalcOrClear();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 11; ++column) {
            const QString cell = table.cell(static_cast<WorkColumn>(column), row);
            if (column >= 1 && column <= 3)
                QCOMPARE(cell, QStringLiteral("c%1").arg(column));
            else
                QVERIFY(cell.isEmpty());
        }
    }
    QCOMPARE(control<QLabel>("pWay")->text(), pathLine);
}

void TestMainWindow::errorBoxAddsFullStopAfterLettersAndDigits_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("File not found")
                            << QStringLiteral("File not found.");
    QTest::newRow("digit") << QStringLiteral("I/O error 32") << QStringLiteral("I/O error 32.");
    QTest::newRow("cyrillic") << QStringLiteral("Сетевой график содержит цикл: 1 -> 2 -> 1")
                              << QStringLiteral("Сетевой график содержит цикл: 1 -> 2 -> 1.");
    QTest::newRow("conversion message ends in a letter")
        << QStringLiteral("'' is not a valid floating point value")
        << QStringLiteral("'' is not a valid floating point value.");
    QTest::newRow("full stop already") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("quote") << QStringLiteral("bad 'x'") << QStringLiteral("bad 'x'");
    QTest::newRow("bracket") << QStringLiteral("bad (x)") << QStringLiteral("bad (x)");
    QTest::newRow("empty") << QString() << QString();
}

void TestMainWindow::errorBoxAddsFullStopAfterLettersAndDigits()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorBoxText(message), shown);
}

void TestMainWindow::guardShowsEveryExceptionInTheErrorBox_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("the program's own error") << "own"
                                             << "Disk full.";
    QTest::newRow("out of memory") << "memory"
                                   << "Out of memory.";
    // An internal assumption that broke (the searches raise std::logic_error for such faults).
    QTest::newRow("internal fault")
        << "logic"
        << "Внутренняя ошибка программы: criticalPathEvents: no path of the given length. Команда "
           "прервана.";
    QTest::newRow("exception of no known type")
        << "unknown"
        << "Внутренняя ошибка программы: исключение неизвестного типа. Команда прервана.";
}

void TestMainWindow::guardShowsEveryExceptionInTheErrorBox()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    fillTable(*m_window, {{"1", "2", "5"}, {"2", "3", "4"}});
    m_window->FillEventLists();
    m_window->sbInitBordersClick();

    QString title, shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        shown = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    bool afterError = false;
    runGuarded(m_window.get(), [&] {
        m_window->sbRecalcClick();
        if (kind == QLatin1String("own"))
            throw KestrinError(QStringLiteral("Disk full"));
        if (kind == QLatin1String("memory"))
            throw std::bad_alloc();
        if (kind == QLatin1String("logic"))
            throw std::logic_error("criticalPathEvents: no path of the given length");
        throw 42;
        afterError = true;
    });
    QVERIFY(!afterError);
    QCOMPARE(title, QStringLiteral("Расчёт сетевых графиков"));
    QCOMPARE(shown, text);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, 1);
    QVERIFY(modal);
    QVERIFY(!QApplication::activeModalWidget());

    // The program goes on: the works and what the command wrote before the fault stay, and the
    // next command runs.
    const WorkTable& table = m_window->workTable();
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.cell(WorkColumn::EndEvent, 1), QStringLiteral("3"));
    QCOMPARE(table.cell(WorkColumn::EarlyFinish, 1), QStringLiteral("9"));
    m_window->workTable().setCell(WorkColumn::Duration, 1, QStringLiteral("6"));
    control<QAbstractButton>("sbRecalc")->click();
    QCOMPARE(table.cell(WorkColumn::EarlyFinish, 1), QStringLiteral("11"));
}

void TestMainWindow::pathLineScrollsWhenWiderThanItsScroller()
{
    auto* line = control<QLabel>("pWay");
    auto* back = control<QAbstractButton>("psMainBack");
    auto* forward = control<QAbstractButton>("psMainForward");
    line->setText(QStringLiteral("    short"));
    QApplication::processEvents();
    QVERIFY(!forward->isVisible() && !back->isVisible());
    line->setText(QStringLiteral("    Критический путь [L=8]: ") +
                  QStringLiteral(" ' event ' ").repeated(300));
    QApplication::processEvents();
    QVERIFY(forward->isVisible());
    QVERIFY(line->width() >= line->fontMetrics().horizontalAdvance(line->text()));
    forward->click();
    QVERIFY(back->isVisible());
    QVERIFY(line->x() < 0);
}

void TestMainWindow::gridLinesResizeAndKeysOnlyMove()
{
    fillTable(*m_window, {{"1", "2", "3"}, {"2", "3", "4"}, {"3", "4", "5"}});
    auto* grid = control<QTableView>("sgMain");
    auto* header = control<QHeaderView>("HeaderControl1");
    QWidget* cells = grid->viewport();
    const auto drag = [cells](QPoint from, QPoint to) {
        QTest::mousePress(cells, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), cells->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cells, &move);
        QTest::mouseRelease(cells, Qt::LeftButton, {}, to);
    };
    // The grid line to the right of column 1, dragged 30 pixels to the right.
    const int line = grid->columnViewportPosition(1) + grid->columnWidth(1);
    drag(QPoint(line, 5), QPoint(line + 30, 5));
    QCOMPARE(grid->columnWidth(1), 78 + 30);
    QCOMPARE(header->sectionSize(1), 79);
    QCOMPARE(grid->currentIndex().row(), 0); // the drag selected nothing

    // Rows too, by their lower grid line.
    const int rowLine = grid->rowViewportPosition(0) + grid->rowHeight(0);
    drag(QPoint(20, rowLine), QPoint(20, rowLine + 10));
    QCOMPARE(grid->rowHeight(0), 26);

    // Arrow keys move the current row; typing does not search the cells.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentIndex().row(), 1);
    QTest::keyClicks(grid, QStringLiteral("3"));
    QCOMPARE(grid->currentIndex().row(), 1);
}

void TestMainWindow::quitClosesAtOnce()
{
    fillTable(*m_window, {{"1", "2", "3"}});
    control<QAbstractButton>("cbExit")->click();
    QVERIFY(!m_window->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMainWindow::windowOfACommandIsNotShutOutByItsProgress()
{
    fillTable(*m_window, {{"1", "2", "3"}, {"2", "3", "4"}, {"1", "3", "5"}});
    QString inFront;
    int unplaced = -1;
    whenModalShown([&](QWidget* graph) {
        // Long after the command that opened the window began, one of the window's own commands
        // reports progress (it collates the event names).
        QTest::qWait(CommandProgress::kQuietMilliseconds + 100);
        clickChild(graph, "tbPlaceAll");
        inFront = QApplication::activeModalWidget()->objectName();
        unplaced = graph->findChild<QComboBox*>(QStringLiteral("cbPoints"))->count();
        clickChild(graph, "ToolButton5");
    });
    control<QAbstractButton>("tbGraph")->click();
    QCOMPARE(inFront, QStringLiteral("fmGraphView"));
    QCOMPARE(unplaced, 0);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
