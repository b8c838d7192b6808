#include "TfmPreview.h"

#include "ErrorBox.h"
#include "KestrinError.h"
#include "PageFile.h"
#include "PageOutput.h"
#include "PictureButton.h"
#include "Pictures.h"
#include "PreviewWidget.h"
#include "ReportDocument.h"
#include "ReportRunner.h"

#include <QBoxLayout>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QScreen>
#include <QToolButton>

using report::PreviewWidget;
using report::ReportDocument;

namespace {

const QString kPageFilter = QStringLiteral("Страницы отчёта (*.krp)");
const QString kPdfFilter = QStringLiteral("Документы PDF (*.pdf)");
const QString kAllFilter = QStringLiteral("Все файлы (*)");

// Printing needs somewhere to print to: an installed printer, or a file chosen in the printer
// set-up. Without either the job would vanish without a word.
bool canPrint(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return !printer.printerName().isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty();
}

QFileDialog* makeFileDialog(QWidget* parent, const char* name, const QString& title,
                            QFileDialog::AcceptMode mode, const QString& filter,
                            const QString& suffix)
{
    auto* dialog = new QFileDialog(parent, title);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave)
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilters({filter, kAllFilter});
    dialog->setDefaultSuffix(suffix);
    dialog->setModal(true);
    return dialog;
}

std::unique_ptr<QProgressDialog> makeProgress(QWidget* parent, const char* name,
                                              const QString& title)
{
    auto progress = std::make_unique<QProgressDialog>(parent);
    progress->setObjectName(QLatin1String(name));
    progress->setWindowTitle(title);
    progress->setWindowModality(Qt::WindowModal);
    progress->setCancelButtonText(QStringLiteral("Отмена"));
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    progress->setRange(0, 0);
    return progress;
}

} // namespace

