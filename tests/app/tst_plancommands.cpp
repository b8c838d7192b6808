#include "DiagramModel.h"
#include "DialogDriver.h"
#include "EventIndex.h"
#include "EventMarker.h"
#include "FileTestSupport.h"
#include "GanttChart.h"
#include "NetworkAnalysis.h"
#include "NumberFormat.h"
#include "PlanFile.h"
#include "TfmDetails.h"
#include "TfmGraphView.h"
#include "TfmMain.h"
#include "WorkHistory.h"
#include "WorkInputs.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

WorkInputs everything(const WorkTable& table)
{
    return WorkInputs::ofRows(table, 0, table.rowCount());
}

QStringList computedColumns(const WorkTable& table)
{
    QStringList cells;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (WorkColumn column : kComputedColumns)
            cells << table.cell(column, row);
    }
    return cells;
}

// A random layered network (every work goes from a lower event to a higher one, so it has no
// loop) whose works have names with Cyrillic letters, quotes, ampersands and angle brackets, and
// details that keep their own rules, beside a plan with resources, placement and sections.
WorkInputs randomPlan(QRandomGenerator& random, Plan& plan, int works)
{
    std::vector<ResourceId> resources;
    for (int i = random.bounded(1, 4); i > 0; --i) {
        const ResourceId id = plan.addResource();
        Resource resource = *plan.resource(id);
        resource.name = QStringLiteral("Бригада «%1» & <%2>").arg(i).arg(random.bounded(99));
        resource.unit = QStringLiteral("чел.");
        resource.available =
            random.bounded(2) ? std::optional(double(random.bounded(20))) : std::nullopt;
        plan.updateResource(resource);
        resources.push_back(id);
    }
    plan.setGraphPlacement(
        {{QStringLiteral("1"), QPoint(10, 20)}, {QStringLiteral("2"), QPoint(90, 40)}});
    plan.setSection(QStringLiteral("simulation"),
                    {{QStringLiteral("runs"), QStringLiteral("1000")}});
    WorkInputs inputs;
    for (int i = 0; i < works; ++i) {
        const int from = random.bounded(1, 12);
        const int to = from + random.bounded(1, 5);
        const int duration = random.bounded(1, 30);
        const QString durationText =
            random.bounded(3) ? QString::number(duration)
                              : QString::number(duration) + QLocale().decimalPoint() + u'5';
        WorkDetails details;
        if (random.bounded(4)) {
            details.name =
                QStringLiteral("Работа \"%1\" & 'кв.' <%2>").arg(i).arg(random.bounded(7));
            const double optimistic = random.bounded(duration);
            details.setNumber(DetailNumber::Optimistic, optimistic);
            details.setNumber(DetailNumber::Pessimistic, duration + random.bounded(10.0));
            details.setNumber(DetailNumber::Shortest, optimistic);
            const double cost = random.bounded(1000) * 0.25;
            details.setNumber(DetailNumber::NormalCost, cost);
            details.setNumber(DetailNumber::ShortestCost, cost * 1.5);
            details.setDemand(resources[std::size_t(random.bounded(int(resources.size())))],
                              random.bounded(5));
        }
        inputs.append(QString::number(from), QString::number(to), durationText, details);
    }
    return inputs;
}

} // namespace

class TestPlanCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savedPlanReadsBackAsTheSameWorksAndSettings();
    void damagedPlanLeavesTheOpenPlanAsItWas();
    void detailEditsAndResourcesAreUndoneStepByStep();
    void saveQuestionComesOnlyForUnsavedDetails();
    void workListSaveWithDetailsSaysSoInOneLine();
    void houseExampleIsTheGuidesNetworkWithNamedWorks();
    void graphPlacementOutlivesTheWindowAndThePlanFile();

