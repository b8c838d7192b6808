#include "TfmResources.h"

#include "Commands.h"
#include "Edition.h"
#include "FileChoice.h"
#include "GuardedCommand.h"
#include "KestrinError.h"
#include "Levelling.h"
#include "LoadChartFiles.h"
#include "LoadChartView.h"
#include "PageOutput.h"
#include "Paper.h"
#include "PictureFile.h"
#include "Pictures.h"
#include "ReportDocument.h"
#include "ResourceNetwork.h"
#include "ResourcesCsv.h"
#include "TfmPreview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kClientSize(960, 680);
// The longest search the window offers, in seconds: an hour.
constexpr double kLongestSearch = 3600;

// The types of sdResourceProfile, in the order of PictureFormat.
constexpr PictureFormat kFormats[] = {PictureFormat::Pdf, PictureFormat::Svg, PictureFormat::Png};

QTableWidget* makeTable(QWidget* parent, const char* name)
{
    auto* table = new QTableWidget(parent);
    table->setObjectName(QLatin1String(name));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void fillTable(QTableWidget* view, const TextTable& table)
{
    view->clear();
    view->setColumnCount(int(table.captions.size()));
    view->setHorizontalHeaderLabels(table.captions);
    view->setRowCount(int(table.rows.size()));
    for (int row = 0; row < int(table.rows.size()); ++row)
        for (int column = 0; column < int(table.captions.size()); ++column)
            view->setItem(row, column,
                          new QTableWidgetItem(table.rows[std::size_t(row)].value(column)));
    view->resizeColumnsToContents();
}

QString scheduleCaption(LoadSchedule schedule)
{
    return QString::fromUtf16(kLoadScheduleCaptions[int(schedule)]);
}

} // namespace

TfmResources::TfmResources(const ResourceNetwork& network, Plan& plan, const NumberFormat& numbers,
                           QWidget* parent)
    : ToolWindow(parent, "fmResources", editionTitle(QStringLiteral("ресурсы"))),
      m_network(network), m_plan(plan), m_numbers(numbers),
      m_settings(
          LevellingSettings::fromSection(plan.section(QString::fromUtf16(plansection::kLevelling))))
{
    if (!m_settings.scheduleFits(network)) {
        m_settings.fingerprint.clear();
        m_settings.starts.clear();
    }
    buildControls();
    resize(kClientSize);
    showLoad();
    showLevelled();
    updateCommands();
}

TfmResources::~TfmResources() = default;

