#include "TfmAnalysis.h"

#include "AnalysisCsv.h"
#include "AnalysisDataSet.h"
#include "AnalysisReport.h"
#include "AnalysisTableModel.h"
#include "Commands.h"
#include "FileChoice.h"
#include "NetworkAnalysis.h"
#include "Pictures.h"
#include "TfmPreview.h"

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr QSize kClientSize(800, 560);
constexpr int kRowHeight = 18;
// Screen pixels per printed millimetre of a column: the window's columns keep the printout's
// proportions.
constexpr double kPixelsPerMillimetre = 3.6;

} // namespace

TfmAnalysis::TfmAnalysis(const NetworkAnalysis& analysis, QWidget* parent)
    : ToolWindow(parent, "fmAnalysis", QStringLiteral("Kestrin - анализ сети")),
      m_analysis(analysis)
{
    QVBoxLayout* layout = makeColumn(2);

    using C = Command<TfmAnalysis>;
    commands().add<TfmAnalysis>(
        this, {
                  C{"tbPrint", Picture::PrintNow, u"Напечатать анализ", &TfmAnalysis::tbPrintClick,
                    commandkeys::print()},
                  C{"tbSaveCsv", Picture::SaveBase, u"Сохранить анализ в формате CSV",
                    &TfmAnalysis::tbSaveCsvClick, commandkeys::save()},
                  C{"tbClose", Picture::ClosePreview, u"Закрыть окно анализа",
                    &TfmAnalysis::tbCloseClick, commandkeys::close()},
              });
    QToolBar* bar = makeToolBar(this, "ToolBar1", {"tbPrint", "tbSaveCsv", nullptr, "tbClose"});
    lSummary = new QLabel(analysis.summary(), bar);
    lSummary->setObjectName(QStringLiteral("lSummary"));
    lSummary->setTextFormat(Qt::PlainText);
    lSummary->setContentsMargins(8, 0, 0, 0);
    bar->addWidget(lSummary);
    layout->addWidget(bar);

    tcAnalysis = new QTabWidget(this);
    tcAnalysis->setObjectName(QStringLiteral("tcAnalysis"));
    sgEvents = addPage("sgEvents", NetworkAnalysis::Events);
    sgTension = addPage("sgTension", NetworkAnalysis::Tension);
    sgPaths = addPage("sgPaths", NetworkAnalysis::Paths);
    sgCheck = addPage("sgCheck", NetworkAnalysis::Check);
    // Without times the other pages are empty, and the check says why.
    tcAnalysis->setCurrentWidget(analysis.timesKnown() ? sgEvents : sgCheck);
    layout->addWidget(tcAnalysis, 1);

    resize(kClientSize);
}

TfmAnalysis::~TfmAnalysis() = default;

QTableView* TfmAnalysis::addPage(const char* name, int page)
{
    const AnalysisPage& shown = m_analysis.page(NetworkAnalysis::Page(page));
    auto* view = new QTableView(tcAnalysis);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(shown.title());
    view->setModel(new AnalysisTableModel(shown, view));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setWordWrap(false);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    // Rows of one height: a view of a hundred thousand rows never measures them.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    for (int column = 0; column < shown.columnCount(); ++column)
        view->setColumnWidth(column,
                             int(shown.columns()[column].printWidth * kPixelsPerMillimetre));
    view->horizontalHeader()->setStretchLastSection(true);
    tcAnalysis->addTab(view, shown.title());
    return view;
}

void TfmAnalysis::tbPrintClick()
{
    const AnalysisDataSet records(m_analysis);
    report::showPreview(analysisReportLayout(m_analysis), &records, this);
}

void TfmAnalysis::tbSaveCsvClick()
{
    const QString path =
        FileChoice::of(this, {"sdAnalysis", FileChoice::Mode::Save, {filetypes::csv()}})
            .choosePath();
    if (!path.isEmpty())
        writeAnalysisCsv(path, m_analysis);
}

void TfmAnalysis::tbCloseClick()
{
    accept();
}