private:
    QAbstractButton* button(const char* name) const
    {
        return m_window->findChild<QAbstractButton*>(QLatin1String(name));
    }
    QString selectorText(const char* name) const
    {
        return m_window->findChild<QComboBox*>(QLatin1String(name))->currentText();
    }
    void savePlan(const QString& path)
    {
        answerFileDialog(path, "sdPlan");
        button("sbSavePlan")->click();
    }
    void loadPlan(const QString& path)
    {
        answerFileDialog(path, "odPlan");
        button("sbLoadPlan")->click();
    }
    // Answers the next save question with the button of that text; the question's text is kept.
    void answerSaveQuestion(const QString& buttonText)
    {
        whenModalShown<QMessageBox>([this, buttonText](QMessageBox* box) {
            QCOMPARE(box->objectName(), QStringLiteral("mbSavePlan"));
            m_questions << box->text();
            for (QAbstractButton* candidate : box->buttons()) {
                if (candidate->text() == buttonText)
                    candidate->click();
            }
        });
    }
    // Opens the details window, runs `edit` in it as the user would, and closes it.
    void inDetailsWindow(const std::function<void(TfmDetails*)>& edit)
    {
        whenModalShown<TfmDetails>([edit](TfmDetails* window) {
            edit(window);
            window->close();
        });
        button("sbDetails")->click();
    }

    // Opens the graph window, runs `act` in it, and closes it with its own close command.
    void inGraphWindow(const std::function<void(TfmGraphView*)>& act)
    {
        whenModalShown<TfmGraphView>([act](TfmGraphView* window) {
            act(window);
            clickChild(window, "ToolButton5");
        });
        button("tbGraph")->click();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TfmMain> m_window;
    QStringList m_questions;
};

namespace {

int columnOf(QTableView* view, const QString& caption)
{
    const QAbstractItemModel* model = view->model();
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal).toString() == caption)
            return c;
    }
    return -1;
}

// Types the text into the cell as a user does and commits it with Enter.
void typeInto(QTableView* view, int row, int column, const QString& text)
{
    QVERIFY2(column >= 0, "no such column");
    view->setCurrentIndex(view->model()->index(row, column));
    QTest::keyClick(view, Qt::Key_F2);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    editor->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The committed text is stored once the editor is gone.
    QTRY_COMPARE(view->model()->data(view->model()->index(row, column)).toString(), text);
}

} // namespace

void TestPlanCommands::init()
{
    QVERIFY(m_dir.isValid());
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    m_questions.clear();
}

void TestPlanCommands::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestPlanCommands::savedPlanReadsBackAsTheSameWorksAndSettings()
{
    QRandomGenerator random(24);
    for (int round = 0; round < 3; ++round) {
        m_window = std::make_unique<TfmMain>();
        m_window->show();
        Plan& plan = m_window->plan();
        WorkTable& table = m_window->workTable();
        const WorkInputs works = randomPlan(random, plan, 40 + 30 * round);
        table.replaceRows(0, table.rowCount(), works);
        plan.setStartDate(45000 + round);
        // Ends chosen by hand in one round, by the automatic mode in the others.
        // The event lists as the program fills them; that empties the selectors and so turns the
        // automatic mode off, and the mode then chooses the ends.
        m_window->FillEventLists();
        if (round == 1) {
            m_window->findChild<QComboBox*>(QStringLiteral("cbFrom"))
                ->setEditText(QStringLiteral("2"));
            m_window->findChild<QComboBox*>(QStringLiteral("cbTo"))
                ->setEditText(QStringLiteral("9"));
        } else {
            m_window->sbInitBordersClick();
        }
        m_window->RecalcOrClear();
        const Plan saved = plan;
        const QString path = m_dir.filePath(QStringLiteral("round%1.kpl").arg(round));
        savePlan(path);
        QVERIFY(QFile::exists(path));

        // The same works from a work list file in a window of their own: the computed columns of
        // the plan must be theirs, whatever the plan's settings add after them.
        const QString kdf = m_dir.filePath(QStringLiteral("round%1.kdf").arg(round));
        worklistfile::write(kdf, table);
        TfmMain fromList;
        fromList.plan().setStartDate(saved.startDate());
        whenModalShown<QFileDialog>([kdf](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(kdf);
            static_cast<QDialog*>(dialog)->accept();
        });
        fromList.sbLoadTempClick();
        if (round == 1) {
            fromList.sbInitBordersClick();
            fromList.findChild<QComboBox*>(QStringLiteral("cbFrom"))
                ->setEditText(QStringLiteral("2"));
            fromList.findChild<QComboBox*>(QStringLiteral("cbTo"))
                ->setEditText(QStringLiteral("9"));
            fromList.sbRecalcClick();
        }

        m_window = std::make_unique<TfmMain>();
        m_window->show();
        loadPlan(path);
        QVERIFY(everything(m_window->workTable()) == works);
        QVERIFY(m_window->plan() == saved);
        QCOMPARE(m_window->startDate(), double(45000 + round));
        QCOMPARE(m_window->automaticEnds(), round != 1);
        QCOMPARE(selectorText("cbFrom"), saved.startEvent());
        QCOMPARE(selectorText("cbTo"), saved.endEvent());
        QCOMPARE(computedColumns(m_window->workTable()), computedColumns(fromList.workTable()));
        QVERIFY(!computedColumns(m_window->workTable()).first().isEmpty());
        // A plan just read has nothing unsaved, and reading it is one step.
        QVERIFY(!m_window->hasUnsavedPlan());
        m_window->sbUndoClick();
        QCOMPARE(m_window->workTable().rowCount(), 1);
        QVERIFY(m_window->plan().resources().empty());
        QVERIFY(!button("sbUndo")->isEnabled());
    }
}

