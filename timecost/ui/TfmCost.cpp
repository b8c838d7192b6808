#include "TfmCost.h"

#include "Commands.h"
#include "CostChartOutput.h"
#include "CostChartView.h"
#include "DrawingPages.h"
#include "Edition.h"
#include "FileChoice.h"
#include "PageOutput.h"
#include "PictureFile.h"
#include "Pictures.h"
#include "ProjectCostSection.h"
#include "ReportDocument.h"
#include "TfmPreview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kClientSize(900, 680);
constexpr int kDayCostWidth = 110;
constexpr QSize kApplyIconSize(16, 16);

// The types of sdCost, in the order of its list.
constexpr PictureFormat kFormats[] = {PictureFormat::Pdf, PictureFormat::Svg, PictureFormat::Png};

const char kTag[] = "Tag";

} // namespace

TfmCost::TfmCost(CostCurveTable curve, Plan& plan, const NumberFormat& numbers, QWidget* parent)
    : ToolWindow(parent, "fmCost", editionTitle(QStringLiteral("время и стоимость"))),
      m_curve(std::move(curve)), m_plan(plan), m_numbers(numbers)
{
    setProperty(kTag, 0);
    QVBoxLayout* layout = makeColumn(2);
    buildToolBar();
    layout->addWidget(ToolBar1);

    // The best length, and beside it the command that takes the chosen row into the table: its
    // words are on the button, away from the tool bar, which shows pictures only.
    auto* bestLine = new QHBoxLayout;
    bestLine->setContentsMargins(6, 2, 6, 2);
    lBest = new QLabel(this);
    lBest->setObjectName(QStringLiteral("lBest"));
    bestLine->addWidget(lBest, 1);
    QToolButton* apply = commands().makeButton(this, "sbApply", kApplyIconSize);
    apply->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bestLine->addWidget(apply);
    layout->addLayout(bestLine);
    // The works taken as not shortenable, so the curve is read knowing it.
    auto* leftOut = new QLabel(m_curve.leftOut(), this);
    leftOut->setObjectName(QStringLiteral("lLeftOut"));
    leftOut->setTextFormat(Qt::PlainText);
    leftOut->setWordWrap(true);
    leftOut->setContentsMargins(6, 0, 6, 2);
    leftOut->setHidden(m_curve.leftOut().isEmpty());
    layout->addWidget(leftOut);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    pbChart = new CostChartView(m_numbers, splitter);
    pbChart->setObjectName(QStringLiteral("pbChart"));
    buildTable();
    splitter->addWidget(pbChart);
    splitter->addWidget(sgCurve);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    if (const std::optional<Decimal> dayCost = projectcost::dayCost(m_plan)) {
        m_curve.setDayCost(*dayCost);
        eDayCost->setText(dayCost->text(m_numbers));
    }
    showTotals();
    resize(kClientSize);
    updateCommands();
}

TfmCost::~TfmCost() = default;

void TfmCost::buildToolBar()
{
    using C = Command<TfmCost>;
    commands().add<TfmCost>(
        this, {
                  C{"tbPrintCost", Picture::PrintGraph, u"Печать графика затрат",
                    &TfmCost::tbPrintCostClick, commandkeys::print()},
                  C{"tbSaveCost", Picture::SaveView, u"Сохранить график в файл PDF, SVG или PNG",
                    &TfmCost::tbSaveCostClick, commandkeys::save()},
                  C{"tbSaveCostCsv", Picture::SaveCsv, u"Записать таблицу в файл CSV",
                    &TfmCost::tbSaveCostCsvClick},
                  C{"sbApply",
                    Picture::Accept,
                    u"Установить продолжительности выбранной строки в таблицу работ",
                    &TfmCost::sbApplyClick,
                    {},
                    u"Применить"},
                  C{"tbCloseCost", Picture::CloseGraph, u"Закончить работу с затратами",
                    &TfmCost::tbCloseCostClick, commandkeys::close()},
              });
    ToolBar1 =
        makeToolBar(this, "ToolBar1", {"tbPrintCost", "tbSaveCost", "tbSaveCostCsv", nullptr});

    auto* dayCostLabel = new QLabel(QStringLiteral(" Косвенные затраты за день "), ToolBar1);
    eDayCost = new QLineEdit(ToolBar1);
    eDayCost->setObjectName(QStringLiteral("eDayCost"));
    eDayCost->setFixedWidth(kDayCostWidth);
    dayCostLabel->setBuddy(eDayCost);
    ToolBar1->addWidget(dayCostLabel);
    ToolBar1->addWidget(eDayCost);
    ToolBar1->addSeparator();
    commands().addButton(ToolBar1, "tbCloseCost");

    // A cost is taken once it is typed in full: Enter, or leaving the field.
    connect(eDayCost, &QLineEdit::editingFinished, this,
            [this] { commands().run([this] { eDayCostChange(); }); });
}

