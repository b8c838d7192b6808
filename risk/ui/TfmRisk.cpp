#include "TfmRisk.h"

#include "BackgroundSimulation.h"
#include "Commands.h"
#include "DateFormat.h"
#include "DirectiveDays.h"
#include "Edition.h"
#include "FileChoice.h"
#include "GuardedCommand.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "PageOutput.h"
#include "PictureFile.h"
#include "Pictures.h"
#include "ReportDocument.h"
#include "RiskChartView.h"
#include "RiskOutput.h"
#include "ScheduleDates.h"
#include "TfmPreview.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

using namespace risk;

namespace {

constexpr QSize kClientSize(980, 640);
constexpr int kProgressSteps = 1000;
constexpr int kRowHeight = 18;

// The types of sdRiskChart, in the order of PictureFormat.
constexpr PictureFormat kChartFormats[] = {PictureFormat::Pdf, PictureFormat::Svg,
                                           PictureFormat::Png};

// The locale a number box writes in: the program's decimal separator, no group separator.
QLocale numberLocale(const NumberFormat& numbers)
{
    QLocale locale = numbers.decimalSeparator() == QStringLiteral(",")
                         ? QLocale(QLocale::Russian, QLocale::Russia)
                         : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QLabel* makeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableView* makeTable(QWidget* parent, const char* name, QStandardItemModel* model)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setWordWrap(false);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

void fillModel(QStandardItemModel* model, const std::vector<QStringList>& rows)
{
    model->removeRows(0, model->rowCount());
    for (const QStringList& row : rows) {
        QList<QStandardItem*> items;
        for (const QString& text : row)
            items.append(new QStandardItem(text));
        model->appendRow(items);
    }
}

} // namespace

TfmRisk::TfmRisk(RiskTableInput input, const ScheduleDates& dates, Plan& plan,
                 const NumberFormat& numbers, const DateFormat& dateFormat, QWidget* parent)
    : ToolWindow(parent, "fmRisk", editionTitle(QStringLiteral("анализ рисков"))),
      m_input(std::move(input)), m_dates(dates), m_plan(plan), m_numbers(numbers),
      m_dateFormat(dateFormat), m_settings(riskSettings(plan))
{
    m_report =
        std::make_unique<RiskReport>(m_input, m_settings.method, m_dates, m_numbers, m_dateFormat);
    buildControls();
    showAnalytic();
    showSimulation();
    m_loading = false;
    updateCommands();
    resize(kClientSize);
}

TfmRisk::~TfmRisk() = default;

void TfmRisk::buildControls()
{
    QVBoxLayout* column = makeColumn(4);
    using C = Command<TfmRisk>;
    commands().add<TfmRisk>(
        this, {
                  C{"tbPrintRisk", Picture::PrintNow, u"Напечатать анализ рисков",
                    &TfmRisk::tbPrintRiskClick, commandkeys::print()},
                  C{"tbSaveRiskCsv", Picture::SaveCsv, u"Сохранить таблицы в формате CSV",
                    &TfmRisk::tbSaveRiskCsvClick, commandkeys::save()},
                  C{"tbSaveRiskChart", Picture::SaveView,
                    u"Сохранить диаграмму в файл PDF, SVG или PNG", &TfmRisk::tbSaveRiskChartClick},
                  C{"tbCloseRisk", Picture::ClosePreview, u"Закрыть окно анализа рисков",
                    &TfmRisk::tbCloseRiskClick, commandkeys::close()},
                  C{"sbSimulate", std::nullopt, u"Моделировать", &TfmRisk::sbSimulateClick},
                  C{"sbCancel", std::nullopt, u"Прервать", &TfmRisk::sbCancelClick},
              });
    QToolBar* bar =
        makeToolBar(this, "ToolBar1",
                    {"tbPrintRisk", "tbSaveRiskCsv", "tbSaveRiskChart", nullptr, "tbCloseRisk"});
    column->addWidget(bar);

    auto* controls = new QWidget(this);
    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(8, 2, 8, 2);
    const auto caption = [&](const QString& text, QWidget* buddy, int row, int place) {
        auto* label = new QLabel(text, controls);
        label->setBuddy(buddy);
        grid->addWidget(label, row, place);
        grid->addWidget(buddy, row, place + 1);
    };

    cbEstimate = new QComboBox(controls);
    cbEstimate->setObjectName(QStringLiteral("cbEstimate"));
    cbEstimate->addItems(estimateMethodNames());
    cbEstimate->setCurrentIndex(int(m_settings.method));
    caption(QStringLiteral("Метод"), cbEstimate, 0, 0);
    lExpected = makeLabel(controls, "lExpected");
    grid->addWidget(lExpected, 0, 2, 1, 2);

    deDirective = new QDateEdit(controls);
    deDirective->setObjectName(QStringLiteral("deDirective"));
    deDirective->setDisplayFormat(m_dateFormat.shortDatePattern());
    deDirective->setDateRange(QDate(1900, 1, 1), QDate(3000, 12, 31));
    deDirective->setCalendarPopup(true);
    deDirective->setDate(m_settings.directive.value_or(m_report->defaultDirective()));
    caption(QStringLiteral("Директивный срок"), deDirective, 1, 0);
    auto* probabilities = new QWidget(controls);
    auto* line = new QHBoxLayout(probabilities);
    line->setContentsMargins(0, 0, 0, 0);
    lProbability = makeLabel(probabilities, "lProbability");
    lSimProbability = makeLabel(probabilities, "lSimProbability");
    line->addWidget(new QLabel(QStringLiteral("P(T ≤ Tд) по закону нормального распределения:"),
                               probabilities));
    line->addWidget(lProbability);
    line->addSpacing(16);
    line->addWidget(new QLabel(QStringLiteral("по моделированию:"), probabilities));
    line->addWidget(lSimProbability);
    line->addStretch(1);
    grid->addWidget(probabilities, 1, 2, 1, 2);

    eConfidence = new QDoubleSpinBox(controls);
    eConfidence->setObjectName(QStringLiteral("eConfidence"));
    eConfidence->setLocale(numberLocale(m_numbers));
    eConfidence->setDecimals(3);
    eConfidence->setRange(0.001, 0.999);
    eConfidence->setSingleStep(0.01);
    eConfidence->setValue(m_settings.confidence);
    caption(QStringLiteral("Надёжность"), eConfidence, 2, 0);
    lConfidenceDate = makeLabel(controls, "lConfidenceDate");
    grid->addWidget(lConfidenceDate, 2, 2, 1, 2);

    cbDistribution = new QComboBox(controls);
    cbDistribution->setObjectName(QStringLiteral("cbDistribution"));
    cbDistribution->addItems(distributionNames());
    cbDistribution->setCurrentIndex(int(m_settings.distribution));
    caption(QStringLiteral("Закон"), cbDistribution, 3, 0);

    auto* simulation = new QWidget(controls);
    auto* runLine = new QHBoxLayout(simulation);
    runLine->setContentsMargins(0, 0, 0, 0);
    eRuns = new QSpinBox(simulation);
    eRuns->setObjectName(QStringLiteral("eRuns"));
    eRuns->setRange(1, int(SimulationSettings::kMaxRuns));
    eRuns->setSingleStep(1000);
    eRuns->setValue(int(m_settings.runs));
    eSeed = new QSpinBox(simulation);
    eSeed->setObjectName(QStringLiteral("eSeed"));
    eSeed->setRange(0, std::numeric_limits<int>::max());
    eSeed->setValue(int(std::min<std::uint64_t>(m_settings.seed, eSeed->maximum())));
    auto* runsLabel = new QLabel(QStringLiteral("Прогонов"), simulation);
    runsLabel->setBuddy(eRuns);
    auto* seedLabel = new QLabel(QStringLiteral("Начальное число"), simulation);
    seedLabel->setBuddy(eSeed);
    runLine->addWidget(runsLabel);
    runLine->addWidget(eRuns);
    runLine->addWidget(seedLabel);
    runLine->addWidget(eSeed);
    QToolButton* simulate = commands().makeButton(simulation, "sbSimulate", QSize(16, 16));
    simulate->setToolButtonStyle(Qt::ToolButtonTextOnly);
    runLine->addWidget(simulate);
    pbSimulation = new QProgressBar(simulation);
    pbSimulation->setObjectName(QStringLiteral("pbSimulation"));
    pbSimulation->setRange(0, kProgressSteps);
    pbSimulation->setValue(0);
    runLine->addWidget(pbSimulation, 1);
    QToolButton* cancel = commands().makeButton(simulation, "sbCancel", QSize(16, 16));
    cancel->setToolButtonStyle(Qt::ToolButtonTextOnly);
    runLine->addWidget(cancel);
    grid->addWidget(simulation, 3, 2, 1, 2);
    lSimulated = makeLabel(controls, "lSimulated");
    grid->addWidget(lSimulated, 4, 2, 1, 2);
    // The works whose estimates were left out, so the figures above are read knowing it.
    auto* leftOut = makeLabel(controls, "lLeftOut");
    leftOut->setText(m_input.leftOut);
    leftOut->setWordWrap(true);
    leftOut->setHidden(m_input.leftOut.isEmpty());
    grid->addWidget(leftOut, 5, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    column->addWidget(controls);

    auto* body = new QSplitter(Qt::Horizontal, this);
    body->setObjectName(QStringLiteral("pBody"));
    pbChart = new RiskChartView(m_numbers, body);
    pbChart->setObjectName(QStringLiteral("pbChart"));
    auto* tables = new QSplitter(Qt::Vertical, body);
    m_percentiles = new QStandardItemModel(0, 3, this);
    m_percentiles->setHorizontalHeaderLabels(RiskReport::percentileCaptions());
    m_criticality = new QStandardItemModel(0, 3, this);
    m_criticality->setHorizontalHeaderLabels(RiskReport::criticalityCaptions());
    sgPercentiles = makeTable(tables, "sgPercentiles", m_percentiles);
    sgCriticality = makeTable(tables, "sgCriticality", m_criticality);
    body->setStretchFactor(0, 3);
    body->setStretchFactor(1, 2);
    column->addWidget(body, 1);

    connect(cbEstimate, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmRisk::cbEstimateChange));
    connect(deDirective, &QDateEdit::dateChanged, this, guarded(this, &TfmRisk::deDirectiveChange));
    connect(eConfidence, &QDoubleSpinBox::valueChanged, this,
            guarded(this, &TfmRisk::eConfidenceChange));
    for (QSpinBox* box : {eRuns, eSeed})
        connect(box, &QSpinBox::valueChanged, this,
                guarded(this, &TfmRisk::simulationSettingChange));
    connect(cbDistribution, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmRisk::simulationSettingChange));
}

