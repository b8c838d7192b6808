#include "TfmMain.h"

#include "AutomaticEnds.h"
#include "ClassicFonts.h"
#include "CommandKeys.h"
#include "CommandProgress.h"
#include "Edition.h"
#include "ErrorBox.h"
#include "EventIndex.h"
#include "GuardedCommand.h"
#include "ListCombo.h"
#include "LongLineLabel.h"
#include "NameCollation.h"
#include "NetworkAnalysis.h"
#include "PageScroller.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "PrivateTempFolder.h"
#include "Recalculation.h"
#include "ScheduleDataSet.h"
#include "ScheduleTable.h"
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
#include "WorkCsv.h"
#include "WorkGrid.h"
#include "WorkHistory.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStandardItemModel>
#include <QStringView>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The start date at start-up: 30 December 1899, about 17 seconds after midnight.
constexpr double kInitialStartDate = 0.0001965077760934254;

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 600;
constexpr int kRowHeight = 16;
constexpr int kHeaderStripHeight = 22;
constexpr int kSelectorWidth = 95;
constexpr QSize kScrollerSize(513, 22);
constexpr QSize kPathPanelSize(2906, 22);

struct ColumnLook
{
    int gridWidth;
    int headerWidth;
    Qt::Alignment headerAlignment;
};

constexpr std::array<ColumnLook, kWorkColumnCount> kColumns{{
    {100, 104, Qt::AlignLeft},
    {78, 79, Qt::AlignHCenter},
    {78, 79, Qt::AlignHCenter},
    {71, 72, Qt::AlignLeft},
    {42, 43, Qt::AlignLeft},
    {42, 43, Qt::AlignLeft},
    {43, 44, Qt::AlignLeft},
    {43, 44, Qt::AlignLeft},
    {44, 45, Qt::AlignLeft},
    {44, 45, Qt::AlignLeft},
    {60, 60, Qt::AlignLeft},
}};