void TfmCost::buildTable()
{
    sgCurve = new QTableWidget(m_curve.rowCount(), CostCurveTable::kColumnCount, this);
    sgCurve->setObjectName(QStringLiteral("sgCurve"));
    sgCurve->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgCurve->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgCurve->setSelectionMode(QAbstractItemView::SingleSelection);
    sgCurve->verticalHeader()->hide();
    // The figures as wide as they need, the works' list taking the rest.
    sgCurve->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    sgCurve->horizontalHeader()->setStretchLastSection(true);
    QStringList captions;
    for (int column = 0; column < CostCurveTable::kColumnCount; ++column)
        captions.append(CostCurveTable::caption(column));
    sgCurve->setHorizontalHeaderLabels(captions);
    for (int row = 0; row < m_curve.rowCount(); ++row) {
        for (int column = 0; column < CostCurveTable::kColumnCount; ++column) {
            auto* item = new QTableWidgetItem(m_curve.text(row, column));
            if (column != CostCurveTable::ShortenedWorks)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            sgCurve->setItem(row, column, item);
        }
    }
    connect(sgCurve, &QTableWidget::currentCellChanged, this, [this] { commands().update(); });
}

void TfmCost::showTotals()
{
    for (int row = 0; row < m_curve.rowCount(); ++row) {
        for (const int column : {CostCurveTable::IndirectCost, CostCurveTable::TotalCost})
            sgCurve->item(row, column)->setText(m_curve.text(row, column));
    }
    sgCurve->setCurrentCell(m_curve.bestRow(), 0);
    lBest->setText(m_curve.bestText());
    pbChart->setChart(chart());
}

CostChart TfmCost::chart() const
{
    return {m_curve.chartPoints(), m_curve.bestRow()};
}

int TfmCost::chosenRow() const
{
    return sgCurve->currentRow();
}

void TfmCost::updateCommands()
{
    // The first row is the table as it stands: applying it would change nothing.
    commands().setEnabled("sbApply", chosenRow() > 0);
}

void TfmCost::eDayCostChange()
{
    const QString text = eDayCost->text().trimmed();
    const std::optional<Decimal> dayCost =
        text.isEmpty() ? std::nullopt : std::optional(projectcost::parseDayCost(text, m_numbers));
    m_curve.setDayCost(dayCost.value_or(Decimal()));
    projectcost::setDayCost(m_plan, dayCost);
    showTotals();
}

void TfmCost::tbPrintCostClick()
{
    const std::unique_ptr<report::DrawingPages> print =
        costchart::pages(chart(), m_curve.bestText(), m_numbers);
    report::showPreview(print->layout(), &print->pages(), this);
}

void TfmCost::tbSaveCostClick()
{
    QList<FileType> types;
    for (const PictureFormat format : kFormats)
        types.append(fileTypeOf(format));
    const std::optional<FileChoice::Chosen> chosen =
        FileChoice::of(this, {"sdCost", FileChoice::Mode::Save, types}).choose();
    if (!chosen)
        return;
    switch (kFormats[chosen->type]) {
    case PictureFormat::Pdf:
        report::exportPdf(*costchart::pages(chart(), m_curve.bestText(), m_numbers)->makeDocument(),
                          chosen->path);
        break;
    case PictureFormat::Svg:
        costchart::writeSvg(chart(), m_numbers, chosen->path);
        break;
    case PictureFormat::Png:
        costchart::writePng(chart(), m_numbers, chosen->path);
        break;
    }
}

void TfmCost::tbSaveCostCsvClick()
{
    const QString path =
        FileChoice::of(this, {"sdCostCsv", FileChoice::Mode::Save, {filetypes::csv()}})
            .choosePath();
    if (!path.isEmpty())
        m_curve.writeCsv(path);
}

void TfmCost::sbApplyClick()
{
    if (chosenRow() <= 0)
        return;
    m_applied = m_curve.appliedAt(chosenRow());
    setProperty(kTag, 1);
    accept();
}

void TfmCost::tbCloseCostClick()
{
    reject();
}
