#include "TfmMain.h"

#include "AutomaticEnds.h"
#include "ClassicFonts.h"
#include "CommandProgress.h"
#include "Commands.h"
#include "Edition.h"
#include "ErrorBox.h"
#include "EventIndex.h"
#include "FileChoice.h"
#include "ListCombo.h"
#include "LongLineLabel.h"
#include "NetworkAnalysis.h"
#include "PageScroller.h"
#include "Pictures.h"
#include "Recalculation.h"
#include "TfmAnalysis.h"
#include "TfmCalendar.h"
#include "TfmDiagram.h"
#include "TfmGantt.h"
#include "TfmGraphReport.h"
#include "TfmGraphView.h"
#include "TfmPreview.h"
#include "TfmProps.h"
#include "TfmReport.h"
#include "WindowPlacement.h"
#include "WorkChange.h"
#include "WorkCsv.h"
#include "WorkGrid.h"
#include "WorkHistory.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QStringView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 600;

// The main window's file choices: work list files, dBASE tables, CSV files.
FileType workListFiles()
{
    return {QStringLiteral("Данные Kestrin (*.kdf)"), QStringLiteral("kdf")};
}

QString chooseFile(QWidget* window, const char* name, FileChoice::Mode mode, const FileType& type)
{
    return FileChoice::of(window, {name, mode, {type}}).choosePath();
}

} // namespace

TfmMain::TfmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_table(new WorkTable(this)), m_names(QLocale()), m_numbers(QLocale()), m_dates(QLocale()),
      m_history(new WorkHistory(this))
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(editionTitle(QStringLiteral("расчёт сетевых графиков")));
    setWindowIcon(::windowIcon());
    setFont(classicWindowFont());
    setFixedSize(kClientWidth, kClientHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    addCommands();
    auto* coolBar = new QWidget(this);
    coolBar->setObjectName(QStringLiteral("CoolBar1"));
    buildToolBars(coolBar);
    layout->addWidget(coolBar);
    layout->addWidget(WorkGrid::makeCaptions(this));
    sgMain = new WorkGrid(m_table, this);
    sgMain->setContextMenu(
        m_commands->makeMenu(sgMain, "pmGrid",
                             {"sbNewLine", "sbEdit", "sbDel", nullptr, "sbCopy", "sbCopyAll",
                              "sbPaste", nullptr, "sbUndo", "sbRedo"}));
    layout->addWidget(sgMain, 1);
    lNotice = new QLabel(this);
    lNotice->setObjectName(QStringLiteral("lNotice"));
    lNotice->setTextFormat(Qt::PlainText);
    lNotice->setContentsMargins(4, 2, 4, 2);
    lNotice->hide();
    layout->addWidget(lNotice);

    connect(m_history, &WorkHistory::changed, this, &TfmMain::updateCommands);
    bindKeys();

    FormCreate();

    m_report = new TfmReport(this);
    m_graphReport = new TfmGraphReport(this);
}

TfmMain::~TfmMain() = default;

const EventIndex& TfmMain::events()
{
    if (!m_events || m_eventsRevision != m_table->namesRevision()) {
        m_events.reset();
        m_events = std::make_unique<EventIndex>(*m_table, m_names);
        m_eventsRevision = m_table->namesRevision();
    }
    return *m_events;
}

void TfmMain::FormCreate()
{
    m_criticalPath.clear();
    m_automaticEnds = false;
    sbInitBordersClick();
    m_plan.setStartDate(Plan::kInitialStartDate);
}

void TfmMain::showEvent(QShowEvent* event)
{
    if (!m_centred) {
        m_centred = true;
        centreOnScreen(this);
    }
    QWidget::showEvent(event);
}

int TfmMain::currentRow() const
{
    return sgMain->currentRow();
}

void TfmMain::setCurrentRow(int row)
{
    sgMain->setCurrentRow(row);
}

bool TfmMain::bothEndsNamed() const
{
    // Only emptiness counts: blanks are text, and names that occur in no work are accepted.
    return !cbFrom->currentText().isEmpty() && !cbTo->currentText().isEmpty();
}

