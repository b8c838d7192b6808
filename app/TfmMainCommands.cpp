#include "TfmMain.h"

#include "CommandProgress.h"
#include "Commands.h"
#include "GuardedCommand.h"
#include "ListCombo.h"
#include "LongLineLabel.h"
#include "PageScroller.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "WorkGrid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScopedValueRollback>
#include <QToolBar>
#include <QVBoxLayout>

// The main window's table of commands, its tool bars and keys: adding a command is a row here,
// a button in buildToolBars and a handler in TfmMain.cpp.

namespace {

constexpr int kSelectorWidth = 95;
constexpr QSize kScrollerSize(513, 22);
constexpr QSize kPathPanelSize(2906, 22);

QKeySequence ctrl(Qt::Key key)
{
    return QKeySequence(Qt::CTRL | key);
}

QComboBox* makeSelector(const char* name, const QString& accessibleName, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // The text is exactly what the user typed: no inline completion from the list.
    box->setCompleter(nullptr);
    box->setFixedWidth(kSelectorWidth);
    listcombo::install(box);
    return box;
}

} // namespace

void TfmMain::addCommands()
{
    m_commands = new CommandSet(
        this, [this] { updateCommands(); },
        [this](const std::function<void()>& handler) {
            CommandProgress progress(this);
            const QScopedValueRollback current(m_commandProgress, &progress);
            handler();
        });
    using C = Command<TfmMain>;
    using P = Picture;
    // clang-format off
    m_commands->add<TfmMain>(this, {
        // name, picture, hint, handler, keys, menu text, toggle
        C{"sbNewLine", P::NewLine, u"Добавить ещё один элемент графика", &TfmMain::sbNewLineClick,
          {Qt::Key_Insert}, u"Добавить"},
        C{"sbEdit", P::Edit, u"Изменить данные для текущего элемента графика",
          &TfmMain::sbEditClick, {Qt::Key_F2}, u"Изменить"},
        C{"sbDel", P::Delete, u"Удалить текущий элемент графика", &TfmMain::sbDelClick,
          {Qt::Key_Delete}, u"Удалить"},
        C{"sbUndo", P::Undo, u"Отменить", &TfmMain::sbUndoClick, {ctrl(Qt::Key_Z)}},
        C{"sbRedo", P::Redo, u"Повторить", &TfmMain::sbRedoClick, {ctrl(Qt::Key_Y)}},
        C{"sbRecalc", P::Recalc, u"Пересчитать график", &TfmMain::sbRecalcClick, {Qt::Key_F9}},
        C{"sbCalendar", P::Calendar, u"Изменить день начала работы", &TfmMain::sbCalendarClick},
        C{"sbWorkCalendar", P::Workdays, u"Рабочий календарь", &TfmMain::sbWorkCalendarClick},
        C{"sbLoadTemp", P::LoadTemp, u"Считать данные", &TfmMain::sbLoadTempClick,
          {ctrl(Qt::Key_O)}},
        C{"sbSaveTemp", P::SaveTemp, u"Записать данные", &TfmMain::sbSaveTempClick,
          commandkeys::save()},
        C{"sbLoadCsv", P::LoadCsv, u"Считать данные из файла CSV", &TfmMain::sbLoadCsvClick},
        C{"sbSaveCsv", P::SaveCsv, u"Записать данные в файл CSV", &TfmMain::sbSaveCsvClick},
        C{"sbCopy", P::Copy, u"Копировать текущий элемент графика", &TfmMain::sbCopyClick,
          {ctrl(Qt::Key_C)}, u"Копировать"},
        C{"sbCopyAll", P::CopyAll, u"Копировать все элементы графика", &TfmMain::sbCopyAllClick,
          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, u"Копировать все"},
        C{"sbPaste", P::Paste, u"Вставить элементы графика из буфера обмена",
          &TfmMain::sbPasteClick, {ctrl(Qt::Key_V)}, u"Вставить"},
        C{"sbDetails", P::Details, u"Сведения о работах", &TfmMain::sbDetailsClick},
        C{"sbLoadPlan", P::LoadPlan, u"Открыть план", &TfmMain::sbLoadPlanClick},
        C{"sbSavePlan", P::SavePlan, u"Сохранить план", &TfmMain::sbSavePlanClick},
        C{"sbSaveBase", P::SaveBase, u"Сохранить в формате DBF", &TfmMain::sbSaveBaseClick},
        C{"sbPrint", P::Print, u"Напечатать таблицу", &TfmMain::sbPrintClick,
          commandkeys::print()},
        C{"tbGraph", P::Graph, u"Построить граф", &TfmMain::tbGraphClick},
        C{"sbAnalysis", P::Analysis, u"Анализ сети", &TfmMain::sbAnalysisClick},
        C{"sbDiagram", P::Diagram, u"Схема сети", &TfmMain::sbDiagramClick},
        C{"sbGantt", P::Gantt, u"Диаграмма Ганта", &TfmMain::sbGanttClick},
        C{"sbRisk", P::Risk, u"Анализ рисков", &TfmMain::sbRiskClick},
        C{"sbImport", P::Import, u"Импорт плана из MS Project XML", &TfmMain::sbImportClick,
          {}, u"Импорт"},
        C{"sbExport", P::Export, u"Экспорт плана в MS Project XML, TaskJuggler или Excel",
          &TfmMain::sbExportClick, {}, u"Экспорт"},
        C{"sbCost", P::Cost, u"Время и стоимость", &TfmMain::sbCostClick},
        C{"sbResources", P::Resources, u"Ресурсы", &TfmMain::sbResourcesClick},
        C{"cbExit", P::Exit, u"Закончить работу с программой", &TfmMain::cbExitClick},
        C{"sbInitBorders", P::InitBorders,
          u"Устанавливать начальную и конечную точки автоматически",
          &TfmMain::sbInitBordersClick, {}, nullptr, true},
    });
    // clang-format on
}

