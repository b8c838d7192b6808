#include "TfmAnalysis.h"

#include "AnalysisCsv.h"
#include "AnalysisDataSet.h"
#include "AnalysisReport.h"
#include "AnalysisTableModel.h"
#include "ErrorBox.h"
#include "GuardedCommand.h"
#include "NetworkAnalysis.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "TfmPreview.h"

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kClientSize(800, 560);
constexpr int kRowHeight = 18;
// Screen pixels per printed millimetre of a column: the window's columns keep the printout's
// proportions.
constexpr double kPixelsPerMillimetre = 3.6;

} // namespace

TfmAnalysis::TfmAnalysis(const NetworkAnalysis& analysis, ChooseFile chooseCsvFile, QWidget* parent)
    : ToolWindow(parent, "fmAnalysis", QStringLiteral("Kestrin - анализ сети"), Escape::Closes),
      m_analysis(analysis), m_chooseCsvFile(std::move(chooseCsvFile))
{
    QVBoxLayout* layout = makeColumn(2);

    QToolBar* bar = makeFlatToolBar(this, "ToolBar1");
    tbPrint = addCommand(bar, "tbPrint", Picture::PrintNow, QStringLiteral("Напечатать анализ"),
                         &TfmAnalysis::tbPrintClick);
    tbSaveCsv =
        addCommand(bar, "tbSaveCsv", Picture::SaveBase,
                   QStringLiteral("Сохранить анализ в формате CSV"), &TfmAnalysis::tbSaveCsvClick);
    bar->addSeparator();
    tbClose = addCommand(bar, "tbClose", Picture::ClosePreview,
                         QStringLiteral("Закрыть окно анализа"), &TfmAnalysis::tbCloseClick);
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

QToolButton* TfmAnalysis::addCommand(QToolBar* bar, const char* name, Picture picture,
                                     const QString& hint, void (TfmAnalysis::*handler)())
{
    return addToolBarCommand(this, bar, name, picture, hint, handler);
}

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
    const QString path = m_chooseCsvFile ? m_chooseCsvFile() : QString();
    if (!path.isEmpty())
        writeAnalysisCsv(path, m_analysis);
}

void TfmAnalysis::tbCloseClick()
{
    accept();
}
