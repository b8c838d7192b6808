#include "TfmGantt.h"

#include "Commands.h"
#include "Edition.h"
#include "FileChoice.h"
#include "GanttExport.h"
#include "GanttView.h"
#include "GuardedCommand.h"
#include "LoadChartPainter.h"
#include "LoadChartView.h"
#include "PageOutput.h"
#include "PictureFile.h"
#include "Pictures.h"
#include "ReportDocument.h"
#include "TfmPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <span>

namespace {

constexpr QSize kClientSize(900, 600);
// The load profile under the bars, in pixels.
constexpr int kProfileHeight = 170;

// A schedule up to four months long is shown in days, up to two years in weeks, else in months.
constexpr double kLongestInDays = 120;
constexpr double kLongestInWeeks = 730;

struct Choice
{
    const char16_t* text;
    int value;
};

constexpr Choice kScales[] = {{u"Дни", int(GanttScale::Days)},
                              {u"Недели", int(GanttScale::Weeks)},
                              {u"Месяцы", int(GanttScale::Months)}};

// The types of sdGantt, in the order of PictureFormat.
constexpr PictureFormat kFormats[] = {PictureFormat::Pdf, PictureFormat::Svg, PictureFormat::Png};

QComboBox* makeChoice(QWidget* parent, const char* name, std::span<const Choice> choices)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(false);
    for (const Choice& choice : choices)
        box->addItem(QString::fromUtf16(choice.text), choice.value);
    return box;
}

GanttScale fittingScale(double length)
{
    if (length <= kLongestInDays)
        return GanttScale::Days;
    if (length <= kLongestInWeeks)
        return GanttScale::Weeks;
    return GanttScale::Months;
}

} // namespace

TfmGantt::TfmGantt(const WorkCells& table, const NumberFormat& numbers, const DateFormat& dates,
                   double startDate, QWidget* parent)
    : TfmGantt(table, numbers, dates, ScheduleDates(WorkCalendar(), startDate), parent)
{
}

TfmGantt::TfmGantt(const WorkCells& table, const NumberFormat& numbers, const DateFormat& dates,
                   ScheduleDates scheduleDates, QWidget* parent)
    : ToolWindow(parent, "fmGantt", editionTitle(QStringLiteral("диаграмма Ганта"))),
      m_dates(dates), m_chart(table, numbers, std::move(scheduleDates))
{
    QVBoxLayout* layout = makeColumn(0);
    buildToolBar();
    updateCommands();
    layout->addWidget(ToolBar1);

    pBody = new QStackedWidget(this);
    pBody->setObjectName(QStringLiteral("pBody"));
    gvChart = new GanttView(pBody);
    gvChart->setObjectName(QStringLiteral("gvChart"));
    // The profile under the bars follows the chart's days as they scroll.
    connect(gvChart->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { showProfile(); });
    lbNotCalculated = new QLabel(QStringLiteral("Сначала пересчитайте график"), pBody);
    lbNotCalculated->setObjectName(QStringLiteral("lbNotCalculated"));
    lbNotCalculated->setAlignment(Qt::AlignCenter);
    pBody->addWidget(gvChart);
    pBody->addWidget(lbNotCalculated);
    layout->addWidget(pBody, 1);
    pbProfile = new LoadChartView(numbers, this);
    pbProfile->setObjectName(QStringLiteral("pbProfile"));
    pbProfile->setFixedHeight(kProfileHeight);
    pbProfile->hide();
    layout->addWidget(pbProfile);

    resize(kClientSize);
    if (!m_chart.isReady()) {
        pBody->setCurrentWidget(lbNotCalculated);
        return;
    }
    const GanttScale scale = fittingScale(m_chart.criticalLength());
    m_geometry = std::make_unique<GanttGeometry>(m_chart, scale);
    cbScale->setCurrentIndex(cbScale->findData(int(scale)));
    gvChart->setChart(m_geometry.get());
    pBody->setCurrentWidget(gvChart);
}

TfmGantt::~TfmGantt() = default;

void TfmGantt::buildToolBar()
{
    using C = Command<TfmGantt>;
    commands().add<TfmGantt>(
        this,
        {
            C{"tbPrintGantt", Picture::PrintGraph, u"Печать диаграммы",
              &TfmGantt::tbPrintGanttClick, commandkeys::print()},
            C{"tbSaveGantt", Picture::SaveView, u"Сохранить диаграмму в файл PDF, SVG или PNG",
              &TfmGantt::tbSaveGanttClick, commandkeys::save()},
            C{"tbCloseGantt", Picture::CloseGraph, u"Закончить работу с диаграммой",
              &TfmGantt::tbCloseGanttClick, commandkeys::close()},
        });
    ToolBar1 = makeToolBar(this, "ToolBar1", {"tbPrintGantt", "tbSaveGantt", nullptr});

    auto* scaleLabel = new QLabel(QStringLiteral(" Масштаб "), ToolBar1);
    cbScale = makeChoice(ToolBar1, "cbScale", kScales);
    scaleLabel->setBuddy(cbScale);
    ToolBar1->addWidget(scaleLabel);
    ToolBar1->addWidget(cbScale);
    auto* paperLabel = new QLabel(QStringLiteral(" Лист "), ToolBar1);
    // A chart is wide: landscape unless the user asks otherwise.
    cbPaper = report::makePaperChoice(ToolBar1, "cbPaper", GanttPaper::A4Landscape);
    paperLabel->setBuddy(cbPaper);
    ToolBar1->addWidget(paperLabel);
    ToolBar1->addWidget(cbPaper);
    ToolBar1->addSeparator();
    cbSortByStart = new QCheckBox(QStringLiteral("По раннему началу"), ToolBar1);
    cbSortByStart->setObjectName(QStringLiteral("cbSortByStart"));
    cbSortByStart->setToolTip(QStringLiteral("Работы по порядку раннего начала, а не таблицы"));
    ToolBar1->addWidget(cbSortByStart);
    cbLevelled = new QCheckBox(QStringLiteral("После выравнивания"), ToolBar1);
    cbLevelled->setObjectName(QStringLiteral("cbLevelled"));
    cbLevelled->setToolTip(QStringLiteral("Работы со сроками после выравнивания ресурсов"));
    ToolBar1->addWidget(cbLevelled);
    ToolBar1->addSeparator();
    commands().addButton(ToolBar1, "tbCloseGantt");

    connect(cbScale, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmGantt::cbScaleChange));
    connect(cbSortByStart, &QCheckBox::toggled, this,
            guarded(this, &TfmGantt::cbSortByStartChange));
    connect(cbLevelled, &QCheckBox::toggled, this, guarded(this, &TfmGantt::cbLevelledChange));
}