TfmPreview::TfmPreview(QWidget* parent)
    : QDialog(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("fmPreview"));
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    setWindowIcon(windowIcon());
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    // One copy of every page on A4, scaled to the paper the printer has, corner to corner.
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printer->setPageOrientation(QPageLayout::Portrait);
    m_printer->setFullPage(true);
    m_printer->setCopyCount(1);
    m_printer->setDuplex(QPrinter::DuplexNone);
    m_printer->setPrintRange(QPrinter::AllPages);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(1);
    addCommand("tbZoomFit", Picture::ZoomFit, QStringLiteral("Страница целиком"));
    auto* zoomFit = findChild<QToolButton*>(QStringLiteral("tbZoomFit"));
    auto* zoom100 = addCommand("tbZoom100", Picture::Zoom100, QStringLiteral("Масштаб 100 %"));
    auto* zoomWidth =
        addCommand("tbZoomWidth", Picture::ZoomWidth, QStringLiteral("По ширине страницы"));
    tbFirstPage = addCommand("tbFirstPage", Picture::FirstPage, QStringLiteral("Первая страница"));
    tbPrevPage = addCommand("tbPrevPage", Picture::PrevPage, QStringLiteral("Предыдущая страница"));
    tbNextPage = addCommand("tbNextPage", Picture::NextPage, QStringLiteral("Следующая страница"));
    tbLastPage = addCommand("tbLastPage", Picture::LastPage, QStringLiteral("Последняя страница"));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lbPage"));
    auto* printSetup =
        addCommand("tbPrintSetup", Picture::PrintSetup, QStringLiteral("Настройка принтера"));
    tbPrint = addCommand("tbPrint", Picture::PrintNow, QStringLiteral("Печать"));
    tbSave = addCommand("tbSave", Picture::SavePages, QStringLiteral("Сохранить страницы в файл"));
    auto* load =
        addCommand("tbLoad", Picture::LoadPages, QStringLiteral("Загрузить страницы из файла"));
    tbExportPdf = addCommand("tbExportPdf", Picture::ExportPdf, QStringLiteral("Экспорт в PDF"));
    auto* close = addCommand("tbClose", Picture::ClosePreview, QStringLiteral("Закрыть"));
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("lbStatus"));

    for (QToolButton* b : {zoomFit, zoom100, zoomWidth})
        bar->addWidget(b);
    bar->addSpacing(12);
    for (QToolButton* b : {tbFirstPage, tbPrevPage, tbNextPage, tbLastPage})
        bar->addWidget(b);
    bar->addSpacing(6);
    bar->addWidget(m_pageLabel);
    bar->addSpacing(12);
    for (QToolButton* b : {printSetup, tbPrint, tbSave, load, tbExportPdf})
        bar->addWidget(b);
    bar->addSpacing(12);
    bar->addWidget(close);
    bar->addSpacing(12);
    bar->addWidget(m_statusLabel);
    bar->addStretch();

    m_preview = new PreviewWidget(this);
    m_preview->setObjectName(QStringLiteral("pvPages"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_preview, 1);

    sdPages = makeFileDialog(this, "sdPages", QStringLiteral("Сохранить страницы отчёта"),
                             QFileDialog::AcceptSave, kPageFilter, QStringLiteral("krp"));
    odPages = makeFileDialog(this, "odPages", QStringLiteral("Загрузить страницы отчёта"),
                             QFileDialog::AcceptOpen, kPageFilter, QStringLiteral("krp"));
    sdPdf = makeFileDialog(this, "sdPdf", QStringLiteral("Экспорт в PDF"), QFileDialog::AcceptSave,
                           kPdfFilter, QStringLiteral("pdf"));

    connect(zoomFit, &QToolButton::clicked, this,
            [this] { m_preview->setZoomMode(PreviewWidget::ZoomMode::FitPage); });
    connect(zoom100, &QToolButton::clicked, this, [this] { m_preview->setZoomFactor(1.0); });
    connect(zoomWidth, &QToolButton::clicked, this,
            [this] { m_preview->setZoomMode(PreviewWidget::ZoomMode::FitWidth); });
    connect(tbFirstPage, &QToolButton::clicked, this, [this] { m_preview->setCurrentPage(0); });
    connect(tbPrevPage, &QToolButton::clicked, this,
            [this] { m_preview->setCurrentPage(m_preview->currentPage() - 1); });
    connect(tbNextPage, &QToolButton::clicked, this,
            [this] { m_preview->setCurrentPage(m_preview->currentPage() + 1); });
    connect(tbLastPage, &QToolButton::clicked, this,
            [this] { m_preview->setCurrentPage(m_preview->pageCount() - 1); });
    const auto guarded = [this](void (TfmPreview::*handler)()) {
        return [this, handler] {
            runGuarded(this, [this, handler] { (this->*handler)(); });
        };
    };
    connect(printSetup, &QToolButton::clicked, this, guarded(&TfmPreview::tbPrintSetupClick));
    connect(tbPrint, &QToolButton::clicked, this, guarded(&TfmPreview::tbPrintClick));
    connect(tbSave, &QToolButton::clicked, this, guarded(&TfmPreview::tbSaveClick));
    connect(load, &QToolButton::clicked, this, guarded(&TfmPreview::tbLoadClick));
    connect(tbExportPdf, &QToolButton::clicked, this, guarded(&TfmPreview::tbExportPdfClick));
    connect(close, &QToolButton::clicked, this, &QDialog::accept);
    connect(m_preview, &PreviewWidget::currentPageChanged, this, &TfmPreview::updateCommands);
    connect(m_preview, &PreviewWidget::pageCountChanged, this, &TfmPreview::updateCommands);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableSize();
        resize(std::min(room.width(), 900), room.height() * 9 / 10);
    }
    updateCommands();
}

TfmPreview::~TfmPreview() = default;

QToolButton* TfmPreview::addCommand(const char* name, Picture picture, const QString& hint)
{
    return makePictureButton(this, name, picture, hint, QSize(20, 20));
}

