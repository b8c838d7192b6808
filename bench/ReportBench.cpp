#include "Bench.h"

#include "../tests/report/TableLikeLayout.h"
#include "PageOutput.h"
#include "ReportDocument.h"
#include "ReportFonts.h"
#include "ReportRunner.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

// The printed work table of 10,000 works (eleven fields a row, 6.35 mm rows, 304 A4 pages):
// making the pages on the report's worker thread as the preview does, exporting them all as one
// PDF, and painting one page for the screen at 100 %.
void benchReport()
{
    constexpr int kRecords = 10'000;
    report::installReportFontSubstitutes();
    const report::ReportLayout layout = tablelike::layout();
    const tablelike::DataSet data(kRecords);

    std::unique_ptr<report::ReportDocument> document;
    const double making = bench::seconds([&] {
        report::ReportRunner runner(layout, &data);
        document = std::make_unique<report::ReportDocument>(runner.layout());
        QEventLoop loop;
        QObject::connect(
            &runner, &report::ReportRunner::pagesMade,
            [&](int, const QList<report::MadePage>& pages) { document->appendPages(pages); });
        QObject::connect(&runner, &report::ReportRunner::finished, &loop, &QEventLoop::quit);
        runner.start();
        loop.exec();
        document->setComplete(true);
    });
    const int pages = document->pageCount();

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const double exporting = bench::seconds([&] { report::exportPdf(*document, pdf); });

    const double screen = bench::seconds(
        [&] {
            QImage image(794, 1123, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            document->paintPage(painter, pages / 2, QRectF(0, 0, 794, 1123));
        },
        5);

    bench::report(QStringLiteral("report: pages of 10,000 records"), QString::number(pages));
    bench::report(QStringLiteral("report: make all pages on the worker thread"),
                  QStringLiteral("%1 s").arg(making, 0, 'f', 3));
    bench::report(QStringLiteral("report: export all pages to PDF"),
                  QStringLiteral("%1 s").arg(exporting, 0, 'f', 3));
    bench::report(QStringLiteral("report: make + export, total"),
                  QStringLiteral("%1 s").arg(making + exporting, 0, 'f', 3));
    bench::report(QStringLiteral("report: make + export, per page"),
                  QStringLiteral("%1 ms").arg((making + exporting) * 1000 / pages, 0, 'f', 2));
    bench::report(QStringLiteral("report: PDF size"),
                  QStringLiteral("%1 KB").arg(QFileInfo(pdf).size() / 1024));
    bench::report(QStringLiteral("report: paint one page for the screen at 100 %"),
                  QStringLiteral("%1 ms").arg(screen * 1000, 0, 'f', 2));
    bench::report(QStringLiteral("report: peak RSS (whole process)"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 0));
}