void TfmGantt::updateCommands()
{
    // Without a calculated chart there is nothing to print, save or arrange.
    for (const char* name : {"tbPrintGantt", "tbSaveGantt"})
        commands().setEnabled(name, m_chart.isReady());
    for (QWidget* choice : {static_cast<QWidget*>(cbScale), static_cast<QWidget*>(cbPaper),
                            static_cast<QWidget*>(cbSortByStart)})
        choice->setEnabled(m_chart.isReady());
    cbLevelled->setEnabled(m_chart.isReady() && !m_levelling.startByRow.empty());
}

void TfmGantt::setLevelling(GanttLevelling levelling)
{
    m_levelling = std::move(levelling);
    if (m_chart.isReady() && !m_levelling.calculatedLoad.resourceName.isEmpty()) {
        pbProfile->show();
        cbLevelledChange();
    }
    updateCommands();
}

void TfmGantt::cbLevelledChange()
{
    if (!m_chart.isReady())
        return;
    const bool levelled = cbLevelled->isChecked() && !m_levelling.startByRow.empty();
    m_chart.showStarts(levelled ? m_levelling.startByRow : std::vector<std::optional<double>>{});
    m_shownLoad = levelled ? m_levelling.levelledLoad : m_levelling.calculatedLoad;
    m_profileCaption =
        QStringLiteral("Ресурс «%1»: %2")
            .arg(m_shownLoad.resourceName,
                 levelled ? QStringLiteral("после выравнивания") : QStringLiteral("ранние сроки"));
    auto geometry = std::make_unique<GanttGeometry>(m_chart, chosenScale());
    gvChart->setChart(geometry.get());
    m_geometry = std::move(geometry);
    showProfile();
}

void TfmGantt::showProfile()
{
    if (!m_geometry || m_shownLoad.resourceName.isEmpty())
        return;
    // The profile's time axis starts where the chart's time area does, after the work column,
    // and has as many days to the pixel.
    ResourceLoad load = m_shownLoad;
    const qreal axisWidth = std::max(
        qreal(pbProfile->width()) - m_geometry->columnsWidth() - loadchart::kRightMargin, qreal(1));
    load.from = m_geometry->timeOf(gvChart->shownX());
    load.length = m_geometry->timeOf(gvChart->shownX() + axisWidth);
    pbProfile->setLoad(load, m_profileCaption, m_geometry->columnsWidth());
}

void TfmGantt::resizeEvent(QResizeEvent* event)
{
    ToolWindow::resizeEvent(event);
    showProfile();
}

GanttScale TfmGantt::chosenScale() const
{
    return GanttScale(cbScale->currentData().toInt());
}

GanttPaper TfmGantt::chosenPaper() const
{
    return report::chosenPaper(cbPaper);
}

void TfmGantt::cbScaleChange()
{
    if (!m_chart.isReady() || (m_geometry && m_geometry->scale() == chosenScale()))
        return;
    auto geometry = std::make_unique<GanttGeometry>(m_chart, chosenScale());
    // The moment at the left edge of the view stays there.
    const double shownTime = m_geometry ? m_geometry->timeOf(gvChart->shownX()) : 0;
    gvChart->setChart(geometry.get());
    m_geometry = std::move(geometry);
    gvChart->scrollToX(m_geometry->xOf(shownTime));
}

void TfmGantt::cbSortByStartChange()
{
    if (!m_chart.isReady())
        return;
    m_chart.setOrder(cbSortByStart->isChecked() ? GanttOrder::EarlyStart : GanttOrder::Table);
    gvChart->chartChanged();
}

void TfmGantt::tbPrintGanttClick()
{
    const GanttPrint print(m_chart, chosenScale(), chosenPaper(), m_dates);
    report::showPreview(print.layout(), &print.pages(), this);
}

void TfmGantt::tbSaveGanttClick()
{
    QList<FileType> types;
    for (const PictureFormat format : kFormats)
        types.append(fileTypeOf(format));
    const std::optional<FileChoice::Chosen> chosen =
        FileChoice::of(this, {"sdGantt", FileChoice::Mode::Save, types}).choose();
    if (!chosen)
        return;
    switch (kFormats[chosen->type]) {
    case PictureFormat::Pdf:
        report::exportPdf(
            *GanttPrint(m_chart, chosenScale(), chosenPaper(), m_dates).makeDocument(),
            chosen->path);
        break;
    case PictureFormat::Svg:
        ganttexport::writeSvg(*m_geometry, chosen->path);
        break;
    case PictureFormat::Png:
        ganttexport::writePng(*m_geometry, chosen->path);
        break;
    }
}

void TfmGantt::tbCloseGanttClick()
{
    accept();
}