QComboBox* makeSelector(const char* name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // The text is exactly what the user typed: no inline completion from the list.
    box->setCompleter(nullptr);
    box->setFixedWidth(kSelectorWidth);
    listcombo::install(box);
    return box;
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

    CoolBar1 = new QWidget(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    buildToolBars(CoolBar1);
    layout->addWidget(CoolBar1);

    buildHeaderStrip();
    layout->addWidget(HeaderControl1);

    buildGrid();
    layout->addWidget(sgMain, 1);

    const QString workListFilter = QStringLiteral("Данные Kestrin (*.kdf)");
    odMain = makeFileDialog("odMain", false, workListFilter, QStringLiteral("kdf"));
    sdMain = makeFileDialog("sdMain", true, workListFilter, QStringLiteral("kdf"));
    sdBase = makeFileDialog("sdBase", true, QStringLiteral("Базы данных dbf (*.dbf)"),
                            QStringLiteral("dbf"));
    sdAnalysis = makeFileDialog("sdAnalysis", true, QStringLiteral("Файлы CSV (*.csv)"),
                                QStringLiteral("csv"));
    sdDiagramPdf = makeFileDialog("sdDiagramPdf", true, QStringLiteral("Документы PDF (*.pdf)"),
                                  QStringLiteral("pdf"));
    sdDiagramSvg = makeFileDialog("sdDiagramSvg", true, QStringLiteral("Рисунки SVG (*.svg)"),
                                  QStringLiteral("svg"));
    sdDiagramPng = makeFileDialog("sdDiagramPng", true, QStringLiteral("Рисунки PNG (*.png)"),
                                  QStringLiteral("png"));
    const QString csvFilter = QStringLiteral("Файлы CSV (*.csv)");
    odCsv = makeFileDialog("odCsv", false, csvFilter, QStringLiteral("csv"));
    sdCsv = makeFileDialog("sdCsv", true, csvFilter, QStringLiteral("csv"));
    connect(m_history, &WorkHistory::changed, this, &TfmMain::enableUndoRedo);
    enableUndoRedo();
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

void TfmMain::buildToolBars(QWidget* coolBar)
{
    auto* bands = new QVBoxLayout(coolBar);
    bands->setContentsMargins(2, 2, 2, 2);
    bands->setSpacing(2);

    const auto makeBar = [coolBar](const char* name) {
        return makeFlatToolBar(coolBar, name);
    };

    ToolBar1 = makeBar("ToolBar1");
    sbNewLine =
        addCommand(ToolBar1, "sbNewLine", Picture::NewLine,
                   QStringLiteral("Добавить ещё один элемент графика"), &TfmMain::sbNewLineClick);
    sbEdit = addCommand(ToolBar1, "sbEdit", Picture::Edit,
                        QStringLiteral("Изменить данные для текущего элемента графика"),
                        &TfmMain::sbEditClick);
    sbDel = addCommand(ToolBar1, "sbDel", Picture::Delete,
                       QStringLiteral("Удалить текущий элемент графика"), &TfmMain::sbDelClick);
    sbUndo = addCommand(ToolBar1, "sbUndo", Picture::Undo, QStringLiteral("Отменить"),
                        &TfmMain::sbUndoClick);
    sbRedo = addCommand(ToolBar1, "sbRedo", Picture::Redo, QStringLiteral("Повторить"),
                        &TfmMain::sbRedoClick);
    ToolBar1->addSeparator();
    sbRecalc = addCommand(ToolBar1, "sbRecalc", Picture::Recalc,
                          QStringLiteral("Пересчитать график"), &TfmMain::sbRecalcClick);
    sbCalendar =
        addCommand(ToolBar1, "sbCalendar", Picture::Calendar,
                   QStringLiteral("Изменить день начала работы"), &TfmMain::sbCalendarClick);
    ToolBar1->addSeparator();
    psMain = new PageScroller(ToolBar1);
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
    ToolBar1->addWidget(psMain);
    ToolBar1->addSeparator();

    ToolBar3 = makeBar("ToolBar3");
    sbLoadTemp = addCommand(ToolBar3, "sbLoadTemp", Picture::LoadTemp,
                            QStringLiteral("Считать данные"), &TfmMain::sbLoadTempClick);
    sbSaveTemp = addCommand(ToolBar3, "sbSaveTemp", Picture::SaveTemp,
                            QStringLiteral("Записать данные"), &TfmMain::sbSaveTempClick);
    sbLoadCsv = addCommand(ToolBar3, "sbLoadCsv", Picture::LoadCsv,
                           QStringLiteral("Считать данные из файла CSV"), &TfmMain::sbLoadCsvClick);
    sbSaveCsv = addCommand(ToolBar3, "sbSaveCsv", Picture::SaveCsv,
                           QStringLiteral("Записать данные в файл CSV"), &TfmMain::sbSaveCsvClick);
    ToolBar3->addSeparator();
    sbCopy =
        addCommand(ToolBar3, "sbCopy", Picture::Copy,
                   QStringLiteral("Копировать текущий элемент графика"), &TfmMain::sbCopyClick);
    sbCopyAll =
        addCommand(ToolBar3, "sbCopyAll", Picture::CopyAll,
                   QStringLiteral("Копировать все элементы графика"), &TfmMain::sbCopyAllClick);
    sbPaste = addCommand(ToolBar3, "sbPaste", Picture::Paste,
                         QStringLiteral("Вставить элементы графика из буфера обмена"),
                         &TfmMain::sbPasteClick);
    ToolBar3->addSeparator();
    sbSaveBase = addCommand(ToolBar3, "sbSaveBase", Picture::SaveBase,
                            QStringLiteral("Сохранить в формате DBF"), &TfmMain::sbSaveBaseClick);
    ToolBar3->addSeparator();
    sbPrint = addCommand(ToolBar3, "sbPrint", Picture::Print, QStringLiteral("Напечатать таблицу"),
                         &TfmMain::sbPrintClick);
    tbGraph = addCommand(ToolBar3, "tbGraph", Picture::Graph, QStringLiteral("Построить граф"),
                         &TfmMain::tbGraphClick);
    sbAnalysis = addCommand(ToolBar3, "sbAnalysis", Picture::Analysis,
                            QStringLiteral("Анализ сети"), &TfmMain::sbAnalysisClick);
    sbDiagram = addCommand(ToolBar3, "sbDiagram", Picture::Diagram, QStringLiteral("Схема сети"),
                           &TfmMain::sbDiagramClick);
    sbGantt = addCommand(ToolBar3, "sbGantt", Picture::Gantt, QStringLiteral("Диаграмма Ганта"),
                         &TfmMain::sbGanttClick);
    ToolBar3->addSeparator();
    cbExit = addCommand(ToolBar3, "cbExit", Picture::Exit,
                        QStringLiteral("Закончить работу с программой"), &TfmMain::cbExitClick);

    ToolBar2 = makeBar("ToolBar2");
    sbInitBorders =
        addCommand(ToolBar2, "sbInitBorders", Picture::InitBorders,
                   QStringLiteral("Устанавливать начальную и конечную точки автоматически"),
                   &TfmMain::sbInitBordersClick);
    sbInitBorders->setCheckable(true);
    auto* label6 = new QLabel(QStringLiteral(" Нач. точка "), ToolBar2);
    label6->setObjectName(QStringLiteral("Label6"));
    ToolBar2->addWidget(label6);
    cbFrom = makeSelector("cbFrom", ToolBar2);
    ToolBar2->addWidget(cbFrom);
    auto* label7 = new QLabel(QStringLiteral(" Кон. точка "), ToolBar2);
    label7->setObjectName(QStringLiteral("Label7"));
    ToolBar2->addWidget(label7);
    cbTo = makeSelector("cbTo", ToolBar2);
    ToolBar2->addWidget(cbTo);
    label6->setBuddy(cbFrom);
    label7->setBuddy(cbTo);
    cbFrom->setAccessibleName(QStringLiteral("Начальная точка"));
    cbTo->setAccessibleName(QStringLiteral("Конечная точка"));
    ToolBar2->addSeparator();
    for (QComboBox* selector : {cbFrom, cbTo}) {
        connect(selector, &QComboBox::currentTextChanged, this,
                guarded(this, &TfmMain::cbFromChange));
        connect(selector, &QComboBox::editTextChanged, this, guarded(this, &TfmMain::cbFromChange));
    }

    bands->addWidget(ToolBar1);
    auto* secondLine = new QHBoxLayout;
    secondLine->setSpacing(2);
    secondLine->addWidget(ToolBar3);
    secondLine->addWidget(ToolBar2);
    secondLine->addStretch(1);
    bands->addLayout(secondLine);
}

QToolButton* TfmMain::addCommand(QToolBar* bar, const char* name, Picture picture,
                                 const QString& hint, void (TfmMain::*handler)())
{
    QToolButton* button = makePictureButton(bar, name, picture, hint);
    button->setFixedSize(kToolButtonSize);
    connect(button, &QToolButton::clicked, this, [this, handler] {
        runGuarded(this, [this, handler] {
            CommandProgress progress(this);
            const QScopedValueRollback current(m_commandProgress, &progress);
            (this->*handler)();
        });
    });
    bar->addWidget(button);
    return button;
}

void TfmMain::buildHeaderStrip()
{
    auto* captions = new QStandardItemModel(0, kWorkColumnCount, this);
    HeaderControl1 = new QHeaderView(Qt::Horizontal, this);
    HeaderControl1->setObjectName(QStringLiteral("HeaderControl1"));
    HeaderControl1->setModel(captions);
    for (int column = 0; column < kWorkColumnCount; ++column) {
        const ColumnLook& look = kColumns[static_cast<std::size_t>(column)];
        captions->setHeaderData(column, Qt::Horizontal,
                                workColumnCaption(static_cast<WorkColumn>(column)),
                                Qt::DisplayRole);
        captions->setHeaderData(column, Qt::Horizontal,
                                QVariant::fromValue(look.headerAlignment | Qt::AlignVCenter),
                                Qt::TextAlignmentRole);
    }
    HeaderControl1->setSectionResizeMode(QHeaderView::Fixed);
    HeaderControl1->setMinimumSectionSize(1);
    for (int column = 0; column < kWorkColumnCount; ++column)
        HeaderControl1->resizeSection(column,
                                      kColumns[static_cast<std::size_t>(column)].headerWidth);
    HeaderControl1->setSectionsClickable(false);
    HeaderControl1->setSectionsMovable(false);
    HeaderControl1->setHighlightSections(false);
    HeaderControl1->setStretchLastSection(false);
    HeaderControl1->setFixedHeight(kHeaderStripHeight);
    // A disabled strip that still reads as the table's captions, not as greyed-out text.
    QPalette palette = HeaderControl1->palette();
    palette.setColor(QPalette::Disabled, QPalette::ButtonText,
                     palette.color(QPalette::Active, QPalette::ButtonText));
    palette.setColor(QPalette::Disabled, QPalette::WindowText,
                     palette.color(QPalette::Active, QPalette::WindowText));
    palette.setColor(QPalette::Disabled, QPalette::Text,
                     palette.color(QPalette::Active, QPalette::Text));
    HeaderControl1->setPalette(palette);
    HeaderControl1->setEnabled(false);
}

void TfmMain::buildGrid()
{
    sgMain = new WorkGrid(this);
    sgMain->setObjectName(QStringLiteral("sgMain"));
    sgMain->setAccessibleName(QStringLiteral("Таблица работ"));
    sgMain->setModel(m_table);
    sgMain->horizontalHeader()->hide();
    sgMain->verticalHeader()->hide();
    sgMain->verticalHeader()->setMinimumSectionSize(1);
    sgMain->verticalHeader()->setDefaultSectionSize(kRowHeight);
    sgMain->horizontalHeader()->setMinimumSectionSize(1);
    for (int column = 0; column < kWorkColumnCount; ++column)
        sgMain->setColumnWidth(column, kColumns[static_cast<std::size_t>(column)].gridWidth);
    sgMain->setShowGrid(true);
    sgMain->setWordWrap(false);
    // A cell too narrow for its text shows what fits, as a classic grid does, not an ellipsis.
    sgMain->setTextElideMode(Qt::ElideNone);

    sgMain->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgMain->setSelectionMode(QAbstractItemView::SingleSelection);
    sgMain->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgMain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgMain->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    sgMain->setTabKeyNavigation(false);
    sgMain->setLayoutDirection(QLocale::system().textDirection());
    sgMain->setCurrentIndex(m_table->index(0, 0));
    connect(m_table, &QAbstractItemModel::rowsRemoved, this, &TfmMain::keepCurrentRowInTable);
    // A batch that changed the row count resets the model, which forgets the current row.
    connect(m_table, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_rowBeforeReset = currentRow(); });
    connect(m_table, &QAbstractItemModel::modelReset, this,
            [this] { setCurrentRow(std::min(m_rowBeforeReset, m_table->rowCount() - 1)); });
}

void TfmMain::FormCreate()
{
    m_criticalPath.clear();
    EnableButtons();
    m_automaticEnds = false;
    sbInitBordersClick();
    m_startDate = kInitialStartDate;
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
    const QModelIndex current = sgMain->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void TfmMain::setCurrentRow(int row)
{
    const QModelIndex index = m_table->index(row, 0);
    sgMain->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
}

void TfmMain::keepCurrentRowInTable()
{
    const QModelIndex current = sgMain->currentIndex();
    if (!current.isValid() || current.row() >= m_table->rowCount())
        setCurrentRow(m_table->rowCount() - 1);
}

void TfmMain::setRecalcEnabled(bool enabled)
{
    sbRecalc->setEnabled(enabled);
    // The commands that read a calculated network follow the recalculation's own state.
    sbAnalysis->setEnabled(enabled);
    sbDiagram->setEnabled(enabled);
    sbGantt->setEnabled(enabled);
}

void TfmMain::EnableButtons()
{
    const bool hasWorks = !m_table->isEmptyTable();
    sbEdit->setEnabled(hasWorks);
    sbDel->setEnabled(hasWorks);
    sbCopy->setEnabled(hasWorks);
    sbCopyAll->setEnabled(hasWorks);
    setRecalcEnabled(hasWorks);
    sbCalendar->setEnabled(hasWorks);
}

void TfmMain::EnableRecalc()
{
    // Only emptiness counts: blanks are text, and names that occur in no work are accepted.
    const bool bothNamed = !cbFrom->currentText().isEmpty() && !cbTo->currentText().isEmpty();
    setRecalcEnabled(bothNamed);
    sbCalendar->setEnabled(bothNamed);
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
    EnableRecalc();
    if (m_automaticEnds && cleared)
        sbInitBordersClick();
}

void TfmMain::RecalcOrClear()
{
    if (sbRecalc->isEnabled()) {
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
    sbInitBorders->setChecked(m_automaticEnds);
    if (m_automaticEnds) {
        cbFrom->setEnabled(false);
        cbTo->setEnabled(false);
        if (const std::optional<QString> start =
                chooseStartEvent(listcombo::entries(cbFrom), events()))
            cbFrom->setEditText(*start);
        if (const std::optional<QString> end = chooseEndEvent(listcombo::entries(cbTo), events()))
            cbTo->setEditText(*end);

    } else {
        cbFrom->setEnabled(true);
        cbTo->setEnabled(true);
    }
    EnableRecalc();
}

void TfmMain::cbFromChange()
{
    EnableRecalc();
}

void TfmMain::sbRecalcClick()
{
    m_calculated = true;
    m_calculatedStart = cbFrom->currentText();
    m_calculatedEnd = cbTo->currentText();
    const WorkTable::Batch batch(*m_table);
    Recalculation recalculation(*m_table, events(), cbFrom->currentText(), cbTo->currentText(),
                                m_startDate, m_numbers, m_dates, m_names);
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
    RecalcOrClear();
    FillEventLists();
    EnableButtons();
    EnableRecalc();
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
        WorkInputs work;
        work.append(dialog.startEvent(), dialog.endEvent(), dialog.durationText());
        // Accepting the texts as they were changes nothing, and leaves nothing to undo.
        if (!(work == WorkInputs::ofRows(*m_table, row, 1)))
            changeWorks(row, 1, std::move(work));
    }
    RecalcOrClear();
    FillEventLists();
    EnableRecalc();
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
    RecalcOrClear();
    FillEventLists();
    EnableButtons();
    EnableRecalc();
}

void TfmMain::sbCalendarClick()
{
    TfmCalendar dialog(this);
    dialog.setDate(DateFormat::dateOf(m_startDate));
    dialog.setTag(0);
    dialog.exec();
    // The calendar reports a whole day: an accepted start date has no time of day.
    if (dialog.tag() == 1)
        m_startDate = DateFormat::daysOf(dialog.date());
    if (sbRecalc->isEnabled())
        sbRecalcClick();
}

QFileDialog* TfmMain::makeFileDialog(const char* name, bool save, const QString& filterName,
                                     const QString& suffix)
{
    auto* dialog = new QFileDialog(this);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialog takes any name: opening the file reports one that does not exist.
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({filterName, QStringLiteral("Все файлы (*)")});
    // The entries read "Данные Kestrin" and "Все файлы", without their patterns.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setDefaultSuffix(suffix);
    dialog->setModal(true);
    return dialog;
}

QString TfmMain::chooseFile(QFileDialog* dialog)
{
    if (dialog->exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty())
        return {};
    dialog->selectFile(chosen.first());
    return chosen.first();
}

void TfmMain::sbSaveTempClick()
{
    const QString path = chooseFile(sdMain);
    if (!path.isEmpty())
        worklistfile::write(path, *m_table);
}

void TfmMain::sbLoadTempClick()
{
    const QString path = chooseFile(odMain);
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
            EnableButtons();
            FillEventLists();
            throw;
        }
        recordReading(std::move(previous), std::move(before));
    }
    followUpReading();
}

