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

#include <limits>

#include <sys/stat.h>

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
                                 << "Не удаётся открыть файл %1: папка или файл не найдены";
        QTest::newRow("folder") << "folder"
                                << "Не удаётся открыть файл %1: это папка";
        // A FIFO nobody writes to would block the window for ever in open().
        QTest::newRow("FIFO") << "fifo"
                              << "Не удаётся открыть файл %1: это не обычный файл (канал или "
                                 "устройство)";
        QTest::newRow("larger than the limit") << "huge"
                                               << "Не удаётся открыть файл %1: файл больше 256 МБ";
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
        // Painting a field of negative width at a small scale crashed inside Qt's text layout.
        for (const char* bound :
             {"negative width", "negative height", "endless position", "NaN width",
              "font of a million points", "font of a hundred thousand pixels", "negative pen",
              "negative band height",
              "margins wider than "
              "the paper",
              "band top beyond the paper"})
            QTest::newRow(bound) << bound << "Файл страниц отчёта %1 повреждён";
    }
    void unreadableFilesAreReported()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        const QString good = m_dir.filePath(QStringLiteral("good.krp"));
        savePages(*tableReport(3), good);
        const QByteArray bytes = readFile(good);
        const QString path = m_dir.filePath(damage + QStringLiteral(".krp"));
        // A damaged detail row: its date field (shrunk to fit), font or band, or the layout.
        auto layout = std::make_shared<ReportLayout>(tablelike::layout());
        ReportElement& date = layout->bands[2].elements.back();
        bool laidOut = true;
        if (damage == QLatin1String("negative width"))
            date.box.setWidth(-date.box.width());
        else if (damage == QLatin1String("negative height"))
            date.box.setHeight(-1);
        else if (damage == QLatin1String("endless position"))
            date.box.moveLeft(std::numeric_limits<double>::infinity());
        else if (damage == QLatin1String("NaN width"))
            date.box.setWidth(std::numeric_limits<double>::quiet_NaN());
        else if (damage == QLatin1String("font of a million points"))
            date.font = QFont(QStringLiteral("Arial"), 1000000);
        else if (damage == QLatin1String("font of a hundred thousand pixels")) {
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(100000);
            date.font = font;
        } else if (damage == QLatin1String("negative pen"))
            date.penWidth = -5;
        else if (damage == QLatin1String("negative band height"))
            layout->bands[2].height = -3;
        else if (damage == QLatin1String("margins wider than the paper"))
            layout->margins = QMarginsF(150, 10, 150, 10);
        else
            laidOut = damage == QLatin1String("band top beyond the paper");
        if (laidOut) {
            ReportDocument document(layout);
            MadePage page;
            page.number = 1;
            page.madeAt = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
            const double top = damage == QLatin1String("band top beyond the paper") ? -1e300 : 10;
            page.bands.append(PlacedBand{2, top, QStringList(11, QStringLiteral("31.12.2024"))});
            document.appendPages({page});
            savePages(document, path);
        } else if (damage == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        else if (damage == QLatin1String("fifo"))
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (damage == QLatin1String("huge")) {
            // Sparse: no room taken on the disk.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(kMaxPageFileBytes + 1));
        } else if (damage == QLatin1String("empty"))
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

    // The bounds the reader keeps are safe to paint at the preview's smallest sizes: a field of
    // no width shrunk to fit, the largest font, a box at the far bounds.
    void pagesAtTheBoundsPaintAtAnySize()
    {
        auto layout = std::make_shared<ReportLayout>(tablelike::layout());
        ReportElement& date = layout->bands[2].elements.back();
        QVERIFY(date.shrinkToFit);
        date.box.setWidth(0);
        ReportElement wide = date;
        wide.box = QRectF(-9999, -9999, 10000, 10000);
        wide.font = QFont(QStringLiteral("Arial"), 1000);
        layout->bands[2].elements.push_back(wide);
        ReportDocument document(layout);
        MadePage page;
        page.number = 1;
        page.madeAt = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
        page.bands.append(PlacedBand{2, 10, QStringList(12, QStringLiteral("31.12.2024"))});
        document.appendPages({page});
        const QString path = m_dir.filePath(QStringLiteral("bounds.krp"));
        savePages(document, path);
        std::unique_ptr<ReportDocument> loaded;
        try {
            loaded = loadPages(path);
        } catch (const KestrinError& e) {
            QFAIL(qPrintable(e.message()));
        }
        for (const QSize size : {QSize(840, 1188), QSize(105, 148), QSize(8, 11), QSize(1, 1)}) {
            QImage image(size, QImage::Format_RGB32);
            QPainter painter(&image);
            loaded->paintPage(painter, 0, QRectF(QPointF(0, 0), size));
        }
    }

    void unwritablePlaceIsReported()
    {
        const QString path = m_dir.filePath(QStringLiteral("no/such/folder/pages.krp"));
        try {
            savePages(*tableReport(1), path);
            QFAIL("no error");
        } catch (const KestrinError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Не удаётся создать файл %1: папка или файл не найдены")
                         .arg(QDir::toNativeSeparators(path)));
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
