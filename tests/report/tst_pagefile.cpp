#include "PageFile.h"
#include "ReportDocument.h"
#include "ReportFonts.h"
#include "TableLikeLayout.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace report;

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

// Four pixels per millimetre: enough to tell a moved line or a changed letter.
QImage render(const ReportDocument& document, int page)
{
    QImage image(840, 1188, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    document.paintPage(painter, page, QRectF(0, 0, 840, 1188));
    return image;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPageFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installReportFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }

    void loadedPagesPaintAsTheyWereMade()
    {
        auto made = tableReport(40);
        // A picture whose pixels must survive, and options that are not the defaults.
        auto layout = std::make_shared<ReportLayout>(made->layout());
        layout->options.lastPageFooter = false;
        layout->margins = QMarginsF(12, 10, 8, 10);
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(QColor(10, 200, 30, 128));
        layout->bands[0]
            .add(ReportElement::picture({2, 2, 30, 20}, picture, ImageFit::Centre))
            .withName(QStringLiteral("qriMain"));
        ReportDocument original(layout);
        for (int i = 0; i < made->pageCount(); ++i)
            original.appendPages({made->page(i)});
        original.setComplete(true);

        const QString path = m_dir.filePath(QStringLiteral("pages.krp"));
        savePages(original, path);
        const auto loaded = loadPages(path);

        QVERIFY(loaded->isComplete());
        QCOMPARE(loaded->pageCount(), 2);
        QCOMPARE(loaded->layout().margins, layout->margins);
        QCOMPARE(loaded->layout().options.lastPageFooter, false);
        QCOMPARE(loaded->layout().options.firstPageHeader, true);
        ReportLayout loadedLayout = loaded->layout();
        const ReportElement* image = loadedLayout.findElement(QStringLiteral("qriMain"));
        QVERIFY(image);
        QCOMPARE(image->image.convertToFormat(QImage::Format_ARGB32), picture);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(loaded->page(i).number, i + 1);
            QCOMPARE(loaded->page(i).madeAt, original.page(i).madeAt);
            QCOMPARE(render(*loaded, i), render(original, i));
        }
    }

    void emptyReportRoundTrips()
    {
        ReportDocument none(std::make_shared<ReportLayout>(tablelike::layout()));
        none.setComplete(true);
        const QString path = m_dir.filePath(QStringLiteral("none.krp"));
        savePages(none, path);
        QCOMPARE(loadPages(path)->pageCount(), 0);
    }

    void unreadableFilesAreReported_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing"
                                 << "Не удаётся открыть файл %1";
        QTest::newRow("empty") << "empty"
                               << "Файл %1 не является файлом страниц отчёта";
        QTest::newRow("another kind of file") << "text"
                                              << "Файл %1 не является файлом страниц отчёта";
        QTest::newRow("newer format") << "newer"
                                      << "Файл %1 записан более новой версией программы";
        QTest::newRow("cut short") << "truncated"
                                   << "Файл страниц отчёта %1 повреждён";
        QTest::newRow("cut inside the layout") << "header only"
                                               << "Файл страниц отчёта %1 повреждён";
        QTest::newRow("bytes after the end") << "trailing"
                                             << "Файл страниц отчёта %1 повреждён";
        QTest::newRow("count of texts beyond the file") << "huge count"
                                                        << "Файл страниц отчёта %1 повреждён";
        QTest::newRow("band that the layout lacks") << "band index"
                                                    << "Файл страниц отчёта %1 повреждён";
        QTest::newRow("print date beyond the calendar") << "print date"
                                                        << "Файл страниц отчёта %1 повреждён";
        // Qt's own font reader would reserve room for two thousand million families first
        // (under AddressSanitizer that ends the program).
        QTest::newRow("count of font families beyond the file")
            << "font families"
            << "Файл страниц отчёта %1 повреждён";
    }
    void unreadableFilesAreReported()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        const QString good = m_dir.filePath(QStringLiteral("good.krp"));
        savePages(*tableReport(3), good);
        const QByteArray bytes = readFile(good);
        const QString path = m_dir.filePath(damage + QStringLiteral(".krp"));
        if (damage == QLatin1String("empty"))
            writeFile(path, QByteArray());
        else if (damage == QLatin1String("text"))
            writeFile(path, "1\r\nA\r\nB\r\n");
        else if (damage == QLatin1String("newer"))
            writeFile(path, bytes.left(4) + QByteArray("\x00\x02", 2) + bytes.mid(6));
        else if (damage == QLatin1String("truncated"))
            writeFile(path, bytes.left(bytes.size() - 7));
        else if (damage == QLatin1String("header only"))
            writeFile(path, bytes.left(40));
        else if (damage == QLatin1String("trailing"))
            writeFile(path, bytes + "x");
        else if (damage == QLatin1String("huge count")) {
            // A detail row of eleven "AAAA" whose count of texts says two thousand million.
            ReportDocument document(std::make_shared<ReportLayout>(tablelike::layout()));
            MadePage page;
            page.number = 1;
            page.bands.append(PlacedBand{2, 10, QStringList(11, QStringLiteral("AAAA"))});
            document.appendPages({page});
            savePages(document, path);
            QByteArray damaged = readFile(path);
            const QByteArray count("\x00\x00\x00\x0b\x00\x00\x00\x08\x00\x41", 10);
            const qsizetype at = damaged.lastIndexOf(count);
            QVERIFY(at > 0);
            damaged.replace(at, 4, QByteArray("\x7f\xff\xff\xff", 4));
            writeFile(path, damaged);
        } else if (damage == QLatin1String("font families")) {
            // After magic, version, paper and margins: the layout font's family and style name
            // (each a length and UTF-16), 31 bytes of fixed fields, then the count of families.
            QByteArray damaged = bytes;
            qsizetype at = 4 + 2 + 16 + 32;
            for (int name = 0; name < 2; ++name) {
                const quint32 length = qFromBigEndian<quint32>(damaged.constData() + at);
                at += 4 + (length == 0xFFFFFFFF ? 0 : length);
            }
            at += 31;
            QCOMPARE(qFromBigEndian<quint32>(damaged.constData() + at), 1u);
            damaged.replace(at, 4, QByteArray("\x7f\xff\xff\xff", 4));
            writeFile(path, damaged);
        } else if (damage == QLatin1String("print date")) {
            ReportDocument document(std::make_shared<ReportLayout>(tablelike::layout()));
            MadePage page;
            page.number = 1;
            page.madeAt = QDateTime(QDate(10000, 1, 1), QTime(12, 0));
            document.appendPages({page});
            savePages(document, path);
        } else if (damage == QLatin1String("band index")) {
            ReportDocument document(std::make_shared<ReportLayout>(tablelike::layout()));
            MadePage page;
            page.number = 1;
            page.bands.append(PlacedBand{99, 10, {}});
            document.appendPages({page});
            savePages(document, path);
        }
        try {
            loadPages(path);
            QFAIL("the file was accepted");
        } catch (const KestrinError& e) {
            QCOMPARE(e.message(), message.arg(QDir::toNativeSeparators(path)));
        }
    }

    void unwritablePlaceIsReported()
    {
        const QString path = m_dir.filePath(QStringLiteral("no/such/folder/pages.krp"));
        try {
            savePages(*tableReport(1), path);
            QFAIL("no error");
        } catch (const KestrinError& e) {
            QCOMPARE(
                e.message(),
                QStringLiteral("Не удаётся создать файл %1").arg(QDir::toNativeSeparators(path)));
        }
    }

    // A drawing is painted by code that a file cannot hold: such pages are refused, and the file
    // already there keeps its bytes.
    void pagesWithDrawingsAreRefused()
    {
        auto layout = std::make_shared<ReportLayout>(tablelike::layout());
        layout->bands[0].add(
            ReportElement::drawing({0, 0, 10, 10}, QStringLiteral("PevJobs"),
                                   [](QPainter&, const QRectF&, qreal, const QString&) {}));
        ReportDocument document(layout);
        document.appendPages({MadePage{1, QDateTime::currentDateTime(), {}}});
        const QString path = m_dir.filePath(QStringLiteral("drawing.krp"));
        writeFile(path, "older pages");
        try {
            savePages(document, path);
            QFAIL("the pages were saved");
        } catch (const KestrinError& e) {
            QCOMPARE(e.message(), QStringLiteral("Страницы этого отчёта не сохраняются в файл "
                                                 "страниц: экспортируйте их в PDF"));
        }
        QCOMPARE(readFile(path), QByteArray("older pages"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPageFile)
#include "tst_pagefile.moc"