void TfmRisk::updateCommands()
{
    for (const char* name :
         {"tbPrintRisk", "tbSaveRiskCsv", "tbSaveRiskChart", "tbCloseRisk", "sbSimulate"})
        commands().setEnabled(name, !m_running);
    commands().setEnabled("sbCancel", m_running);
    for (QWidget* control : std::initializer_list<QWidget*>{cbEstimate, deDirective, eConfidence,
                                                            cbDistribution, eRuns, eSeed})
        control->setEnabled(!m_running);
}

long double TfmRisk::directiveDays() const
{
    return risk::directiveDays(m_dates, deDirective->date());
}

void TfmRisk::showAnalytic()
{
    lExpected->setText(m_report->expectedText());
    showDirective();
    eConfidenceChange();
}

void TfmRisk::showDirective()
{
    const long double days = directiveDays();
    lProbability->setText(m_report->probabilityText(days));
    lSimProbability->setText(
        m_result ? m_report->simulatedProbabilityText(*m_result, days, m_resultDirective)
                 : QStringLiteral("—"));
    RiskChartData chart = pbChart->data();
    chart.directive = days >= 0 ? std::optional<double>(double(days)) : std::nullopt;
    chart.directiveLabel =
        QStringLiteral("Tд: ") + m_dateFormat.formatDate(DateFormat::daysOf(deDirective->date()));
    pbChart->setData(std::move(chart));
}