void TfmMain::updateCommands()
{
    const bool hasWorks = !m_table->isEmptyTable();
    for (const char* name : {"sbEdit", "sbDel", "sbCopy", "sbCopyAll", "sbDetails"})
        m_commands->setEnabled(name, hasWorks);
    const bool bothNamed = bothEndsNamed();
    // The commands that read a calculated network follow the recalculation.
    for (const char* name :
         {"sbRecalc", "sbCalendar", "sbAnalysis", "sbDiagram", "sbGantt", "sbExport", "sbCost"})
        m_commands->setEnabled(name, bothNamed);
    m_commands->setEnabled("sbRisk", bothNamed);
    // Levelling needs something to level: at least one resource of the plan.
    m_commands->setEnabled("sbResources", bothNamed && !m_plan.resources().empty());
    m_commands->setEnabled("sbUndo", m_history->canUndo());
    m_commands->setEnabled("sbRedo", m_history->canRedo());
    m_commands->setChecked("sbInitBorders", m_automaticEnds);
    cbFrom->setEnabled(!m_automaticEnds);
    cbTo->setEnabled(!m_automaticEnds);
    // Every change of the selectors and the mode ends here, so the plan's copy is never stale.
    m_plan.setEnds(cbFrom->currentText(), cbTo->currentText(), m_automaticEnds);
}

void TfmMain::worksChanged()
{
    RecalcOrClear();
    FillEventLists();
    updateCommands();
}

void TfmMain::FillEventLists()
{
    bool cleared = false;
    const auto refill = [&](QComboBox* selector, WorkColumn column) {
        const QStringList entries = events().sortedNames(column);
        listcombo::setEntries(selector, entries);
        const QString current = selector->currentText();
        if (current.isEmpty() || m_names.indexOfSorted(entries, current) < 0) {
            selector->setEditText(QString());
            cleared = true;
        }
    };
    refill(cbFrom, WorkColumn::StartEvent);
    refill(cbTo, WorkColumn::EndEvent);
    updateCommands();
    if (m_automaticEnds && cleared)
        sbInitBordersClick();
}

void TfmMain::RecalcOrClear()
{
    // The recalculation's state as the last command left it.
    if (m_commands->action("sbRecalc")->isEnabled()) {
        sbRecalcClick();
        return;
    }
    m_calculated = false;
    const WorkTable::Batch batch(*m_table);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        for (WorkColumn column : kComputedColumns)
            m_table->setCell(column, row, QStringView());
    }
}

void TfmMain::sbInitBordersClick()
{
    m_automaticEnds = !m_automaticEnds;
    if (m_automaticEnds) {
        if (const std::optional<QString> start =
                chooseStartEvent(listcombo::entries(cbFrom), events()))
            cbFrom->setEditText(*start);
        if (const std::optional<QString> end = chooseEndEvent(listcombo::entries(cbTo), events()))
            cbTo->setEditText(*end);
    }
    updateCommands();
}

void TfmMain::cbFromChange()
{
    updateCommands();
}

void TfmMain::sbRecalcClick()
{
    m_calculated = true;
    m_calculatedStart = cbFrom->currentText();
    m_calculatedEnd = cbTo->currentText();
    const WorkTable::Batch batch(*m_table);
    Recalculation recalculation(*m_table, events(), cbFrom->currentText(), cbTo->currentText(),
                                scheduleDates(), m_numbers, m_dates, m_names);
    const long double length = recalculation.criticalLength(m_criticalPath);
    pWay->setText(criticalPathLine(m_numbers, length, m_criticalPath));
    psMain->setPosition(0);
    recalculation.fillComputedColumns();
}

void TfmMain::sbNewLineClick()
{
    TfmProps dialog(events(), m_numbers, this);
    dialog.exec();
    if (dialog.tag() == 1) {
        // The empty table's row takes the first work.
        const bool empty = m_table->isEmptyTable();
        WorkInputs work;
        work.append(dialog.startEvent(), dialog.endEvent(), dialog.durationText());
        changeWorks(empty ? 0 : m_table->rowCount(), empty ? 1 : 0, std::move(work));
        setCurrentRow(m_table->rowCount() - 1);
    }
    worksChanged();
}

void TfmMain::sbEditClick()
{
    const int row = currentRow();
    TfmProps dialog(events(), m_numbers, this);
    dialog.setWork(m_table->cell(WorkColumn::StartEvent, row),
                   m_table->cell(WorkColumn::EndEvent, row),
                   m_table->cell(WorkColumn::Duration, row));
    dialog.exec();
    if (dialog.tag() == 1) {
        // The work keeps its details (name, estimates, costs, demands) through the edit.
        WorkInputs work = WorkInputs::editedRow(*m_table, row, dialog.startEvent(),
                                                dialog.endEvent(), dialog.durationText());
        // Accepting the texts as they were changes nothing, and leaves nothing to undo.
        if (!(work == WorkInputs::ofRows(*m_table, row, 1)))
            changeWorks(row, 1, std::move(work));
    }
    worksChanged();
}