void TfmMain::followUpReading()
{
    EnableButtons();
    FillEventLists();
    if (!m_automaticEnds)
        sbInitBordersClick();
    if (sbRecalc->isEnabled())
        sbRecalcClick();
    else
        m_calculated = false; // the new works have no computed cells but the first row's old ones
}

void TfmMain::sbSaveBaseClick()
{
    const QString path = chooseFile(sdBase);
    if (!path.isEmpty())
        scheduletable::exportTo(path, *m_table, qStore, qCreate, dtData, m_numbers, m_dates);
}

namespace {

// The table report's temporary table, released on every way out of the command: the table is
// closed and its file removed, also when filling it or showing the preview failed. Its own
// failure to close matters no more then; the file goes all the same.
class TemporaryTable
{
public:
    TemporaryTable(db::Table& table, QString path) : m_table(table), m_path(std::move(path)) {}
    ~TemporaryTable()
    {
        try {
            m_table.close();
        } catch (const KestrinError&) {
        }
        QFile::remove(m_path);
    }
    TemporaryTable(const TemporaryTable&) = delete;
    TemporaryTable& operator=(const TemporaryTable&) = delete;

private:
    db::Table& m_table;
    QString m_path;
};

} // namespace

void TfmMain::sbPrintClick()
{
    const QString folder = privateTempFolder();
    const QString name = QStringLiteral("$kestrin-preprint$.dbf");
    if (folder.isEmpty())
        throw KestrinError(QStringLiteral("Cannot create file %1").arg(name));
    const QString path = QDir(folder).filePath(name);
    dtData.close();
    // A table left behind by a program that was killed while printing.
    QFile::remove(path);
    const TemporaryTable temporary(dtData, path);
    scheduletable::create(qCreate, qStore, folder, name);
    dtData.setTableName(name);
    dtData.setDatabaseName(folder);
    dtData.open();
    scheduletable::fill(dtData, *m_table, m_numbers, m_dates);
    const ScheduleDataSet records(dtData, m_numbers, m_dates);
    report::showPreview(m_report->qrMain, &records, this);
}

