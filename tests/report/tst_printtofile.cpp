#include "FileTestSupport.h"
#include "PageOutput.h"
#include "PopplerTestSupport.h"
#include "ReportDocument.h"
#include "ReportFonts.h"
#include "TableLikeLayout.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace report;
using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

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

// The printer as the print dialog leaves it after "Печать в файл (PDF)".
void printToFile(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

const QByteArray kOldPdf("%PDF-1.4 an older print, kept byte for byte");

} // namespace

// Printing to a file writes its PDF all or nothing, like every other file of the program, and
// says why when it cannot.
class TestPrintToFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installReportFontSubstitutes();
        m_document = tableReport(40);
        QCOMPARE(m_document->pageCount(), 2);
    }

    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }

    // The pages and copies the printer asks for, in a file that an independent reader reads.
    void printsThePagesAndCopiesAsked()
    {
        const QString path = m_dir->filePath(QStringLiteral("printed.pdf"));
        writeAll(path, kOldPdf);
        QPrinter printer(QPrinter::HighResolution);
        printToFile(printer, path);
        printer.setCopyCount(2);
        QVERIFY(printPages(*m_document, printer, 0, 1));
        POPPLER(info, "pdfinfo", path);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QLatin1String("(A4)")), qPrintable(info));
        // Collated: the second copy's first page is the first page again.
        POPPLER(first, "pdftotext", QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                QStringLiteral("1"), path, QStringLiteral("-"));
        POPPLER(third, "pdftotext", QStringLiteral("-f"), QStringLiteral("3"), QStringLiteral("-l"),
                QStringLiteral("3"), path, QStringLiteral("-"));
        QVERIFY2(first.contains(QStringLiteral("Событие 1")), qPrintable(first));
        QCOMPARE(third, first);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("printed.pdf")});
    }

    // Qt's printer wrote straight into the target: into a write-protected file even as root, and
    // with "Не удаётся начать печать на принтере «»" where it could not.
    void refusalsNameTheFileAndTheReason_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("message");
        QTest::newRow("write-protected file") << "protected"
                                              << "Не удаётся создать файл %1: нет доступа";
        QTest::newRow("missing folder") << "missing"
                                        << "Не удаётся создать файл %1: папка или файл не найдены";
        QTest::newRow("folder in the way") << "folder"
                                           << "Не удаётся создать файл %1: это папка";
    }
    void refusalsNameTheFileAndTheReason()
    {
        QFETCH(QString, place);
        QFETCH(QString, message);
        QString path = m_dir->filePath(QStringLiteral("out.pdf"));
        if (place == QLatin1String("protected")) {
            writeAll(path, kOldPdf);
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                    QFileDevice::ReadOther));
        } else if (place == QLatin1String("missing")) {
            path = m_dir->filePath(QStringLiteral("no such folder/out.pdf"));
        } else {
            QVERIFY(QDir().mkdir(path));
        }
        QPrinter printer(QPrinter::HighResolution);
        printToFile(printer, path);
        QCOMPARE(messageOf([&] { printPages(*m_document, printer, 0, 1); }),
                 message.arg(QDir::toNativeSeparators(path)));
        if (place == QLatin1String("protected"))
            QCOMPARE(readAll(path), kOldPdf);
        QCOMPARE(QDir(m_dir->path())
                     .entryList(QDir::Files | QDir::Hidden)
                     .filter(QStringLiteral(".kestrin-")),
                 QStringList());
    }

    // A print stopped part way leaves the old file as it was and no new one.
    void stoppedPrintKeepsTheOldFile()
    {
        const QString path = m_dir->filePath(QStringLiteral("kept.pdf"));
        writeAll(path, kOldPdf);
        QPrinter printer(QPrinter::HighResolution);
        printToFile(printer, path);
        QVERIFY(!printPages(*m_document, printer, 0, 1, [](int done, int) { return done < 1; }));
        QCOMPARE(readAll(path), kOldPdf);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("kept.pdf")});
    }

private:
    std::unique_ptr<ReportDocument> m_document;
    std::optional<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestPrintToFile)
#include "tst_printtofile.moc"
