#include "TfmMain.h"

#include "Commands.h"
#include "ErrorBox.h"
#include "FileChoice.h"
#include "PlanFile.h"
#include "TfmDetails.h"
#include "WorkChange.h"
#include "WorkHistory.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>

#include <utility>

// The main window's plan commands: the details window, reading and saving the plan file, and the
// question before unsaved details or resources are left.

namespace {

QString choosePlanFile(QWidget* window, const char* name, FileChoice::Mode mode)
{
    return FileChoice::of(
               window,
               {name, mode, {{QStringLiteral("План Kestrin (*.kpl)"), QStringLiteral("kpl")}}})
        .choosePath();
}

} // namespace

void TfmMain::sbDetailsClick()
{
    // Each detail edit is one step of the works; each edit of the resources is a step of no rows
    // whose state gives the resources back, so one undo takes back one edit of either.
    std::vector<Resource> recorded = m_plan.resources();
    TfmDetails window(
        *m_table, m_plan, m_numbers,
        [this](int at, int replaced, const WorkInputs& rows) {
            changeWorks(at, replaced, rows);
            worksChanged();
        },
        this);
    connect(&window, &TfmDetails::resourcesEdited, this, [this, &recorded] {
        ShownState before = shownState();
        before.resources = std::exchange(recorded, m_plan.resources());
        m_history->push(WorkChange::made(*m_table, 0, 0, WorkInputs(), std::move(before)));
    });
    execWindow(window);
}

void TfmMain::sbLoadPlanClick()
{
    if (!mayLeavePlan())
        return;
    const QString path = choosePlanFile(this, "odPlan", FileChoice::Mode::Open);
    if (path.isEmpty())
        return;
    // Read whole before anything changes: a damaged or newer file leaves the open plan as it was.
    planfile::Contents contents = planfile::read(path);
    // One step like reading a work list file; it gives back the works, resources and ends.
    changeWorks(0, m_table->rowCount(), std::move(contents.works));
    const Plan read = contents.plan;
    m_plan = std::move(contents.plan);
    // The same follow-up as a work list file, then the ends the plan was saved with.
    followUpReading();
    const bool endsSaved =
        !read.startEvent().isEmpty() || !read.endEvent().isEmpty() || !read.automaticEnds();
    if (endsSaved) {
        showEnds(read.startEvent(), read.endEvent(), read.automaticEnds());
        RecalcOrClear();
        updateCommands();
    }
    m_planPath = path;
    m_history->markSaved();
}

void TfmMain::sbSavePlanClick()
{
    const QString path = choosePlanFile(this, "sdPlan", FileChoice::Mode::Save);
    if (!path.isEmpty())
        writePlan(path);
}

void TfmMain::writePlan(const QString& path)
{
    planfile::write(path, *m_table, m_plan);
    m_planPath = path;
    m_history->markSaved();
    showNotice(QString());
}

bool TfmMain::hasUnsavedPlan() const
{
    return !m_history->isAtSaved() &&
           (m_table->rowsWithDetails() > 0 || !m_plan.resources().empty());
}

bool TfmMain::mayLeavePlan()
{
    if (!hasUnsavedPlan())
        return true;
    QMessageBox question(QMessageBox::Question, applicationTitle(),
                         QStringLiteral("Сохранить изменения плана?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    question.setObjectName(QStringLiteral("mbSavePlan"));
    question.setInformativeText(QStringLiteral(
        "Названия, оценки, стоимости или ресурсы работ изменены после сохранения плана."));
    question.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    question.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    question.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    question.setDefaultButton(QMessageBox::Yes);
    question.setEscapeButton(QMessageBox::Cancel);
    // Asked before the command has done anything, so there is no progress to finish.
    question.exec();
    switch (question.standardButton(question.clickedButton())) {
    case QMessageBox::Yes: {
        const QString path = m_planPath.isEmpty()
                                 ? choosePlanFile(this, "sdPlan", FileChoice::Mode::Save)
                                 : m_planPath;
        if (path.isEmpty())
            return false;
        writePlan(path);
        return true;
    }
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    // A failed save keeps the program open, its error shown by the guard.
    bool leave = false;
    runGuarded(this, [&] { leave = mayLeavePlan(); });
    if (leave)
        event->accept();
    else
        event->ignore();
}

void TfmMain::showNotice(const QString& text)
{
    lNotice->setText(text);
    lNotice->setVisible(!text.isEmpty());
}