void TfmMain::tbGraphClick()
{
    TfmGraphView graphView(*m_table, m_criticalPath, m_numbers, m_names, this);
    graphView.setPrintPicture([this, &graphView](const QString& pictureFile) {
        m_graphReport->loadPicture(pictureFile);
        // The graph report has no detail band: it takes the road of a report without data.
        report::showPreview(m_graphReport->qrGraph, nullptr, &graphView);
    });
    execWindow(graphView);
}

void TfmMain::sbAnalysisClick()
{
    const NetworkAnalysis analysis(*m_table, events(), cbFrom->currentText(), cbTo->currentText(),
                                   m_startDate, m_numbers, m_dates);
    const auto chooseCsvFile = [this] {
        return chooseFile(sdAnalysis);
    };
    TfmAnalysis window(analysis, chooseCsvFile, this);
    execWindow(window);
}

void TfmMain::sbDiagramClick()
{
    const auto chooseDiagramFile = [this](DiagramFile kind) {
        switch (kind) {
        case DiagramFile::Pdf:
            return chooseFile(sdDiagramPdf);
        case DiagramFile::Svg:
            return chooseFile(sdDiagramSvg);
        case DiagramFile::Png:
            break;
        }
        return chooseFile(sdDiagramPng);
    };
    TfmDiagram window(*m_table, events(), cbFrom->currentText(), cbTo->currentText(), m_numbers,
                      chooseDiagramFile, this);
    execWindow(window);
}

