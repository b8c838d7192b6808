#include "DiagramExport.h"
#include "DiagramPainter.h"
#include "DiagramPrint.h"
#include "DiagramScene.h"
#include "DiagramTestSupport.h"
#include "FileTestSupport.h"
#include "PageOutput.h"
#include "PopplerTestSupport.h"
#include "ReportDocument.h"
#include "ReportFonts.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace diagramtest;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(report::Paper)

namespace {

// The output of an independent reader of the files (rsvg-convert, python3), skipping the test
// where it is missing.
#define READER(output, tool, ...)                                                                  \
    QString output;                                                                                \
    do {                                                                                           \
        if (QStandardPaths::findExecutable(QStringLiteral(tool)).isEmpty())                        \
            QSKIP(tool " not found: install librsvg2-bin and python3 to check the SVG output");    \
        QProcess process;                                                                          \
        process.start(QStringLiteral(tool), QStringList{__VA_ARGS__});                             \
        QVERIFY(process.waitForFinished(120000));                                                  \
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());             \
        output = QString::fromUtf8(process.readAllStandardOutput());                               \
    } while (false)

// Every text element of an SVG file, one a line, as an XML parser of its own reads them.
const QString kSvgTexts = u"import sys, xml.etree.ElementTree as ET\n"
                          "for e in ET.parse(sys.argv[1]).iter():\n"
                          "    if e.tag.endswith('}text') or e.tag == 'text':\n"
                          "        print(''.join(e.itertext()))\n"_s;

struct Drawing
{
    std::unique_ptr<Network> network;
    std::unique_ptr<DiagramModel> model;
    NetworkLayout layout;
    std::shared_ptr<const DiagramScene> scene;

    explicit Drawing(int events)
        : network(diagramtest::network(events)),
          model(std::make_unique<DiagramModel>(network->model()))
    {
        const DiagramSizes sizes = DiagramSizes::measure(*model);
        layout = layOutNetwork(model->layoutInput(), sizes.layoutMetrics());
        DiagramOptions options;
        options.floats = true;
        scene = std::make_shared<const DiagramScene>(*model, layout, sizes, options);
    }

    // Every text the drawing shows, in the order it is painted: the caption, the works' labels,
    // the events' texts.
    QStringList texts() const
    {
        QStringList all{model->caption()};
        for (const SceneWork& work : scene->works())
            for (const SceneText* text : {&work.duration, &work.totalFloat})
                if (!text->text.isEmpty())
                    all.append(text->text);
        for (const SceneEvent& event : scene->events())
            for (const SceneText* text : {&event.top, &event.left, &event.right, &event.bottom})
                if (!text->text.isEmpty())
                    all.append(text->text);
        return all;
    }
};

// The characters of the texts one after the other, without the blanks between or within them:
// readers break texts up in their own ways (an SVG writer where the script changes, pdftotext
// between words), but never reorder or lose a character.
QString letters(const QStringList& texts)
{
    QString all = texts.join(QString());
    all.remove(QRegularExpression(u"\\s+"_s));
    return all;
}

} // namespace

// The diagram in files, read back by readers that share no code with the program, and printed
// through the report engine.
class TestDiagramOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        report::installReportFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }

    void svgAndPdfShowTheSameEventsAndLabels_data();
    void svgAndPdfShowTheSameEventsAndLabels();
    void pngHasTheResolutionAsked();
    void tooLargePngIsRefusedBeforeWriting();
    void printFitsOnePageOrCoversTheDrawingWithPages();

private:
    QTemporaryDir m_dir;
};

void TestDiagramOutput::svgAndPdfShowTheSameEventsAndLabels_data()
{
    QTest::addColumn<int>("events");
    QTest::addColumn<report::Paper>("paper");
    QTest::addColumn<QString>("pageSize");
    QTest::newRow("guide's example, A4 landscape")
        << 0 << report::Paper::A4Landscape << u"84[12][.\\d]* x 595[.\\d]*"_s;
    QTest::newRow("50 events, A3 portrait")
        << 50 << report::Paper::A3Portrait << u"84[12][.\\d]* x 119[01][.\\d]*"_s;
}

