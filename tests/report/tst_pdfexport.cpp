#include "Edition.h"
#include "PageOutput.h"
#include "PopplerTestSupport.h"
#include "ReportDocument.h"
#include "ReportFonts.h"
#include "TableLikeLayout.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace report;

namespace {

// One point of PDF user space, in millimetres.
constexpr qreal kMmPerPoint = 25.4 / 72;

std::unique_ptr<ReportDocument> tableReport(int records)
{
    const tablelike::DataSet data(records);
    auto document =
        std::make_unique<ReportDocument>(std::make_shared<ReportLayout>(tablelike::layout()));
    QList<MadePage> pages;
    PageMaker maker(document->layout(), &data, bindFields(document->layout(), &data));
    maker.run([&](MadePage&& page) { pages.append(std::move(page)); });
    document->appendPages(std::move(pages));
    document->setComplete(true);
    return document;
}

} // namespace

class TestPdfExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installReportFontSubstitutes();
        QVERIFY(m_dir.isValid());
        m_pdf = m_dir.filePath(QStringLiteral("report.pdf"));
        QVERIFY(exportPdf(*tableReport(40), m_pdf));
    }

    void hasEveryPageOnA4()
    {
        POPPLER(info, "pdfinfo", m_pdf);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QLatin1String("(A4)")), qPrintable(info));
    }

    // Text is real text in embedded fonts, so pdftotext reads it back: labels, field values
    // and each page's own number after its caption.
    void textIsSelectable_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("page 1") << 1
                                << QStringList{QStringLiteral("Расчёт сетевых графиков"),
                                               QStringLiteral("Kestrin"),
                                               QStringLiteral("v ") + edition(),
                                               QStringLiteral("Дата печати :"),
                                               QStringLiteral("Начало работы"),
                                               QStringLiteral("Событие 0"),
                                               QStringLiteral("Событие 30"),
                                               QStringLiteral("07.12.2026")}
                                << QStringList{QStringLiteral("Событие 32")};
        QTest::newRow("page 2") << 2
                                << QStringList{QStringLiteral("Расчёт сетевых графиков"),
                                               QStringLiteral("Событие 31"),
                                               QStringLiteral("Событие 39"),
                                               QStringLiteral("16.12.2026")}
                                << QStringList{QStringLiteral("Начало работы"),
                                               QStringLiteral("Событие 29")};
    }
    void textIsSelectable()
    {
        QFETCH(int, page);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        const QString number = QString::number(page);
        POPPLER(text, "pdftotext", QStringLiteral("-layout"), QStringLiteral("-f"), number,
                QStringLiteral("-l"), number, m_pdf, QStringLiteral("-"));
        for (const QString& s : present)
            QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" in\n") + text));
        for (const QString& s : absent)
            QVERIFY2(!text.contains(s), qPrintable(s));
        const QRegularExpression pageLine(QStringLiteral("Страница :\\s+(\\d+)\\s*\\n"));
        const QRegularExpressionMatch match = pageLine.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        QCOMPARE(match.captured(1), number);
    }

    // Word boxes as pdftotext sees them, in millimetres from the paper's corner: the PDF has no
    // margin of its own, so the layout's positions hold.
    void wordsStandWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("word"); // a pattern for the whole word
        QTest::addColumn<QString>("edge");
        QTest::addColumn<qreal>("x");
        QTest::newRow("product name") << "Kestrin"
                                      << "left" << 89.64;
        QTest::newRow("heading") << "Расчёт"
                                 << "left" << 62.12;
        QTest::newRow("left-aligned field") << "Событие"
                                            << "left" << 26.67;
        QTest::newRow("right-aligned page number") << "1"
                                                   << "right" << 198.65;
        // pdftotext may join the date with the number just left of it into one word; the print
        // date of the page header can read the same on the day the test runs.
        QTest::newRow("right-aligned date field") << "[^<]*07\\.12\\.2026"
                                                  << "right" << 197.32;
    }
    // Some word matching the pattern has the edge at x (a pattern may match several words).
    void wordsStandWhereTheLayoutPutsThem()
    {
        QFETCH(QString, word);
        QFETCH(QString, edge);
        QFETCH(qreal, x);
        POPPLER(html, "pdftotext", QStringLiteral("-bbox"), QStringLiteral("-f"),
                QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), m_pdf,
                QStringLiteral("-"));
        const QRegularExpression box(
            QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" "
                           "yMax=\"[\\d.]+\">%1</word>")
                .arg(word));
        QStringList edges;
        for (const QRegularExpressionMatch& match : box.globalMatch(html)) {
            const qreal found =
                match.captured(edge == QLatin1String("left") ? 1 : 2).toDouble() * kMmPerPoint;
            if (qAbs(found - x) <= 0.3)
                return;
            edges.append(QString::number(found));
        }
        QFAIL(qPrintable(word + QStringLiteral(" found at: ") + edges.join(QLatin1Char(' '))));
    }

    void fontsAreEmbeddedAndLinesAreVectors()
    {
        POPPLER(fonts, "pdffonts", m_pdf);
        const QStringList rows = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QVERIFY(!rows.isEmpty());
        for (const QString& row : rows)
            QVERIFY2(row.contains(QLatin1String(" yes ")), qPrintable(row));
        // The only pictures are the two page headers' 32 x 32 icons (each with its alpha mask);
        // text and rules are not rasterised.
        POPPLER(images, "pdfimages", QStringLiteral("-list"), m_pdf);
        const QStringList listed = images.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QCOMPARE(listed.size(), 4);
        const QRegularExpression icon(
            QStringLiteral("^\\s*\\d+\\s+\\d+\\s+(image|smask)\\s+32\\s+32\\s"));
        for (const QString& row : listed)
            QVERIFY2(icon.match(row).hasMatch(), qPrintable(row));
    }

    void stoppedExportLeavesTheOldFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("kept.pdf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        int asked = 0;
        QVERIFY(!exportPdf(*tableReport(40), path, [&](int, int) { return ++asked < 1; }));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).size(), 2);
    }

    void unwritablePlaceIsReported()
    {
        const QString path = m_dir.filePath(QStringLiteral("no/such/folder/report.pdf"));
        try {
            exportPdf(*tableReport(1), path);
            QFAIL("no error");
        } catch (const KestrinError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Не удаётся создать файл %1: папка или файл не найдены")
                         .arg(QDir::toNativeSeparators(path)));
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_pdf;
};

QTEST_MAIN(TestPdfExport)
#include "tst_pdfexport.moc"