void TfmMain::sbGanttClick()
{
    TfmGantt gantt(*m_table, m_numbers, m_dates, m_startDate, this);
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

void TfmMain::bindKeys()
{
    m_keys = new CommandKeys(this);
    const auto ctrl = [](Qt::Key key) {
        return QKeySequence(Qt::CTRL | key);
    };
    m_keys->bind(sbNewLine, {Qt::Key_Insert});
    m_keys->bindWithin(sgMain, sbEdit, {Qt::Key_Return, Qt::Key_Enter});
    m_keys->bind(sbEdit, {Qt::Key_F2});
    m_keys->bindDoubleClick(sgMain, sbEdit);
    m_keys->bind(sbDel, {Qt::Key_Delete});
    m_keys->bind(sbUndo, {ctrl(Qt::Key_Z)});
    m_keys->bind(sbRedo, {ctrl(Qt::Key_Y)});
    m_keys->bind(sbCopy, {ctrl(Qt::Key_C)});
    m_keys->bind(sbCopyAll, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)});
    m_keys->bind(sbPaste, {ctrl(Qt::Key_V)});
    m_keys->bind(sbRecalc, {Qt::Key_F9});
    m_keys->bind(sbLoadTemp, {ctrl(Qt::Key_O)});
    m_keys->bind(sbSaveTemp, {ctrl(Qt::Key_S)});
    m_keys->bind(sbPrint, {ctrl(Qt::Key_P)});
    // The keyboard starts in the grid; Tab goes on through the tool bars in their order.
    sgMain->setFocus();
}