void TfmPreview::followPaper(const QSizeF& paper)
{
    // The printer is set to the report's paper: a landscape or A3 page is then printed at its
    // size, not shrunk onto A4 portrait. Qt names the size in its portrait form.
    const bool landscape = paper.width() > paper.height();
    m_printer->setPageSize(
        QPageSize(landscape ? paper.transposed() : paper, QPageSize::Millimeter));
    m_printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void TfmPreview::setReport(const report::ReportLayout& layout, const report::DataSet* data)
{
    followPaper(layout.paper);
    auto runner = std::make_unique<report::ReportRunner>(layout, data);
    m_runner = std::move(runner);
    connect(m_runner.get(), &report::ReportRunner::pagesMade, this, &TfmPreview::pagesMade);
    connect(m_runner.get(), &report::ReportRunner::finished, this, &TfmPreview::passFinished);
    m_failure.clear();
    m_document = std::make_shared<ReportDocument>(m_runner->layout());
    m_preview->setDocument(m_document);
    m_previewPass = m_runner->start();
    updateCommands();
}

void TfmPreview::setDocument(std::shared_ptr<ReportDocument> document)
{
    if (m_runner && m_previewPass != 0)
        m_runner->cancel(m_previewPass);
    m_previewPass = 0;
    m_failure.clear();
    m_document = std::move(document);
    if (m_document)
        followPaper(m_document->layout().paper);
    m_preview->setDocument(m_document);
    updateCommands();
}

void TfmPreview::pagesMade(int pass, const QList<report::MadePage>& pages)
{
    if (pass != m_previewPass)
        return;
    m_document->appendPages(pages);
    m_preview->pagesAdded();
}

void TfmPreview::passFinished(int pass, bool cancelled, const QString& error)
{
    if (pass != m_previewPass)
        return;
    m_document->setComplete(!cancelled && error.isEmpty());
    m_failure = error;
    updateCommands();
    if (!error.isEmpty())
        showErrorBox(this, error);
}

void TfmPreview::updateCommands()
{
    const int count = m_preview->pageCount();
    const int page = m_preview->currentPage();
    m_pageLabel->setText(QStringLiteral("Страница %1 из %2").arg(page + 1).arg(count));
    tbFirstPage->setEnabled(page > 0);
    tbPrevPage->setEnabled(page > 0);
    tbNextPage->setEnabled(page + 1 < count);
    tbLastPage->setEnabled(page + 1 < count);
    tbPrint->setEnabled(count > 0);
    tbSave->setEnabled(count > 0 && !(m_document && m_document->layout().hasDrawings()));
    tbExportPdf->setEnabled(count > 0);
    const bool making =
        m_document && !m_document->isComplete() && m_failure.isEmpty() && m_previewPass != 0;
    m_statusLabel->setText(making ? QStringLiteral("Подготовка страниц…") : QString());
}

bool TfmPreview::waitForAllPages()
{
    if (!m_failure.isEmpty())
        throw KestrinError(m_failure);
    if (!m_document || m_document->isComplete() || m_previewPass == 0)
        return true;
    auto progress = makeProgress(this, "pagesProgress", QStringLiteral("Подготовка страниц"));
    QEventLoop loop;
    const auto showCount = [&] {
        progress->setLabelText(
            QStringLiteral("Подготовлено страниц: %1").arg(m_document->pageCount()));
    };
    showCount();
    connect(m_runner.get(), &report::ReportRunner::pagesMade, progress.get(), showCount);
    connect(m_runner.get(), &report::ReportRunner::finished, &loop, &QEventLoop::quit);
    connect(progress.get(), &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    progress->show();
    loop.exec();
    if (!m_failure.isEmpty())
        throw KestrinError(m_failure);
    return m_document->isComplete();
}

QString TfmPreview::chooseFile(QFileDialog* dialog)
{
    if (dialog->exec() != QDialog::Accepted)
        return QString();
    return dialog->selectedFiles().value(0);
}

void TfmPreview::tbPrintSetupClick()
{
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize);
    // Until every page is made, the number of pages is not known.
    if (m_document && m_document->isComplete() && m_document->pageCount() > 0)
        dialog.setMinMax(1, m_document->pageCount());
    else
        dialog.setMinMax(0, 9999);
    dialog.exec();
}

std::shared_ptr<const ReportDocument> TfmPreview::pagesForPrinting(QProgressDialog* progress)
{
    // Pages that did not come from the runner (a loaded file) are printed as they are.
    if (!m_runner || m_previewPass == 0)
        return m_document;
    auto pages = std::make_shared<ReportDocument>(m_runner->layout());
    const int pass = m_runner->start();
    QString error;
    QEventLoop loop;
    progress->setLabelText(QStringLiteral("Подготовка страниц…"));
    connect(m_runner.get(), &report::ReportRunner::pagesMade, &loop,
            [&](int p, const QList<report::MadePage>& made) {
                if (p != pass)
                    return;
                pages->appendPages(made);
                progress->setLabelText(
                    QStringLiteral("Подготовлено страниц: %1").arg(pages->pageCount()));
            });
    connect(m_runner.get(), &report::ReportRunner::finished, &loop,
            [&](int p, bool cancelled, const QString& message) {
                if (p != pass)
                    return;
                pages->setComplete(!cancelled && message.isEmpty());
                error = message;
                loop.quit();
            });
    connect(progress, &QProgressDialog::canceled, &loop, [&] { m_runner->cancel(pass); });
    loop.exec();
    if (!error.isEmpty())
        throw KestrinError(error);
    return pages->isComplete() ? pages : nullptr;
}

void TfmPreview::tbPrintClick()
{
    if (!canPrint(*m_printer))
        throw KestrinError(QStringLiteral("Принтер не установлен"));
    auto progress = makeProgress(this, "printProgress", QStringLiteral("Printing progress"));
    progress->show();
    const auto pages = pagesForPrinting(progress.get());
    if (!pages)
        return;
    const int count = pages->pageCount();
    int first = 0;
    int last = count - 1;
    if (m_printer->printRange() == QPrinter::PageRange) {
        // Page numbers from 1; 0 leaves that end open.
        if (m_printer->fromPage() > 0)
            first = m_printer->fromPage() - 1;
        if (m_printer->toPage() > 0)
            last = std::min(last, m_printer->toPage() - 1);
    }
    if (count == 0 || first > last)
        throw KestrinError(
            QStringLiteral("Нет страниц для печати: в отчёте страниц %1").arg(count));
    report::printPages(*pages, *m_printer, first, last, [&](int done, int total) {
        progress->setMaximum(total);
        progress->setValue(done);
        progress->setLabelText(QStringLiteral("Печать страницы %1 из %2").arg(done).arg(total));
        return !progress->wasCanceled();
    });
}

void TfmPreview::tbSaveClick()
{
    const QString path = chooseFile(sdPages);
    if (path.isEmpty() || !waitForAllPages())
        return;
    report::savePages(*m_document, path);
}

void TfmPreview::tbLoadClick()
{
    const QString path = chooseFile(odPages);
    if (path.isEmpty())
        return;
    std::shared_ptr<ReportDocument> loaded = report::loadPages(path);
    setDocument(std::move(loaded));
}

void TfmPreview::tbExportPdfClick()
{
    const QString path = chooseFile(sdPdf);
    if (path.isEmpty() || !waitForAllPages())
        return;
    auto progress = makeProgress(this, "pdfProgress", QStringLiteral("Экспорт в PDF"));
    progress->show();
    report::exportPdf(*m_document, path, [&](int done, int total) {
        progress->setMaximum(total);
        progress->setValue(done);
        progress->setLabelText(QStringLiteral("Страница %1 из %2").arg(done).arg(total));
        return !progress->wasCanceled();
    });
}

namespace report {

void showPreview(const ReportLayout& layout, const DataSet* data, QWidget* parent)
{
    TfmPreview preview(parent);
    preview.setReport(layout, data);
    preview.exec();
}

} // namespace report