void TfmMain::sbDelClick()
{
    // Rows below move up one place; the current row keeps its index and so shows the work that
    // followed the deleted one, or the new last row when the last one went.
    const int row = currentRow();
    if (m_table->rowCount() == 1) {
        // The only row is emptied instead, so the table keeps its one row.
        WorkInputs blank;
        blank.append({}, {}, {});
        changeWorks(0, 1, std::move(blank));
    } else {
        changeWorks(row, 1, WorkInputs());
    }
    setCurrentRow(std::min(row, m_table->rowCount() - 1));
    worksChanged();
}

void TfmMain::sbCalendarClick()
{
    TfmCalendar dialog(this);
    dialog.setDate(DateFormat::dateOf(m_plan.startDate()));
    dialog.setTag(0);
    dialog.exec();
    // The calendar reports a whole day: an accepted start date has no time of day.
    if (dialog.tag() == 1)
        m_plan.setStartDate(DateFormat::daysOf(dialog.date()));
    if (m_commands->action("sbRecalc")->isEnabled())
        sbRecalcClick();
}

void TfmMain::sbSaveTempClick()
{
    const QString path = chooseFile(this, "sdMain", FileChoice::Mode::Save, workListFiles());
    if (path.isEmpty())
        return;
    worklistfile::write(path, *m_table);
    if (m_table->rowsWithDetails() > 0 || !m_plan.resources().empty())
        showNotice(QStringLiteral("Названия, оценки, стоимости и ресурсы работ не записаны в файл "
                                  "данных: сохраните их в файле плана (*.kpl)"));
}

void TfmMain::sbLoadTempClick()
{
    if (!mayLeavePlan())
        return;
    const QString path = chooseFile(this, "odMain", FileChoice::Mode::Open, workListFiles());
    if (!path.isEmpty()) {
        ShownState before = shownState();
        WorkInputs previous = WorkInputs::ofRows(*m_table, 0, m_table->rowCount());
        try {
            const WorkTable::Batch batch(*m_table);
            worklistfile::read(path, *m_table);
        } catch (...) {
            // What was read stays, and can be taken back like a whole reading; the lists and
            // commands still follow it before the error shows.
            if (!(WorkInputs::ofRows(*m_table, 0, m_table->rowCount()) == previous))
                recordReading(std::move(previous), std::move(before));
            FillEventLists();
            throw;
        }
        recordReading(std::move(previous), std::move(before));
    }
    followUpReading();
}

void TfmMain::followUpReading()
{
    showNotice(QString());
    FillEventLists();
    if (!m_automaticEnds)
        sbInitBordersClick();
    if (m_commands->action("sbRecalc")->isEnabled())
        sbRecalcClick();
    else
        m_calculated = false; // the new works have no computed cells but the first row's old ones
}

void TfmMain::sbSaveBaseClick()
{
    const QString path =
        chooseFile(this, "sdBase", FileChoice::Mode::Save,
                   {QStringLiteral("Базы данных dbf (*.dbf)"), QStringLiteral("dbf")});
    if (!path.isEmpty())
        m_scheduleTables.exportTo(path, *m_table, m_numbers, m_dates);
}

void TfmMain::sbPrintClick()
{
    m_scheduleTables.previewReport(m_report->qrMain, *m_table, m_numbers, m_dates, this);
}

void TfmMain::tbGraphClick()
{
    TfmGraphView graphView(*m_table, m_criticalPath, m_numbers, m_names, this);
    graphView.setPrintPicture([this, &graphView](const QString& pictureFile) {
        m_graphReport->loadPicture(pictureFile);
        // The graph report has no detail band: it takes the road of a report without data.
        report::showPreview(m_graphReport->qrGraph, nullptr, &graphView);
    });
    graphView.restorePlacement(m_plan.graphPlacement());
    execWindow(graphView);
    m_plan.setGraphPlacement(graphView.placement());
}

void TfmMain::sbAnalysisClick()
{
    const NetworkAnalysis analysis(*m_table, events(), cbFrom->currentText(), cbTo->currentText(),
                                   scheduleDates(), m_numbers, m_dates);
    TfmAnalysis window(analysis, this);
    execWindow(window);
}

void TfmMain::sbDiagramClick()
{
    TfmDiagram window(*m_table, events(), cbFrom->currentText(), cbTo->currentText(), m_numbers,
                      this);
    execWindow(window);
}

void TfmMain::sbGanttClick()
{
    TfmGantt gantt(*m_table, m_numbers, m_dates, scheduleDates(), this);
    gantt.setLevelling(ganttLevelling());
    execWindow(gantt);
}

void TfmMain::execWindow(QDialog& window)
{
    if (m_commandProgress)
        m_commandProgress->finish();
    window.exec();
}