void TfmMain::enableUndoRedo()
{
    sbUndo->setEnabled(m_history->canUndo());
    sbRedo->setEnabled(m_history->canRedo());
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
    state.calculated = m_calculated;
    if (m_calculated) {
        state.calculatedStart = m_calculatedStart;
        state.calculatedEnd = m_calculatedEnd;
    } else {
        state.pathLine = pWay->text();
        state.criticalPath = m_criticalPath;
    }
    return state;
}

void TfmMain::showEnds(const QString& startEvent, const QString& endEvent, bool automaticEnds)
{
    m_automaticEnds = automaticEnds;
    sbInitBorders->setChecked(m_automaticEnds);
    cbFrom->setEnabled(!m_automaticEnds);
    cbTo->setEnabled(!m_automaticEnds);
    cbFrom->setEditText(startEvent);
    cbTo->setEditText(endEvent);
    EnableRecalc();
}

void TfmMain::showExchangedState(const ShownState& state)
{
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
    RecalcOrClear();
    FillEventLists();
    EnableButtons();
    EnableRecalc();
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
    QGuiApplication::clipboard()->setText(workcsv::clipboardText(*m_table, currentRow(), 1));
}

void TfmMain::sbCopyAllClick()
{
    QGuiApplication::clipboard()->setText(workcsv::clipboardText(*m_table, 0, m_table->rowCount()));
}

void TfmMain::sbPasteClick()
{
    // Every line is checked before the first work goes in: a bad line adds nothing.
    WorkInputs works = workcsv::pastedWorks(QGuiApplication::clipboard()->text(), m_numbers);
    if (works.rowCount() == 0)
        throw KestrinError(QStringLiteral("В буфере обмена нет элементов графика"));
    const bool empty = m_table->isEmptyTable();
    changeWorks(empty ? 0 : m_table->rowCount(), empty ? 1 : 0, std::move(works));
    setCurrentRow(m_table->rowCount() - 1);
    RecalcOrClear();
    FillEventLists();
    EnableButtons();
    EnableRecalc();
}

void TfmMain::sbLoadCsvClick()
{
    const QString path = chooseFile(odCsv);
    if (path.isEmpty())
        return;
    // The whole file is read and checked before the table changes: a bad line changes nothing.
    WorkInputs works = workcsv::read(path, m_numbers);
    changeWorks(0, m_table->rowCount(), std::move(works));
    followUpReading();
}

void TfmMain::sbSaveCsvClick()
{
    const QString path = chooseFile(sdCsv);
    if (!path.isEmpty())
        workcsv::write(path, *m_table);
}