void TestPlanCommands::damagedPlanLeavesTheOpenPlanAsItWas()
{
    QRandomGenerator random(7);
    WorkTable& table = m_window->workTable();
    const WorkInputs works = randomPlan(random, m_window->plan(), 20);
    table.replaceRows(0, table.rowCount(), works);
    const Plan before = m_window->plan();
    const QString good = m_dir.filePath(QStringLiteral("good.kpl"));
    planfile::write(good, table, before);
    QByteArray bytes = testsupport::readAll(good);

    const QString damaged = m_dir.filePath(QStringLiteral("damaged.kpl"));
    testsupport::writeAll(damaged, bytes.left(bytes.size() * 2 / 3));
    const QString newer = m_dir.filePath(QStringLiteral("newer.kpl"));
    QByteArray newerBytes = bytes;
    newerBytes.replace("version=\"1\"", "version=\"99\"");
    QVERIFY(newerBytes != bytes);
    testsupport::writeAll(newer, newerBytes);

    for (const QString& path : {damaged, newer}) {
        QString message;
        captureErrorBox(message);
        loadPlan(path);
        QTRY_VERIFY(!message.isEmpty());
        QVERIFY2(message.contains(QFileInfo(path).fileName()), qPrintable(message));
        QVERIFY(everything(table) == works);
        QVERIFY(m_window->plan() == before);
    }
}

void TestPlanCommands::detailEditsAndResourcesAreUndoneStepByStep()
{
    WorkTable& table = m_window->workTable();
    WorkInputs works;
    works.append(u"1", u"2", u"3");
    works.append(u"2", u"3", u"5");
    works.append(u"1", u"3", u"4");
    table.replaceRows(0, table.rowCount(), works);
    m_window->FillEventLists();
    m_window->sbInitBordersClick();
    m_window->RecalcOrClear();
    QVERIFY(button("sbDetails")->isEnabled());

    std::vector<WorkInputs> states{everything(table)};
    std::vector<std::vector<Resource>> resourceStates{{}};
    const auto keep = [&] {
        states.push_back(everything(table));
        resourceStates.push_back(m_window->plan().resources());
    };
    inDetailsWindow([&](TfmDetails* window) {
        auto* details = window->findChild<QTableView*>(QStringLiteral("sgDetails"));
        auto* resources = window->findChild<QTableView*>(QStringLiteral("sgResources"));
        typeInto(details, 1, columnOf(details, QStringLiteral("Наименование")),
                 QStringLiteral("Кладка «стен» & <перекрытия>"));
        keep();
        clickChild(window, "sbAddResource");
        keep();
        typeInto(resources, 0, 0, QStringLiteral("Каменщики"));
        keep();
        // A block of two rows by two columns from a spreadsheet: estimates of works 1 and 2.
        QGuiApplication::clipboard()->setText(QStringLiteral("2\t4\r\n3\t7\r\n"));
        details->setCurrentIndex(
            details->model()->index(0, columnOf(details, QStringLiteral("Оптимист."))));
        QTest::keyClick(details, Qt::Key_V, Qt::ControlModifier);
        keep();
        typeInto(details, 2, columnOf(details, QStringLiteral("Каменщики")), QStringLiteral("3"));
        keep();
    });
    QCOMPARE(states.size(), std::size_t(6));
    QCOMPARE(table.details(1).name, QStringLiteral("Кладка «стен» & <перекрытия>"));
    QCOMPARE(*table.details(0).number(DetailNumber::Pessimistic), 4.0);
    QCOMPARE(table.details(2).demand(m_window->plan().resources()[0].id), 3.0);
    // The computed columns followed every change.
    QVERIFY(!table.cell(WorkColumn::LateStart, 0).isEmpty());

    // Deleting the row with a name and a demand is one more step.
    m_window->setCurrentRow(1);
    button("sbDel")->click();
    QCOMPARE(table.rowCount(), 2);
    keep();

    for (std::size_t back = states.size() - 1; back > 0; --back) {
        m_window->sbUndoClick();
        QVERIFY2(everything(table) == states[back - 1], qPrintable(QString::number(back)));
        QVERIFY(m_window->plan().resources() == resourceStates[back - 1]);
    }
    QVERIFY(!button("sbUndo")->isEnabled());
    for (std::size_t forward = 1; forward < states.size(); ++forward) {
        m_window->sbRedoClick();
        QVERIFY(everything(table) == states[forward]);
        QVERIFY(m_window->plan().resources() == resourceStates[forward]);
    }
}