void TfmMain::cbExitClick()
{
    close();
}

void TfmMain::changeWorks(int at, int replaced, WorkInputs rows)
{
    m_history->push(
        std::make_unique<WorkChange>(*m_table, at, replaced, std::move(rows), shownState()));
}

void TfmMain::recordReading(WorkInputs previous, ShownState before)
{
    m_history->push(
        WorkChange::made(*m_table, 0, m_table->rowCount(), std::move(previous), std::move(before)));
}

ShownState TfmMain::shownState() const
{
    ShownState state;
    state.startEvent = cbFrom->currentText();
    state.endEvent = cbTo->currentText();
    state.automaticEnds = m_automaticEnds;
    state.currentRow = currentRow();
    state.resources = m_plan.resources();
    state.calculated = m_calculated;
    if (m_calculated) {
        state.calculatedStart = m_calculatedStart;
        state.calculatedEnd = m_calculatedEnd;
    } else {
        state.pathLine = pWay->text();
        state.criticalPath = m_criticalPath;
    }
    state.calendar = m_plan.section(QString::fromUtf16(plansection::kCalendar));
    return state;
}

void TfmMain::showEnds(const QString& startEvent, const QString& endEvent, bool automaticEnds)
{
    m_automaticEnds = automaticEnds;
    cbFrom->setEditText(startEvent);
    cbTo->setEditText(endEvent);
    updateCommands();
}

void TfmMain::showExchangedState(const ShownState& state)
{
    // The calendar first: the follow-up dates the works by it.
    m_plan.setSection(QString::fromUtf16(plansection::kCalendar), state.calendar);
    m_plan.setResources(state.resources);
    setCurrentRow(std::clamp(state.currentRow, 0, m_table->rowCount() - 1));
    // The follow-up of a change, with the selectors as they stood when the computed columns were
    // last written, so that RecalcOrClear writes them again the same way: a recalculation with
    // those texts, or emptied columns beside the path line of that time.
    if (state.calculated) {
        showEnds(state.calculatedStart, state.calculatedEnd, state.automaticEnds);
    } else {
        showEnds(QString(), QString(), state.automaticEnds);
        pWay->setText(state.pathLine);
        psMain->setPosition(0);
        m_criticalPath = state.criticalPath;
    }
    worksChanged();
    // Then the selectors and the mode as the window showed them (the follow-up of the change may
    // have emptied a selector and switched the automatic ends off, and the start-up state has
    // them on with nothing chosen).
    showEnds(state.startEvent, state.endEvent, state.automaticEnds);
}

void TfmMain::sbUndoClick()
{
    if (m_history->canUndo())
        showExchangedState(m_history->undo([this] { return shownState(); }));
}

void TfmMain::sbRedoClick()
{
    if (m_history->canRedo())
        showExchangedState(m_history->redo([this] { return shownState(); }));
}

void TfmMain::sbCopyClick()
{
    QGuiApplication::clipboard()->setText(
        workcsv::clipboardText(*m_table, m_plan, m_numbers, currentRow(), 1));
}

void TfmMain::sbCopyAllClick()
{
    QGuiApplication::clipboard()->setText(
        workcsv::clipboardText(*m_table, m_plan, m_numbers, 0, m_table->rowCount()));
}

void TfmMain::sbPasteClick()
{
    // Every line is checked before the first work goes in: a bad line adds nothing.
    WorkInputs works =
        workcsv::pastedWorks(QGuiApplication::clipboard()->text(), m_numbers, m_plan);
    if (works.rowCount() == 0)
        throw KestrinError(QStringLiteral("В буфере обмена нет элементов графика"));
    const bool empty = m_table->isEmptyTable();
    changeWorks(empty ? 0 : m_table->rowCount(), empty ? 1 : 0, std::move(works));
    setCurrentRow(m_table->rowCount() - 1);
    worksChanged();
}

void TfmMain::sbLoadCsvClick()
{
    if (!mayLeavePlan())
        return;
    const QString path = chooseFile(this, "odCsv", FileChoice::Mode::Open, filetypes::csv());
    if (path.isEmpty())
        return;
    // The whole file is read and checked before the table changes: a bad line changes nothing.
    WorkInputs works = workcsv::read(path, m_numbers, m_plan);
    changeWorks(0, m_table->rowCount(), std::move(works));
    followUpReading();
}

void TfmMain::sbSaveCsvClick()
{
    const QString path = chooseFile(this, "sdCsv", FileChoice::Mode::Save, filetypes::csv());
    if (!path.isEmpty())
        workcsv::write(path, *m_table, m_plan, m_numbers);
}