void TfmRisk::showSimulation()
{
    RiskChartData chart = pbChart->data();
    if (!m_result) {
        lSimulated->setText(QStringLiteral("Моделирование не проводилось"));
        chart.bars.clear();
        fillModel(m_percentiles, {});
        fillModel(m_criticality, {});
    } else {
        lSimulated->setText(m_report->simulatedSummary(*m_result));
        chart.bars = m_result->histogram(kRiskChartBars);
        fillModel(m_percentiles, m_report->percentileRows(*m_result));
        fillModel(m_criticality, m_report->criticalityRows(*m_result));
    }
    pbChart->setData(std::move(chart));
    showDirective();
}

void TfmRisk::storeSettings()
{
    if (m_loading)
        return;
    m_settings.method = EstimateMethod(cbEstimate->currentIndex());
    m_settings.distribution = Distribution(cbDistribution->currentIndex());
    m_settings.runs = eRuns->value();
    m_settings.seed = std::uint64_t(eSeed->value());
    m_settings.confidence = eConfidence->value();
    storeRiskSettings(m_plan, m_settings);
}

void TfmRisk::cbEstimateChange()
{
    storeSettings();
    m_report = std::make_unique<RiskReport>(m_input, EstimateMethod(cbEstimate->currentIndex()),
                                            m_dates, m_numbers, m_dateFormat);
    showAnalytic();
}