void TestPlanCommands::saveQuestionComesOnlyForUnsavedDetails()
{
    // Works without details: closing asks nothing.
    WorkTable& table = m_window->workTable();
    WorkInputs works;
    works.append(u"1", u"2", u"3");
    table.replaceRows(0, table.rowCount(), works);
    QVERIFY(m_window->close());
    QVERIFY(m_questions.isEmpty());

    m_window = std::make_unique<TfmMain>();
    m_window->show();
    m_window->workTable().replaceRows(0, 1, works);
    m_window->FillEventLists();
    inDetailsWindow([](TfmDetails* window) {
        auto* details = window->findChild<QTableView*>(QStringLiteral("sgDetails"));
        typeInto(details, 0, columnOf(details, QStringLiteral("Наименование")),
                 QStringLiteral("Фундамент"));
    });
    QVERIFY(m_window->hasUnsavedPlan());

    // Отмена keeps the program open, and keeps a work list file from being opened.
    answerSaveQuestion(QStringLiteral("Отмена"));
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    answerSaveQuestion(QStringLiteral("Отмена"));
    button("sbLoadTemp")->click(); // no file dialog comes: none is answered
    answerSaveQuestion(QStringLiteral("Отмена"));
    button("sbLoadPlan")->click();
    QCOMPARE(m_questions.size(), 3);
    QCOMPARE(m_questions.front(), QStringLiteral("Сохранить изменения плана?"));
    QCOMPARE(m_window->workTable().details(0).name, QStringLiteral("Фундамент"));

    // Да saves through sdPlan, and the program closes; the file holds the name.
    const QString path = m_dir.filePath(QStringLiteral("asked.kpl"));
    answerSaveQuestion(QStringLiteral("Да"));
    answerFileDialog(path, "sdPlan");
    QVERIFY(m_window->close());
    QCOMPARE(planfile::read(path).plan.resources().size(), std::size_t(0));
    WorkTable reread;
    reread.replaceRows(0, 1, planfile::read(path).works);
    QCOMPARE(reread.details(0).name, QStringLiteral("Фундамент"));
    QCOMPARE(m_questions.size(), 4);

    // Saved: no question. Undone, the details are gone, so nothing to ask either; redone, the
    // history stands at the save again. A new edit is asked about, and Нет closes without saving.
    m_window->show();
    QVERIFY(!m_window->hasUnsavedPlan());
    QVERIFY(m_window->close());
    m_window->show();
    m_window->sbUndoClick();
    QVERIFY(m_window->workTable().details(0).isEmpty());
    QVERIFY(!m_window->hasUnsavedPlan());
    m_window->sbRedoClick();
    QVERIFY(!m_window->hasUnsavedPlan());
    QCOMPARE(m_questions.size(), 4);
    inDetailsWindow([](TfmDetails* window) {
        auto* details = window->findChild<QTableView*>(QStringLiteral("sgDetails"));
        typeInto(details, 0, columnOf(details, QStringLiteral("Наименование")),
                 QStringLiteral("Стены"));
    });
    answerSaveQuestion(QStringLiteral("Нет"));
    QVERIFY(m_window->close());
    QCOMPARE(m_questions.size(), 5);
    reread.replaceRows(0, 1, planfile::read(path).works);
    QCOMPARE(reread.details(0).name, QStringLiteral("Фундамент"));
}