void TfmMain::buildToolBars(QWidget* coolBar)
{
    auto* bands = new QVBoxLayout(coolBar);
    bands->setContentsMargins(2, 2, 2, 2);
    bands->setSpacing(2);
    const auto addButtons = [this](QToolBar* bar, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (name)
                m_commands->addButton(bar, name);
            else
                bar->addSeparator();
        }
    };

    QToolBar* bar1 = makeFlatToolBar(coolBar, "ToolBar1");
    addButtons(bar1, {"sbNewLine", "sbEdit", "sbDel", "sbUndo", "sbRedo", nullptr, "sbRecalc",
                      "sbCalendar", nullptr});
    psMain = new PageScroller(bar1);
    psMain->setObjectName(QStringLiteral("psMain"));
    psMain->setFixedSize(kScrollerSize);
    pWay = new LongLineLabel;
    pWay->setObjectName(QStringLiteral("pWay"));
    pWay->setAccessibleName(QStringLiteral("Критический путь"));
    QFont pathFont(QStringLiteral("MS Sans Serif"), 10);
    pathFont.setBold(true);
    pWay->setFont(pathFont);
    pWay->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pWay->setTextFormat(Qt::PlainText);
    // Not a fixed size: a fixed-size label would not announce a new text to the scroller.
    pWay->setFixedHeight(kPathPanelSize.height());
    pWay->setMinimumWidth(kPathPanelSize.width());
    pWay->resize(kPathPanelSize);
    psMain->setContent(pWay);
    bar1->addWidget(psMain);
    bar1->addSeparator();

    QToolBar* bar3 = makeFlatToolBar(coolBar, "ToolBar3");
    addButtons(bar3, {"sbLoadTemp", "sbSaveTemp", "sbLoadCsv", "sbSaveCsv", nullptr, "sbCopy",
                      "sbCopyAll", "sbPaste", nullptr, "sbSaveBase", nullptr, "sbPrint", "tbGraph",
                      "sbAnalysis", "sbDiagram", "sbGantt", nullptr, "cbExit"});

    // The planning commands have a band of their own under the two classic ones, which stay as
    // they always were (both are full at the window's width).
    QToolBar* bar4 = makeFlatToolBar(coolBar, "ToolBar4");
    addButtons(bar4, {"sbDetails", "sbLoadPlan", "sbSavePlan", nullptr, "sbWorkCalendar", nullptr,
                      "sbRisk", "sbResources", "sbCost", nullptr, "sbImport", "sbExport"});

    QToolBar* bar2 = makeFlatToolBar(coolBar, "ToolBar2");
    addButtons(bar2, {"sbInitBorders"});
    auto* label6 = new QLabel(QStringLiteral(" Нач. точка "), bar2);
    label6->setObjectName(QStringLiteral("Label6"));
    bar2->addWidget(label6);
    cbFrom = makeSelector("cbFrom", QStringLiteral("Начальная точка"), bar2);
    bar2->addWidget(cbFrom);
    auto* label7 = new QLabel(QStringLiteral(" Кон. точка "), bar2);
    label7->setObjectName(QStringLiteral("Label7"));
    bar2->addWidget(label7);
    cbTo = makeSelector("cbTo", QStringLiteral("Конечная точка"), bar2);
    bar2->addWidget(cbTo);
    label6->setBuddy(cbFrom);
    label7->setBuddy(cbTo);
    bar2->addSeparator();
    for (QComboBox* selector : {cbFrom, cbTo}) {
        connect(selector, &QComboBox::currentTextChanged, this,
                guarded(this, &TfmMain::cbFromChange));
        connect(selector, &QComboBox::editTextChanged, this, guarded(this, &TfmMain::cbFromChange));
    }

    bands->addWidget(bar1);
    auto* secondLine = new QHBoxLayout;
    secondLine->setSpacing(2);
    secondLine->addWidget(bar3);
    secondLine->addWidget(bar2);
    secondLine->addStretch(1);
    bands->addLayout(secondLine);
    auto* thirdLine = new QHBoxLayout;
    thirdLine->addWidget(bar4);
    thirdLine->addStretch(1);
    bands->addLayout(thirdLine);
}

void TfmMain::bindKeys()
{
    m_commands->bindWithin(sgMain, "sbEdit", {Qt::Key_Return, Qt::Key_Enter});
    m_commands->bindDoubleClick(sgMain, "sbEdit");
    // The keyboard starts in the grid; Tab goes on through the tool bars in their order.
    sgMain->setFocus();
}