void TfmResources::buildControls()
{
    using C = Command<TfmResources>;
    commands().add<TfmResources>(
        this, {
                  C{"tbPrintResources", Picture::PrintGraph, u"Печать эпюры ресурса",
                    &TfmResources::tbPrintResourcesClick, commandkeys::print()},
                  C{"tbSaveProfile", Picture::SaveView,
                    u"Сохранить эпюру ресурса в файл PDF, SVG или PNG",
                    &TfmResources::tbSaveProfileClick, commandkeys::save()},
                  C{"tbSaveResourcesCsv", Picture::SaveCsv, u"Записать таблицы в файл CSV",
                    &TfmResources::tbSaveResourcesCsvClick},
                  C{"sbLevel", Picture::Resources, u"Выровнять", &TfmResources::sbLevelClick},
                  C{"tbCloseResources", Picture::CloseGraph, u"Закончить работу с ресурсами",
                    &TfmResources::tbCloseResourcesClick, commandkeys::close()},
              });
    QVBoxLayout* layout = makeColumn(2);
    ToolBar1 = makeToolBar(this, "ToolBar1",
                           {"tbPrintResources", "tbSaveProfile", "tbSaveResourcesCsv", nullptr});
    auto* resourceLabel = new QLabel(QStringLiteral(" Ресурс "), ToolBar1);
    cbResource = new QComboBox(ToolBar1);
    cbResource->setObjectName(QStringLiteral("cbResource"));
    cbResource->setMinimumContentsLength(16);
    for (const Resource& resource : m_network.resources())
        cbResource->addItem(resource.name);
    resourceLabel->setBuddy(cbResource);
    ToolBar1->addWidget(resourceLabel);
    ToolBar1->addWidget(cbResource);
    auto* scheduleLabel = new QLabel(QStringLiteral(" Сроки "), ToolBar1);
    cbSchedule = new QComboBox(ToolBar1);
    cbSchedule->setObjectName(QStringLiteral("cbSchedule"));
    for (const char16_t* text : kLoadScheduleCaptions)
        cbSchedule->addItem(QString::fromUtf16(text));
    scheduleLabel->setBuddy(cbSchedule);
    ToolBar1->addWidget(scheduleLabel);
    ToolBar1->addWidget(cbSchedule);
    auto* paperLabel = new QLabel(QStringLiteral(" Лист "), ToolBar1);
    cbPaper = report::makePaperChoice(ToolBar1, "cbPaper", report::Paper::A4Landscape);
    paperLabel->setBuddy(cbPaper);
    ToolBar1->addWidget(paperLabel);
    ToolBar1->addWidget(cbPaper);
    ToolBar1->addSeparator();
    commands().addButton(ToolBar1, "tbCloseResources");
    layout->addWidget(ToolBar1);

    auto* split = new QSplitter(Qt::Vertical, this);
    pbProfile = new LoadChartView(m_numbers, split);
    pbProfile->setObjectName(QStringLiteral("pbProfile"));
    auto* lower = new QWidget(split);
    auto* columns = new QHBoxLayout(lower);
    columns->setContentsMargins(4, 0, 4, 4);
    sgOverloads = makeTable(lower, "sgOverloads");
    columns->addWidget(sgOverloads, 2);
    auto* levelling = new QVBoxLayout;
    auto* controls = new QHBoxLayout;
    QToolButton* level = commands().makeButton(lower, "sbLevel", QSize(16, 16));
    level->setText(QStringLiteral("Выровнять"));
    level->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    controls->addWidget(level);
    auto* secondsLabel = new QLabel(QStringLiteral("Искать не дольше, с:"), lower);
    eLevelSeconds = new QLineEdit(m_numbers.format(m_settings.seconds), lower);
    eLevelSeconds->setObjectName(QStringLiteral("eLevelSeconds"));
    eLevelSeconds->setMaximumWidth(60);
    secondsLabel->setBuddy(eLevelSeconds);
    controls->addWidget(secondsLabel);
    controls->addWidget(eLevelSeconds);
    controls->addStretch(1);
    levelling->addLayout(controls);
    lLevelled = new QLabel(lower);
    lLevelled->setObjectName(QStringLiteral("lLevelled"));
    levelling->addWidget(lLevelled);
    sgLevelled = makeTable(lower, "sgLevelled");
    levelling->addWidget(sgLevelled, 1);
    columns->addLayout(levelling, 3);
    split->addWidget(pbProfile);
    split->addWidget(lower);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    if (m_settings.resource) {
        const auto& resources = m_network.resources();
        for (int r = 0; r < int(resources.size()); ++r)
            if (resources[std::size_t(r)].id == *m_settings.resource)
                cbResource->setCurrentIndex(r);
    }
    if (m_settings.hasSchedule())
        cbSchedule->setCurrentIndex(int(LoadSchedule::Levelled));
    connect(cbResource, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmResources::cbResourceChange));
    connect(cbSchedule, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmResources::cbScheduleChange));
}

void TfmResources::updateCommands()
{
    const bool hasResource = chosenResource() >= 0;
    for (const char* name : {"tbPrintResources", "tbSaveProfile", "tbSaveResourcesCsv"})
        commands().setEnabled(name, hasResource);
    commands().setEnabled("sbLevel", hasResource && m_network.problem().activityCount() > 0);
    // The levelled schedule can be shown once there is one.
    if (auto* entries = qobject_cast<QStandardItemModel*>(cbSchedule->model()))
        entries->item(int(LoadSchedule::Levelled))->setEnabled(m_settings.hasSchedule());
}

int TfmResources::chosenResource() const
{
    return cbResource->currentIndex();
}

LoadSchedule TfmResources::chosenSchedule() const
{
    const auto schedule = LoadSchedule(cbSchedule->currentIndex());
    return schedule == LoadSchedule::Levelled && !m_settings.hasSchedule() ? LoadSchedule::Early
                                                                           : schedule;
}

const std::vector<int>& TfmResources::startsOf(LoadSchedule schedule) const
{
    switch (schedule) {
    case LoadSchedule::Late:
        return m_network.lateStarts();
    case LoadSchedule::Levelled:
        return m_settings.starts;
    case LoadSchedule::Early:
        break;
    }
    return m_network.earlyStarts();
}

const ResourceLoad& TfmResources::shownLoad() const
{
    return pbProfile->load();
}

QString TfmResources::caption() const
{
    const int resource = chosenResource();
    if (resource < 0)
        return {};
    const Resource& shown = m_network.resources()[std::size_t(resource)];
    const QString unit = shown.unit.isEmpty() ? QString() : QStringLiteral(", %1").arg(shown.unit);
    return QStringLiteral("Ресурс «%1»%2: %3")
        .arg(shown.name, unit, scheduleCaption(chosenSchedule()).toLower());
}