void TfmRisk::deDirectiveChange()
{
    if (!m_loading)
        m_settings.directive = deDirective->date();
    storeSettings();
    showDirective();
}

void TfmRisk::eConfidenceChange()
{
    storeSettings();
    lConfidenceDate->setText(m_report->reachedText(eConfidence->value()));
}

void TfmRisk::simulationSettingChange()
{
    storeSettings();
}

void TfmRisk::sbSimulateClick()
{
    SimulationSettings settings;
    settings.runs = eRuns->value();
    settings.seed = std::uint64_t(eSeed->value());
    settings.distribution = Distribution(cbDistribution->currentIndex());
    const long double directive = directiveDays();
    if (directive >= 0)
        settings.directive = double(directive);

    m_cancel = false;
    m_running = true;
    pbSimulation->setValue(0);
    updateCommands();
    const auto shown = [&](qint64 runsDone) {
        pbSimulation->setValue(int(runsDone * kProgressSteps / settings.runs));
    };
    m_result = [&] {
        // The window is live again whatever the simulation ends with.
        const auto stopped = qScopeGuard([this] { m_running = false; });
        return simulateInBackground(m_input.network, settings, m_cancel, shown);
    }();
    m_resultDirective = directive;
    showSimulation();
}

void TfmRisk::sbCancelClick()
{
    m_cancel = true;
}

RiskSheet TfmRisk::sheet() const
{
    RiskSheet sheet;
    sheet.summary = {QStringLiteral("Метод: ") + cbEstimate->currentText() + QStringLiteral("; ") +
                         lExpected->text(),
                     QStringLiteral("Директивный срок ") + deDirective->text() +
                         QStringLiteral(": P = ") + lProbability->text() +
                         (m_result ? QStringLiteral(", по моделированию ") + lSimProbability->text()
                                   : QString()),
                     QStringLiteral("С надёжностью ") + eConfidence->text() + QStringLiteral(": ") +
                         lConfidenceDate->text()};
    if (m_result)
        sheet.summary.append(cbDistribution->currentText() + QStringLiteral("; ") +
                             lSimulated->text());
    if (!m_input.leftOut.isEmpty())
        sheet.summary.append(m_input.leftOut);
    sheet.chart = pbChart->data();
    sheet.percentileCaptions = RiskReport::percentileCaptions();
    sheet.criticalityCaptions = RiskReport::criticalityCaptions();
    if (m_result) {
        sheet.percentiles = m_report->percentileRows(*m_result);
        sheet.criticality = m_report->criticalityRows(*m_result);
    }
    return sheet;
}

void TfmRisk::tbPrintRiskClick()
{
    const riskoutput::RiskPrint print(sheet(), m_numbers);
    report::showPreview(print.layout(), &print.pages(), this);
}

void TfmRisk::tbSaveRiskCsvClick()
{
    const QString path =
        FileChoice::of(this, {"sdRiskCsv", FileChoice::Mode::Save, {filetypes::csv()}})
            .choosePath();
    if (!path.isEmpty())
        riskoutput::writeCsv(path, sheet());
}

void TfmRisk::tbSaveRiskChartClick()
{
    QList<FileType> types;
    for (const PictureFormat format : kChartFormats)
        types.append(fileTypeOf(format));
    const std::optional<FileChoice::Chosen> chosen =
        FileChoice::of(this, {"sdRiskChart", FileChoice::Mode::Save, types}).choose();
    if (!chosen)
        return;
    switch (kChartFormats[chosen->type]) {
    case PictureFormat::Pdf:
        report::exportPdf(*riskoutput::RiskPrint(sheet(), m_numbers).makeDocument(), chosen->path);
        break;
    case PictureFormat::Svg:
        riskoutput::writeSvg(chosen->path, sheet(), m_numbers);
        break;
    case PictureFormat::Png:
        riskoutput::writePng(chosen->path, sheet(), m_numbers);
        break;
    }
}

void TfmRisk::tbCloseRiskClick()
{
    accept();
}

void TfmRisk::reject()
{
    // The runs hold references into the window: it stays until they end or are cancelled.
    if (!m_running)
        ToolWindow::reject();
}
