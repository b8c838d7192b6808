#include "PageFile.h"
#include "PreviewWidget.h"
#include "ReportDocument.h"
#include "ReportFonts.h"
#include "TableLikeLayout.h"
#include "TfmPreview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace report;

namespace {

// Answers the modal window with the given object name as a user would, once it is shown. A
// window that never comes would leave the test waiting in a modal loop for ever; after 30 s the
// modal window then on top is closed instead and the miss is counted.
// Answers still waiting when their test ends are dropped with it (and counted as missed).
int missedModals = 0;
int testGeneration = 0;

void whenModal(const QString& name, const std::function<void(QWidget*)>& answer)
{
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    auto poll = std::make_shared<std::function<void()>>();
    const int generation = testGeneration;
    *poll = [=] {
        if (generation != testGeneration) {
            ++missedModals;
            *poll = nullptr;
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && modal->objectName() == name) {
            answer(modal);
            *poll = nullptr;
            return;
        }
        if (started->elapsed() > 30000) {
            ++missedModals;
            qWarning("no modal window %s", qPrintable(name));
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// Closes the preview when the answering code is done, also when it stopped at a failed check.
struct RejectAtEnd
{
    QWidget* window;
    ~RejectAtEnd() { QMetaObject::invokeMethod(window, "reject", Qt::QueuedConnection); }
};

QAbstractButton* button(QWidget* window, const char* name)
{
    return window->findChild<QAbstractButton*>(QLatin1String(name));
}

QString pageText(QWidget* window)
{
    return window->findChild<QLabel*>(QStringLiteral("lbPage"))->text();
}

// Answers the error box that should come, and returns its text.
void expectErrorBox(QString* text)
{
    whenModal(QStringLiteral("ErrorBox"), [text](QWidget* box) {
        *text = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    });
}

void chooseFile(const QString& dialog, const QString& path)
{
    whenModal(dialog, [path](QWidget* w) {
        auto* files = static_cast<QFileDialog*>(w);
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    });
}

QString pdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installReportFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }
    void cleanup()
    {
        ++testGeneration;
        QTest::qWait(20);
        QCOMPARE(missedModals, 0);
    }

    void commandsHaveHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::newRow("zoom fit") << "tbZoomFit"
                                  << "Страница целиком";
        QTest::newRow("zoom 100") << "tbZoom100"
                                  << "Масштаб 100 %";
        QTest::newRow("zoom width") << "tbZoomWidth"
                                    << "По ширине страницы";
        QTest::newRow("first page") << "tbFirstPage"
                                    << "Первая страница";
        QTest::newRow("previous page") << "tbPrevPage"
                                       << "Предыдущая страница";
        QTest::newRow("next page") << "tbNextPage"
                                   << "Следующая страница";
        QTest::newRow("last page") << "tbLastPage"
                                   << "Последняя страница";
        QTest::newRow("printer set-up") << "tbPrintSetup"
                                        << "Настройка принтера";
        QTest::newRow("print") << "tbPrint"
                               << "Печать";
        QTest::newRow("save pages") << "tbSave"
                                    << "Сохранить страницы в файл";
        QTest::newRow("load pages") << "tbLoad"
                                    << "Загрузить страницы из файла";
        QTest::newRow("export PDF") << "tbExportPdf"
                                    << "Экспорт в PDF";
        QTest::newRow("close") << "tbClose"
                               << "Закрыть";
    }
    void commandsHaveHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        TfmPreview preview;
        QCOMPARE(preview.objectName(), QStringLiteral("fmPreview"));
        QVERIFY(preview.isModal());
        auto* command = preview.findChild<QAbstractButton*>(name);
        QVERIFY(command);
        QCOMPARE(command->toolTip(), hint);
        QVERIFY(!command->icon().isNull());
    }