// The SVG renders (rsvg-convert) at its size and its text elements (an XML parser) are the
// drawing's texts in the order they are painted; the PDF is the fitted print: one page of the
// paper chosen, no raster image but the page header's small icon (pdfimages), and its text in the
// order it is painted (pdftotext) ends with the same texts, below the page header. Both replace
// an older file.
void TestDiagramOutput::svgAndPdfShowTheSameEventsAndLabels()
{
    QFETCH(int, events);
    QFETCH(report::Paper, paper);
    QFETCH(QString, pageSize);
    const Drawing drawing(events);
    const QString svg = m_dir.filePath(QStringLiteral("diagram%1.svg").arg(events));
    const QString pdf = m_dir.filePath(QStringLiteral("diagram%1.pdf").arg(events));
    testsupport::writeAll(svg, "an older file");
    testsupport::writeAll(pdf, "an older file");
    diagramexport::writeSvg(*drawing.scene, drawing.model->caption(), svg);
    const DiagramPrint print(drawing.scene, drawing.model->caption(), paper, DiagramPages::Fit);
    QVERIFY(report::exportPdf(*print.makeDocument(), pdf));

    const QString png = m_dir.filePath(QStringLiteral("rendered%1.png").arg(events));
    READER(rendered, "rsvg-convert", u"-o"_s, png, svg);
    const QImage image(png);
    // The picture's size is given in millimetres, which the reader rounds back to pixels.
    const QSizeF expected = drawing.scene->bounds().size();
    QVERIFY2(std::abs(image.width() - expected.width()) <= 2,
             qPrintable(QString::number(image.width())));
    QVERIFY(image.height() > int(expected.height()));
    READER(svgTexts, "python3", u"-c"_s, kSvgTexts, svg);
    const QStringList texts = drawing.texts();
    QCOMPARE(letters({svgTexts}), letters(texts));

    POPPLER(info, "pdfinfo", pdf);
    QVERIFY2(info.contains(QRegularExpression(u"Pages:\\s+1\\n"_s)), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Page size:\\s+"_s + pageSize)), qPrintable(info));
    POPPLER(images, "pdfimages", u"-list"_s, pdf);
    const QStringList imageLines = images.trimmed().split(u'\n');
    for (qsizetype line = 2; line < imageLines.size(); ++line) { // after the two heading lines
        const QStringList columns = imageLines[line].simplified().split(u' ');
        QVERIFY2(columns.size() > 4 && columns[3].toInt() <= 64 && columns[4].toInt() <= 64,
                 qPrintable(imageLines[line]));
    }
    POPPLER(words, "pdftotext", u"-raw"_s, pdf, u"-"_s);
    QVERIFY2(letters({words}).endsWith(letters(texts)), qPrintable(words));
}

// A PNG of 96 or 150 pixels to the inch: its size follows, it says so, and a critical work is
// red where its line runs.
void TestDiagramOutput::pngHasTheResolutionAsked()
{
    const Drawing drawing(0);
    for (const int resolution : {96, 150}) {
        const QString path = m_dir.filePath(QStringLiteral("house%1.png").arg(resolution));
        diagramexport::writePng(*drawing.scene, drawing.model->caption(), resolution, path);
        const QImage image(path);
        const double scale = resolution / 96.0;
        QCOMPARE(image.width(), int(std::ceil(drawing.scene->bounds().width() * scale)));
        QCOMPARE(std::lround(image.dotsPerMeterX() * 0.0254), long(resolution));
        // The first work, 1 → 2, is critical; the middle of its line lies below the caption.
        const SceneWork& first = drawing.scene->works().front();
        QVERIFY(first.critical);
        const QPointF middle = (first.start + first.tip) / 2;
        const QPointF at =
            (middle + QPointF(0, image.height() / scale - drawing.scene->bounds().height())) *
            scale;
        QCOMPARE(image.pixel(at.toPoint()) & 0xffffff, diagram::kCriticalColour & 0xffffff);
    }
}

// A 2,000-event network at 300 pixels to the inch would be far beyond a picture's limits: it is
// refused in words that name the way out, and the file that was there stays.
void TestDiagramOutput::tooLargePngIsRefusedBeforeWriting()
{
    const Drawing drawing(2000);
    const QString path = m_dir.filePath(QStringLiteral("large.png"));
    testsupport::writeAll(path, "keep me");
    const QString message = testsupport::messageOf(
        [&] { diagramexport::writePng(*drawing.scene, drawing.model->caption(), 300, path); });
    QVERIFY2(message.startsWith(u"Схема слишком велика для рисунка PNG ("_s), qPrintable(message));
    QVERIFY(message.endsWith(u"выберите меньшее разрешение или сохраните её в PDF или SVG"_s));
    QCOMPARE(testsupport::readAll(path), QByteArray("keep me"));
}

// Fitted, the drawing is one page; spread, the pages' pieces cover the drawing without overlap,
// each page with the shared heading, its number and a caption that names it.
void TestDiagramOutput::printFitsOnePageOrCoversTheDrawingWithPages()
{
    const Drawing drawing(200);
    const DiagramPrint fitted(drawing.scene, drawing.model->caption(), report::Paper::A4Landscape,
                              DiagramPages::Fit);
    QCOMPARE(fitted.pageCount(), 1);
    QCOMPARE(fitted.piece(0), drawing.scene->bounds());
    QVERIFY(fitted.millimetresPerPixel() < DiagramPrint::kMillimetresPerPixel);
    QCOMPARE(fitted.makeDocument()->pageCount(), 1);

    const DiagramPrint spread(drawing.scene, drawing.model->caption(), report::Paper::A4Portrait,
                              DiagramPages::Tiles);
    QVERIFY2(spread.columns() >= 2 && spread.rows() >= 2,
             "the drawing should span pages both ways");
    double area = 0;
    for (int page = 0; page < spread.pageCount(); ++page) {
        const QRectF piece = spread.piece(page);
        QVERIFY(drawing.scene->bounds().contains(piece));
        area += piece.width() * piece.height();
        for (int other = page + 1; other < spread.pageCount(); ++other)
            QVERIFY(!piece.intersects(spread.piece(other)));
    }
    const QSizeF whole = drawing.scene->bounds().size();
    QVERIFY(std::abs(area - whole.width() * whole.height()) < 1e-6 * area);

    const QString pdf = m_dir.filePath(u"pages.pdf"_s);
    QVERIFY(report::exportPdf(*spread.makeDocument(), pdf));
    POPPLER(info, "pdfinfo", pdf);
    QVERIFY2(info.contains(
                 QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(spread.pageCount()))),
             qPrintable(info));
    POPPLER(text, "pdftotext", u"-layout"_s, pdf, u"-"_s);
    QStringList pages = text.split(u'\f');
    if (pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    QCOMPARE(pages.size(), spread.pageCount());
    for (int page = 0; page < pages.size(); ++page) {
        QVERIFY(pages[page].contains(u"Расчёт сетевых графиков"_s));
        QVERIFY2(pages[page].contains(QStringLiteral("лист %1 из %2 (ряд %3, столбец %4)")
                                          .arg(page + 1)
                                          .arg(spread.pageCount())
                                          .arg(page / spread.columns() + 1)
                                          .arg(page % spread.columns() + 1)),
                 qPrintable(pages[page].left(800)));
    }
}

QTEST_MAIN(TestDiagramOutput)
#include "tst_diagramoutput.moc"