void TestPlanCommands::workListSaveWithDetailsSaysSoInOneLine()
{
    auto* notice = m_window->findChild<QLabel*>(QStringLiteral("lNotice"));
    QVERIFY(notice);
    WorkTable& table = m_window->workTable();
    WorkInputs works;
    works.append(u"1", u"2", u"3");
    table.replaceRows(0, table.rowCount(), works);
    const QString kdf = m_dir.filePath(QStringLiteral("plain.kdf"));
    answerFileDialog(kdf, "sdMain");
    button("sbSaveTemp")->click();
    QVERIFY(notice->isHidden());

    WorkDetails details;
    details.name = QStringLiteral("Кровля");
    table.setDetails(0, details);
    answerFileDialog(kdf, "sdMain");
    button("sbSaveTemp")->click();
    QVERIFY(notice->isVisible());
    QVERIFY(notice->text().contains(QStringLiteral("*.kpl")));
    // The work list file is still the described bytes, and saving the plan clears the line.
    QCOMPARE(testsupport::readAll(kdf), QByteArray("1\r\n2\r\n3\r\n"));
    savePlan(m_dir.filePath(QStringLiteral("full.kpl")));
    QVERIFY(notice->isHidden());
}

void TestPlanCommands::houseExampleIsTheGuidesNetworkWithNamedWorks()
{
    const QString examples = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../docs/examples/");
    // The example's durations are written with a decimal comma, as a Russian desktop reads them.
    const QLocale desktop;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const auto restore = qScopeGuard([&desktop] { QLocale::setDefault(desktop); });
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    TfmMain fromList;
    whenModalShown<QFileDialog>([&examples](QFileDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(examples + QStringLiteral("house.kdf"));
        static_cast<QDialog*>(dialog)->accept();
    });
    fromList.sbLoadTempClick();
    fromList.plan().setStartDate(46447); // 1 March 2027, as the guide sets it
    fromList.sbRecalcClick();

    loadPlan(examples + QStringLiteral("house.kpl"));
    const WorkTable& table = m_window->workTable();
    QCOMPARE(table.rowCount(), 12);
    for (int row = 0; row < 12; ++row) {
        for (WorkColumn column :
             {WorkColumn::StartEvent, WorkColumn::EndEvent, WorkColumn::Duration})
            QCOMPARE(table.cell(column, row), fromList.workTable().cell(column, row));
    }
    QCOMPARE(computedColumns(table), computedColumns(fromList.workTable()));
    QCOMPARE(m_window->plan().resources().size(), std::size_t(2));
    // Every work but the dummy one has a name, estimates and costs that keep their rules.
    for (int row = 0; row < 12; ++row) {
        const WorkDetails details = table.details(row);
        QCOMPARE(details.isEmpty(), row == 3);
        if (row != 3)
            QVERIFY(details.hasEstimates() && !details.name.isEmpty());
    }

    // The names in the analysis, the Gantt chart and the diagram.
    const NumberFormat numbers(QStringLiteral(","));
    const EventIndex events(table, NameCollation(QLocale()));
    const NetworkAnalysis analysis(table, events, QStringLiteral("1"), QStringLiteral("10"), 46447,
                                   numbers, DateFormat(QLocale()));
    const AnalysisPage& works = analysis.page(NetworkAnalysis::Tension);
    QCOMPARE(works.columns().last().caption, QStringLiteral("Наименование"));
    QCOMPARE(works.text(5, 0), QStringLiteral("6"));
    QCOMPARE(works.text(5, works.columnCount() - 1), QStringLiteral("Фундамент"));
    QCOMPARE(works.text(3, works.columnCount() - 1), QString());
    const GanttChart gantt(table, numbers, 46447);
    QVERIFY(gantt.isReady());
    QCOMPARE(gantt.label(5), QStringLiteral("4 → 6"));
    QVERIFY(gantt.hasNames());
    QCOMPARE(gantt.name(5), QStringLiteral("Фундамент"));
    QVERIFY(gantt.details(5).endsWith(QStringLiteral("\nНаименование: Фундамент")));
    const DiagramModel diagram(table, events, QStringLiteral("1"), QStringLiteral("10"), numbers);
    QCOMPARE(diagram.works()[5].name, QStringLiteral("Фундамент"));
}

