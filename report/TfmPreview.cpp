#include "TfmPreview.h"

#include "Commands.h"
#include "ErrorBox.h"
#include "FileChoice.h"
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
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QScreen>
#include <QToolButton>

#include <initializer_list>

using report::PreviewWidget;
using report::ReportDocument;

namespace {

// A step of the zoom keys.
constexpr qreal kZoomStep = 1.25;

// The preview's file choices: page files to save and load, and the PDF.
FileChoice::Wanted pageFileChoice(FileChoice::Mode mode)
{
    const bool save = mode == FileChoice::Mode::Save;
    return {save ? "sdPages" : "odPages",
            mode,
            {{QStringLiteral("Страницы отчёта (*.krp)"), QStringLiteral("krp")}},
            save ? QStringLiteral("Сохранить страницы отчёта")
                 : QStringLiteral("Загрузить страницы отчёта")};
}

FileChoice::Wanted pdfChoice()
{
    return {"sdPdf", FileChoice::Mode::Save, {filetypes::pdf()}, QStringLiteral("Экспорт в PDF")};
}

// Printing needs somewhere to print to: an installed printer, or a file chosen in the printer
// set-up. Without either the job would vanish without a word.
bool canPrint(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return !printer.printerName().isEmpty() && !QPrinterInfo::availablePrinterNames().isEmpty();
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

    addCommands();
    auto* bar = new QHBoxLayout;
    bar->setSpacing(1);
    const auto addButtons = [this, bar](std::initializer_list<const char*> names) {
        for (const char* name : names)
            bar->addWidget(m_commands->makeButton(this, name, QSize(20, 20)));
    };
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lbPage"));
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("lbStatus"));
    addButtons({"tbZoomFit", "tbZoom100", "tbZoomWidth"});
    bar->addSpacing(12);
    addButtons({"tbFirstPage", "tbPrevPage", "tbNextPage", "tbLastPage"});
    bar->addSpacing(6);
    bar->addWidget(m_pageLabel);
    bar->addSpacing(12);
    addButtons({"tbPrintSetup", "tbPrint", "tbSave", "tbLoad", "tbExportPdf"});
    bar->addSpacing(12);
    addButtons({"tbClose"});
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

    // Made with the window, so that they are ready before the first command asks for them.
    FileChoice::of(this, pageFileChoice(FileChoice::Mode::Save));
    FileChoice::of(this, pageFileChoice(FileChoice::Mode::Open));
    FileChoice::of(this, pdfChoice());

    connect(m_preview, &PreviewWidget::currentPageChanged, this, &TfmPreview::updateCommands);
    connect(m_preview, &PreviewWidget::pageCountChanged, this, &TfmPreview::updateCommands);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableSize();
        resize(std::min(room.width(), 900), room.height() * 9 / 10);
    }
    updateCommands();
}

TfmPreview::~TfmPreview() = default;

void TfmPreview::addCommands()
{
    m_commands = new CommandSet(this, [this] { updateCommands(); });
    using C = Command<TfmPreview>;
    m_commands->add<TfmPreview>(
        this,
        {
            C{"tbZoomFit", Picture::ZoomFit, u"Страница целиком", &TfmPreview::tbZoomFitClick},
            C{"tbZoom100", Picture::Zoom100, u"Масштаб 100 %", &TfmPreview::tbZoom100Click,
              commandkeys::zoom100()},
            C{"tbZoomWidth", Picture::ZoomWidth, u"По ширине страницы",
              &TfmPreview::tbZoomWidthClick},
            C{"acZoomIn", std::nullopt, u"Крупнее", &TfmPreview::zoomInClick,
              commandkeys::zoomIn()},
            C{"acZoomOut", std::nullopt, u"Мельче", &TfmPreview::zoomOutClick,
              commandkeys::zoomOut()},
            C{"tbFirstPage", Picture::FirstPage, u"Первая страница", &TfmPreview::tbFirstPageClick},
            C{"tbPrevPage", Picture::PrevPage, u"Предыдущая страница",
              &TfmPreview::tbPrevPageClick},
            C{"tbNextPage", Picture::NextPage, u"Следующая страница", &TfmPreview::tbNextPageClick},
            C{"tbLastPage", Picture::LastPage, u"Последняя страница", &TfmPreview::tbLastPageClick},
            C{"tbPrintSetup", Picture::PrintSetup, u"Настройка принтера",
              &TfmPreview::tbPrintSetupClick},
            C{"tbPrint", Picture::PrintNow, u"Печать", &TfmPreview::tbPrintClick,
              commandkeys::print()},
            C{"tbSave", Picture::SavePages, u"Сохранить страницы в файл", &TfmPreview::tbSaveClick,
              commandkeys::save()},
            C{"tbLoad", Picture::LoadPages, u"Загрузить страницы из файла",
              &TfmPreview::tbLoadClick},
            C{"tbExportPdf", Picture::ExportPdf, u"Экспорт в PDF", &TfmPreview::tbExportPdfClick},
            C{"tbClose", Picture::ClosePreview, u"Закрыть", &TfmPreview::tbCloseClick,
              commandkeys::close()},
        });
}

void TfmPreview::tbZoomFitClick()
{
    m_preview->setZoomMode(PreviewWidget::ZoomMode::FitPage);
}

void TfmPreview::tbZoom100Click()
{
    m_preview->setZoomFactor(1.0);
}

void TfmPreview::tbZoomWidthClick()
{
    m_preview->setZoomMode(PreviewWidget::ZoomMode::FitWidth);
}

void TfmPreview::zoomInClick()
{
    m_preview->setZoomFactor(m_preview->zoomFactor() * kZoomStep);
}

void TfmPreview::zoomOutClick()
{
    m_preview->setZoomFactor(m_preview->zoomFactor() / kZoomStep);
}

void TfmPreview::tbFirstPageClick()
{
    m_preview->setCurrentPage(0);
}

void TfmPreview::tbPrevPageClick()
{
    m_preview->setCurrentPage(m_preview->currentPage() - 1);
}

void TfmPreview::tbNextPageClick()
{
    m_preview->setCurrentPage(m_preview->currentPage() + 1);
}

void TfmPreview::tbLastPageClick()
{
    m_preview->setCurrentPage(m_preview->pageCount() - 1);
}

void TfmPreview::tbCloseClick()
{
    accept();
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
    for (const char* name : {"tbFirstPage", "tbPrevPage"})
        m_commands->setEnabled(name, page > 0);
    for (const char* name : {"tbNextPage", "tbLastPage"})
        m_commands->setEnabled(name, page + 1 < count);
    m_commands->setEnabled("tbPrint", count > 0);
    m_commands->setEnabled("tbSave",
                           count > 0 && !(m_document && m_document->layout().hasDrawings()));
    m_commands->setEnabled("tbExportPdf", count > 0);
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
    const QString path = FileChoice::of(this, pageFileChoice(FileChoice::Mode::Save)).choosePath();
    if (path.isEmpty() || !waitForAllPages())
        return;
    report::savePages(*m_document, path);
}

void TfmPreview::tbLoadClick()
{
    const QString path = FileChoice::of(this, pageFileChoice(FileChoice::Mode::Open)).choosePath();
    if (path.isEmpty())
        return;
    std::shared_ptr<ReportDocument> loaded = report::loadPages(path);
    setDocument(std::move(loaded));
}

void TfmPreview::tbExportPdfClick()
{
    const QString path = FileChoice::of(this, pdfChoice()).choosePath();
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