void TfmResources::showLoad()
{
    const int resource = chosenResource();
    if (resource < 0) {
        pbProfile->setLoad({}, QString());
        fillTable(sgOverloads, overloadTable(m_network, {}, 0, m_numbers));
        return;
    }
    const std::vector<int>& starts = startsOf(chosenSchedule());
    pbProfile->setLoad(resourceLoad(m_network, starts, resource), caption());
    fillTable(sgOverloads, overloadTable(m_network, starts, resource, m_numbers));
}

void TfmResources::showLevelled()
{
    const QString critical =
        QStringLiteral("L = %1").arg(m_numbers.format(m_network.days(m_network.criticalLength())));
    const QString levelled = m_settings.hasSchedule()
                                 ? m_numbers.format(m_network.days(m_settings.length))
                                 : QStringLiteral("—");
    lLevelled->setText(QStringLiteral("%1    Выровненная длина: %2").arg(critical, levelled));
    fillTable(sgLevelled, levelledTable(m_network, m_settings.starts, m_numbers));
}

void TfmResources::saveSettings()
{
    const int resource = chosenResource();
    if (resource >= 0)
        m_settings.resource = m_network.resources()[std::size_t(resource)].id;
    m_plan.setSection(QString::fromUtf16(plansection::kLevelling), m_settings.toSection());
}

void TfmResources::cbResourceChange()
{
    showLoad();
    saveSettings();
}

void TfmResources::cbScheduleChange()
{
    showLoad();
}

void TfmResources::sbLevelClick()
{
    const std::optional<long double> seconds = m_numbers.tryParse(eLevelSeconds->text().trimmed());
    if (!seconds || !(*seconds > 0) || *seconds > kLongestSearch)
        throw KestrinError(
            QStringLiteral("Время поиска должно быть числом секунд больше 0 и не больше %1")
                .arg(m_numbers.format(kLongestSearch)));
    // A schedule is made for the amounts as they are, or not at all: the earlier one goes first,
    // so that a refusal leaves none on show or in the plan.
    m_settings.fingerprint.clear();
    m_settings.starts.clear();
    saveSettings();
    updateCommands();
    showLoad();
    showLevelled();
    m_network.checkDemands(m_numbers);
    LevellingOptions options;
    options.secondsLimit = double(*seconds);
    const LevelledSchedule levelled = levelResources(m_network.problem(), options);
    m_settings.seconds = double(*seconds);
    m_settings.starts = levelled.starts;
    m_settings.length = levelled.length;
    m_settings.fingerprint = m_network.fingerprint();
    saveSettings();
    updateCommands();
    {
        const QSignalBlocker quiet(cbSchedule);
        cbSchedule->setCurrentIndex(int(LoadSchedule::Levelled));
    }
    showLoad();
    showLevelled();
}

void TfmResources::tbPrintResourcesClick()
{
    const LoadChartPrint print(shownLoad(), caption(), m_numbers, report::chosenPaper(cbPaper));
    report::showPreview(print.layout(), &print.pages(), this);
}

void TfmResources::tbSaveProfileClick()
{
    QList<FileType> types;
    for (const PictureFormat format : kFormats)
        types.append(fileTypeOf(format));
    const std::optional<FileChoice::Chosen> chosen =
        FileChoice::of(this, {"sdResourceProfile", FileChoice::Mode::Save, types}).choose();
    if (!chosen)
        return;
    switch (kFormats[chosen->type]) {
    case PictureFormat::Pdf:
        report::exportPdf(
            *LoadChartPrint(shownLoad(), caption(), m_numbers, report::chosenPaper(cbPaper))
                 .makeDocument(),
            chosen->path);
        break;
    case PictureFormat::Svg:
        loadchartfiles::writeSvg(shownLoad(), caption(), m_numbers, chosen->path);
        break;
    case PictureFormat::Png:
        loadchartfiles::writePng(shownLoad(), caption(), m_numbers, chosen->path);
        break;
    }
}

void TfmResources::tbSaveResourcesCsvClick()
{
    const QString path =
        FileChoice::of(this, {"sdResourcesCsv", FileChoice::Mode::Save, {filetypes::csv()}})
            .choosePath();
    if (path.isEmpty())
        return;
    const int resource = chosenResource();
    writeTablesCsv(path, {{caption(), overloadTable(m_network, startsOf(chosenSchedule()), resource,
                                                    m_numbers)},
                          {QStringLiteral("Выровненные сроки"),
                           levelledTable(m_network, m_settings.starts, m_numbers)}});
}

void TfmResources::tbCloseResourcesClick()
{
    accept();
}