namespace {

// Places the event as a user does: picks it in the list, inserts it, moves the pointer over the
// drawing area and clicks the marker to drop it there.
void placeByHand(TfmGraphView* window, const QString& event, QPoint at)
{
    auto* list = window->findChild<QComboBox*>(QStringLiteral("cbPoints"));
    list->setCurrentIndex(list->findText(event));
    clickChild(window, "tbInsPoint");
    auto* pad = window->findChild<QWidget*>(QStringLiteral("pMainPad"));
    QMouseEvent move(QEvent::MouseMove, QPointF(at), pad->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pad, &move);
    QTest::mouseClick(window->currentMarker(), Qt::LeftButton, {}, QPoint(5, 5));
}

// Each marker's event and where it stands.
std::vector<EventPlacement> markersOf(const TfmGraphView* window)
{
    std::vector<EventPlacement> markers;
    for (const EventMarker* marker : window->markers())
        markers.push_back({marker->text(), marker->pos()});
    return markers;
}

} // namespace

// The events placed in the graph window stand where they were at its next opening, also after the
// plan was saved and read back in another window; an event deleted from the table meanwhile is
// left out, and its place stays free.
void TestPlanCommands::graphPlacementOutlivesTheWindowAndThePlanFile()
{
    WorkInputs works;
    works.append(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), WorkDetails());
    works.append(QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), WorkDetails());
    works.append(QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("2"), WorkDetails());
    m_window->workTable().replaceRows(0, m_window->workTable().rowCount(), works);
    m_window->RecalcOrClear();

    const std::vector<EventPlacement> placed{{QStringLiteral("3"), QPoint(300, 150)},
                                             {QStringLiteral("1"), QPoint(20, 260)}};
    inGraphWindow([&placed](TfmGraphView* window) {
        for (const EventPlacement& event : placed)
            placeByHand(window, event.event, event.at);
    });
    QCOMPARE(m_window->plan().graphPlacement(), placed);

    std::vector<EventPlacement> reopened;
    inGraphWindow([&reopened](TfmGraphView* window) { reopened = markersOf(window); });
    QCOMPARE(reopened, placed);

    const QString path = m_dir.filePath(QStringLiteral("placed.kpl"));
    savePlan(path);
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    loadPlan(path);
    QCOMPARE(m_window->plan().graphPlacement(), placed);
    QStringList unplaced;
    inGraphWindow([&reopened, &unplaced](TfmGraphView* window) {
        reopened = markersOf(window);
        auto* list = window->findChild<QComboBox*>(QStringLiteral("cbPoints"));
        for (int i = 0; i < list->count(); ++i)
            unplaced << list->itemText(i);
    });
    QCOMPARE(reopened, placed);
    QCOMPARE(unplaced, (QStringList{QStringLiteral("2"), QStringLiteral("4")}));

    // Event 1 goes with the first work; the window then shows only event 3 where it stood, and
    // closing it keeps only that.
    m_window->workTable().replaceRows(0, 1, WorkInputs());
    m_window->RecalcOrClear();
    inGraphWindow([&reopened](TfmGraphView* window) { reopened = markersOf(window); });
    QCOMPARE(reopened, std::vector{placed[0]});
    QCOMPARE(m_window->plan().graphPlacement(), std::vector{placed[0]});
}

QTEST_MAIN(TestPlanCommands)
#include "tst_plancommands.moc"
