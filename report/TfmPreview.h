#pragma once

#include "PageMaker.h"

#include <QDialog>

#include <memory>

class CommandSet;
class QLabel;
class QPrinter;
class QProgressDialog;

namespace report {
class DataSet;
class PreviewWidget;
class ReportDocument;
class ReportRunner;
struct ReportLayout;
} // namespace report

// The report preview window: the pages of a report, made on a worker thread while the window is
// already shown, with zoom, page turning, printer set-up, printing, page files and PDF export. Its
// tool bar is a table of commands (CommandSet) with the program's keys for print, save, close and
// zoom.
// Shown modally; while it is open the report's data set belongs to the worker, and closing the
// window stops and waits for it.
class TfmPreview : public QDialog
{
    Q_OBJECT

public:
    explicit TfmPreview(QWidget* parent = nullptr);
    ~TfmPreview() override;

    // Starts making the pages of the layout over the data set. Raises "Поле «NAME» не найдено"
    // when an open data set lacks a field of the layout; nothing is shown then.
    void setReport(const report::ReportLayout& layout, const report::DataSet* data);
    // Shows pages made before, such as a loaded page file; printing prints them as they are.
    void setDocument(std::shared_ptr<report::ReportDocument> document);

    const report::ReportDocument* document() const { return m_document.get(); }
    report::PreviewWidget* preview() const { return m_preview; }
    // The settings of the next printing; the printer set-up command edits them.
    QPrinter& printer() { return *m_printer; }

private:
    void tbZoomFitClick();
    void tbZoom100Click();
    void tbZoomWidthClick();
    void zoomInClick();
    void zoomOutClick();
    void tbFirstPageClick();
    void tbPrevPageClick();
    void tbNextPageClick();
    void tbLastPageClick();
    void tbPrintSetupClick();
    void tbPrintClick();
    void tbSaveClick();
    void tbLoadClick();
    void tbExportPdfClick();
    void tbCloseClick();

    void addCommands();
    void followPaper(const QSizeF& paper);
    void pagesMade(int pass, const QList<report::MadePage>& pages);
    void passFinished(int pass, bool cancelled, const QString& error);
    void updateCommands();
    // Waits, with a progress window, until every page of the shown document is made. False when
    // the user stops waiting; raises the failure that stopped the pages.
    bool waitForAllPages();
    // Makes the pages anew for printing, with the printing progress window; null when stopped.
    std::shared_ptr<const report::ReportDocument> pagesForPrinting(QProgressDialog* progress);

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<report::ReportRunner> m_runner;
    std::shared_ptr<report::ReportDocument> m_document;
    // The pass that fills m_document; 0 when the document did not come from the runner.
    int m_previewPass = 0;
    QString m_failure;

    CommandSet* m_commands = nullptr;
    report::PreviewWidget* m_preview = nullptr;
    QLabel* m_pageLabel = nullptr;
    QLabel* m_statusLabel = nullptr;
};

namespace report {

// Shows the report of `layout` over `data` (which may be null or closed) in a modal preview and
// returns when the user has closed it; by then nothing reads the data set any more. Raises, before
// anything is shown, when an open data set lacks a field of the layout.
void showPreview(const ReportLayout& layout, const DataSet* data, QWidget* parent = nullptr);

} // namespace report
