#include "TfmGantt.h"

#include "Edition.h"
#include "ErrorBox.h"
#include "GanttExport.h"
#include "GanttView.h"
#include "GuardedCommand.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "TfmPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <span>

namespace {

constexpr QSize kClientSize(900, 600);

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

struct FileKind
{
    const char16_t* filter;
    const char* suffix;
    ganttexport::Format format;
};

constexpr FileKind kFileKinds[] = {
    {u"Документы PDF (*.pdf)", "pdf", ganttexport::Format::Pdf},
    {u"Рисунки SVG (*.svg)", "svg", ganttexport::Format::Svg},
    {u"Рисунки PNG (*.png)", "png", ganttexport::Format::Png},
};

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
    : ToolWindow(parent, "fmGantt", editionTitle(QStringLiteral("диаграмма Ганта"))),
      m_dates(dates), m_chart(table, numbers, startDate)
{
    QVBoxLayout* layout = makeColumn(0);
    buildToolBar();
    layout->addWidget(ToolBar1);

    pBody = new QStackedWidget(this);
    pBody->setObjectName(QStringLiteral("pBody"));
    gvChart = new GanttView(pBody);
    gvChart->setObjectName(QStringLiteral("gvChart"));
    lbNotCalculated = new QLabel(QStringLiteral("Сначала пересчитайте график"), pBody);
    lbNotCalculated->setObjectName(QStringLiteral("lbNotCalculated"));
    lbNotCalculated->setAlignment(Qt::AlignCenter);
    pBody->addWidget(gvChart);
    pBody->addWidget(lbNotCalculated);
    layout->addWidget(pBody, 1);

    sdGantt = new QFileDialog(this);
    sdGantt->setObjectName(QStringLiteral("sdGantt"));
    sdGantt->setOption(QFileDialog::DontUseNativeDialog);
    sdGantt->setOption(QFileDialog::DontConfirmOverwrite);
    sdGantt->setAcceptMode(QFileDialog::AcceptSave);
    sdGantt->setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FileKind& kind : kFileKinds)
        filters.append(QString::fromUtf16(kind.filter));
    sdGantt->setNameFilters(filters);
    sdGantt->setOption(QFileDialog::HideNameFilterDetails);
    sdGantt->setDefaultSuffix(QLatin1String(kFileKinds[0].suffix));
    sdGantt->setModal(true);
    // A name typed without an extension takes that of the chosen type.
    connect(sdGantt, &QFileDialog::filterSelected, sdGantt, [this](const QString& filter) {
        for (const FileKind& kind : kFileKinds)
            if (filter == QString::fromUtf16(kind.filter))
                sdGantt->setDefaultSuffix(QLatin1String(kind.suffix));
    });

    resize(kClientSize);
    if (!m_chart.isReady()) {
        pBody->setCurrentWidget(lbNotCalculated);
        for (QWidget* command :
             QList<QWidget*>{tbPrintGantt, tbSaveGantt, cbScale, cbPaper, cbSortByStart})
            command->setEnabled(false);
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
    ToolBar1 = makeFlatToolBar(this, "ToolBar1");
    tbPrintGantt = addCommand("tbPrintGantt", Picture::PrintGraph,
                              QStringLiteral("Печать диаграммы"), &TfmGantt::tbPrintGanttClick);
    tbSaveGantt = addCommand("tbSaveGantt", Picture::SaveView,
                             QStringLiteral("Сохранить диаграмму в файл PDF, SVG или PNG"),
                             &TfmGantt::tbSaveGanttClick);
    ToolBar1->addSeparator();

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
    ToolBar1->addSeparator();
    tbCloseGantt = addCommand("tbCloseGantt", Picture::CloseGraph,
                              QStringLiteral("Закончить работу с диаграммой"), nullptr);
    connect(tbCloseGantt, &QToolButton::clicked, this, &QDialog::accept);

    connect(cbScale, &QComboBox::currentIndexChanged, this,
            guarded(this, &TfmGantt::cbScaleChange));
    connect(cbSortByStart, &QCheckBox::toggled, this,
            guarded(this, &TfmGantt::cbSortByStartChange));
}

QToolButton* TfmGantt::addCommand(const char* name, Picture picture, const QString& hint,
                                  void (TfmGantt::*handler)())
{
    return addToolBarCommand(this, ToolBar1, name, picture, hint, handler);
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
    if (sdGantt->exec() != QDialog::Accepted)
        return;
    const QString path = sdGantt->selectedFiles().value(0);
    if (path.isEmpty())
        return;
    sdGantt->selectFile(path);
    ganttexport::Format format = kFileKinds[0].format;
    for (const FileKind& kind : kFileKinds)
        if (sdGantt->selectedNameFilter() == QString::fromUtf16(kind.filter))
            format = kind.format;
    format = ganttexport::formatOfName(path).value_or(format);
    switch (format) {
    case ganttexport::Format::Pdf:
        ganttexport::writePdf(GanttPrint(m_chart, chosenScale(), chosenPaper(), m_dates), path);
        break;
    case ganttexport::Format::Svg:
        ganttexport::writeSvg(*m_geometry, path);
        break;
    case ganttexport::Format::Png:
        ganttexport::writePng(*m_geometry, path);
        break;
    }
}