    void fileDialogsAreReadyToAnswer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("save");
        QTest::newRow("save pages") << "sdPages" << true;
        QTest::newRow("load pages") << "odPages" << false;
        QTest::newRow("export PDF") << "sdPdf" << true;
    }
    void fileDialogsAreReadyToAnswer()
    {
        QFETCH(QString, name);
        QFETCH(bool, save);
        TfmPreview preview;
        auto* dialog = preview.findChild<QFileDialog*>(name);
        QVERIFY(dialog);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
        QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QCOMPARE(dialog->testOption(QFileDialog::DontConfirmOverwrite), save);
    }

    void navigatesZoomsAndCloses()
    {
        const tablelike::DataSet data(40);
        bool answered = false;
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            auto* preview = static_cast<TfmPreview*>(window);
            window->resize(900, 700);
            QTRY_VERIFY(preview->document()->isComplete());
            QCOMPARE(pageText(window), QStringLiteral("Страница 1 из 2"));
            QVERIFY(!button(window, "tbPrevPage")->isEnabled());
            button(window, "tbNextPage")->click();
            QCOMPARE(pageText(window), QStringLiteral("Страница 2 из 2"));
            QVERIFY(!button(window, "tbNextPage")->isEnabled());
            QVERIFY(!button(window, "tbLastPage")->isEnabled());
            button(window, "tbFirstPage")->click();
            QCOMPARE(pageText(window), QStringLiteral("Страница 1 из 2"));
            button(window, "tbLastPage")->click();
            QCOMPARE(pageText(window), QStringLiteral("Страница 2 из 2"));
            button(window, "tbPrevPage")->click();
            QCOMPARE(pageText(window), QStringLiteral("Страница 1 из 2"));

            PreviewWidget* view = preview->preview();
            const QSize room = view->viewport()->size();
            const qreal perMm = view->logicalDpiX() / 25.4;
            button(window, "tbZoom100")->click();
            QCOMPARE(view->zoomFactor(), 1.0);
            button(window, "tbZoomFit")->click();
            const qreal fit = view->zoomFactor();
            QVERIFY(297 * perMm * fit <= room.height());
            QVERIFY(210 * perMm * fit <= room.width());
            QVERIFY(297 * perMm * fit > room.height() - 40);
            button(window, "tbZoomWidth")->click();
            QVERIFY(view->zoomFactor() > fit);
            QVERIFY(210 * perMm * view->zoomFactor() <= view->viewport()->width());
            QVERIFY(210 * perMm * view->zoomFactor() > view->viewport()->width() - 60);

            // The page shows ink: header, headings and rows.
            const QImage page = view->renderPage(0, 1.0);
            int ink = 0;
            for (int y = 0; y < page.height(); y += 2)
                for (int x = 0; x < page.width(); x += 2)
                    ink += qGray(page.pixel(x, y)) < 128;
            QVERIFY2(ink > 2000, qPrintable(QString::number(ink)));

            QMetaObject::invokeMethod(button(window, "tbClose"), "click", Qt::QueuedConnection);
            answered = true;
        });
        showPreview(tablelike::layout(), &data);
        QVERIFY(answered);
        // Only the worker read the data set, and nothing reads it after the preview is gone.
        QVERIFY(!data.readingThreads().isEmpty());
        QVERIFY(!data.readingThreads().contains(QThread::currentThread()));
        const long long reads = data.reads();
        QTest::qWait(50);
        QCOMPARE(data.reads(), reads);
    }

    // 2,000 pages of 33 rows (31 under the headings): the view shows and turns pages while the
    // rest are still being made, and the event loop never stalls.
    void staysResponsiveWhileMakingManyPages()
    {
        tablelike::DataSet data(31 + 1999 * 33);
        data.microsecondsPerRecord = 30;
        qint64 longestGap = 0;
        bool turnedWhileMaking = false;
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            auto* preview = static_cast<TfmPreview*>(window);
            QElapsedTimer gap;
            gap.start();
            QTimer ticker;
            connect(&ticker, &QTimer::timeout,
                    [&] { longestGap = std::max(longestGap, gap.restart()); });
            ticker.start(5);
            QTRY_VERIFY(preview->document()->pageCount() >= 3);
            int expected = 1;
            while (!preview->document()->isComplete()) {
                if (button(window, "tbNextPage")->isEnabled()) {
                    button(window, "tbNextPage")->click();
                    ++expected;
                    QCOMPARE(pageText(window).section(QLatin1Char(' '), 1, 1),
                             QString::number(expected));
                    turnedWhileMaking = turnedWhileMaking || !preview->document()->isComplete();
                }
                QTest::qWait(20);
                QVERIFY(gap.elapsed() < 60000);
            }
            ticker.stop();
            QCOMPARE(preview->document()->pageCount(), 2000);
            button(window, "tbLastPage")->click();
            QCOMPARE(pageText(window), QStringLiteral("Страница 2000 из 2000"));
        });
        showPreview(tablelike::layout(), &data);
        QVERIFY(turnedWhileMaking);
        // Making the pages on this thread would stall it for seconds; a second allows for a
        // loaded machine running other tests.
        QVERIFY2(longestGap < 1000, qPrintable(QStringLiteral("%1 ms").arg(longestGap)));
        QVERIFY(!data.readingThreads().contains(QThread::currentThread()));
    }

    void closingWhileMakingStopsTheWorker()
    {
        tablelike::DataSet data(20000);
        data.microsecondsPerRecord = 200;
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            QTRY_VERIFY(static_cast<TfmPreview*>(window)->document()->pageCount() >= 1);
        });
        showPreview(tablelike::layout(), &data);
        const long long reads = data.reads();
        QVERIFY(reads < 20000LL * 11);
        QTest::qWait(100);
        QCOMPARE(data.reads(), reads);
    }

    void missingFieldStopsBeforeAnyWindow()
    {
        ReportLayout layout = tablelike::layout();
        layout.bands[2].add(ReportElement::dataField({0, 0, 10, 4}, QStringLiteral("NOSUCH")));
        const tablelike::DataSet data(3);
        QVERIFY_THROWS_EXCEPTION(KestrinError, showPreview(layout, &data));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(data.reads(), 0);
    }

    // The pages made before the failure stay on view; what needs all pages refuses with the
    // same message rather than passing off part of the report as the whole.
    void dataSetFailureIsShownAndKept_data()
    {
        QTest::addColumn<bool>("internalFault");
        QTest::addColumn<QString>("message");
        QTest::newRow("the program's own error") << false << "Запись 100 не читается.";
        // Nothing may escape the worker thread, whatever it is.
        QTest::newRow("internal fault")
            << true << "Внутренняя ошибка программы: record out of range. Команда прервана.";
    }
    void dataSetFailureIsShownAndKept()
    {
        QFETCH(bool, internalFault);
        QFETCH(QString, message);
        tablelike::DataSet data(200);
        data.failAt = 100;
        data.failsAsInternalFault = internalFault;
        QString shown;
        QString onSave;
        const QString path = m_dir.filePath(QStringLiteral("partial.krp"));
        expectErrorBox(&shown);
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            QTRY_VERIFY(!shown.isEmpty());
            QCOMPARE(pageText(window), QStringLiteral("Страница 1 из 3"));
            chooseFile(QStringLiteral("sdPages"), path);
            expectErrorBox(&onSave);
            button(window, "tbSave")->click();
        });
        showPreview(tablelike::layout(), &data);
        QCOMPARE(shown, message);
        QCOMPARE(onSave, shown);
        QVERIFY(!QFile::exists(path));
    }

    void printingWithoutPrinterSaysSo()
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("a printer is installed here");
        const tablelike::DataSet data(5);
        QString shown;
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            QTRY_VERIFY(button(window, "tbPrint")->isEnabled());
            expectErrorBox(&shown);
            button(window, "tbPrint")->click();
        });
        showPreview(tablelike::layout(), &data);
        QCOMPARE(shown, QStringLiteral("Принтер не установлен."));
    }

    // Printing makes the pages again from the data set and prints the chosen range.
    void printsTheChosenPagesAnew()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext not found: install poppler-utils to read the printed pages");
        const tablelike::DataSet data(31 + 33 + 6);
        const QString path = m_dir.filePath(QStringLiteral("printed.pdf"));
        long long readsBeforePrinting = 0;
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            auto* preview = static_cast<TfmPreview*>(window);
            QTRY_VERIFY(preview->document()->isComplete());
            QCOMPARE(preview->document()->pageCount(), 3);
            readsBeforePrinting = data.reads();
            QPrinter& printer = preview->printer();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(2, 3);
            bool progressSeen = false;
            whenModal(QStringLiteral("printProgress"), [&](QWidget* progress) {
                progressSeen = progress->windowTitle() == QLatin1String("Printing progress");
            });
            button(window, "tbPrint")->click();
            QTRY_VERIFY(progressSeen);
        });
        showPreview(tablelike::layout(), &data);
        QCOMPARE(data.reads(), 2 * readsBeforePrinting);
        QVERIFY(!data.readingThreads().contains(QThread::currentThread()));
        const QString text = pdfText(path);
        QCOMPARE(text.count(QLatin1Char('\f')), 2);
        QVERIFY(text.contains(QStringLiteral("Событие 31")));
        QVERIFY(text.contains(QStringLiteral("Событие 69")));
        QVERIFY(!text.contains(QStringLiteral("Событие 30 ")));
        QVERIFY(!text.contains(QStringLiteral("Начало работы")));
    }

    void printSetUpOffersThePagesMade()
    {
        tablelike::DataSet data(31 + 33 * 5);
        data.microsecondsPerRecord = 2000;
        QList<int> ranges;
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            auto* preview = static_cast<TfmPreview*>(window);
            const auto setUp = [&] {
                whenModal(QStringLiteral("printDialog"), [&](QWidget* dialog) {
                    auto* print = static_cast<QPrintDialog*>(dialog);
                    ranges << print->minPage() << print->maxPage();
                    print->reject();
                });
                button(window, "tbPrintSetup")->click();
            };
            setUp();
            QVERIFY(!preview->document()->isComplete());
            data.microsecondsPerRecord = 0;
            QTRY_VERIFY_WITH_TIMEOUT(preview->document()->isComplete(), 30000);
            setUp();
        });
        showPreview(tablelike::layout(), &data);
        QCOMPARE(ranges, (QList<int>{0, 9999, 1, 6}));
    }

    void savesLoadsAndExportsThroughTheDialogs()
    {
        const tablelike::DataSet data(40);
        const QString saved = m_dir.filePath(QStringLiteral("two.krp"));
        const QString other = m_dir.filePath(QStringLiteral("one.krp"));
        const QString pdf = m_dir.filePath(QStringLiteral("one.pdf"));
        {
            // A one-page file made elsewhere, to load in place of the shown pages.
            const tablelike::DataSet one(1);
            ReportDocument document(std::make_shared<ReportLayout>(tablelike::layout()));
            PageMaker maker(document.layout(), &one, bindFields(document.layout(), &one));
            maker.run([&](MadePage&& page) { document.appendPages({page}); });
            savePages(document, other);
        }
        whenModal(QStringLiteral("fmPreview"), [&](QWidget* window) {
            RejectAtEnd close{window};
            QTRY_VERIFY(static_cast<TfmPreview*>(window)->document()->isComplete());
            chooseFile(QStringLiteral("sdPages"), saved);
            button(window, "tbSave")->click();
            chooseFile(QStringLiteral("odPages"), other);
            button(window, "tbLoad")->click();
            QCOMPARE(pageText(window), QStringLiteral("Страница 1 из 1"));
            chooseFile(QStringLiteral("sdPdf"), pdf);
            button(window, "tbExportPdf")->click();
        });
        showPreview(tablelike::layout(), &data);
        QCOMPARE(loadPages(saved)->pageCount(), 2);
        QFile exported(pdf);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QVERIFY(exported.read(5) == "%PDF-");
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            const QString text = pdfText(pdf);
            QCOMPARE(text.count(QLatin1Char('\f')), 1);
            QVERIFY(text.contains(QStringLiteral("Событие 0")));
            QVERIFY(!text.contains(QStringLiteral("Событие 2")));
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
