#include "CommandProgress.h"
#include "Progress.h"
#include "WorkTable.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPaintEvent>
#include <QProgressBar>
#include <QTest>
#include <QThread>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestCommandProgress : public QObject
{
    Q_OBJECT

private slots:
    void longCommandShowsProgressAndKeepsPainting();
    void quickCommandShowsNothing();
    void slowStepsAreReportedWithinATenthOfASecond();
    void finishedProgressGoesAndHandsReportsBack();
    void gridMayAskForRowsThatAreGone();
};

void TestCommandProgress::longCommandShowsProgressAndKeepsPainting()
{
    QWidget window;
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintCounter counter;
    window.installEventFilter(&counter);

    QString shownStage;
    int shownValue = -1;
    bool stayedOpen = false;
    {
        const CommandProgress progress(&window, 0);
        constexpr qint64 kTotal = 5 << 16;
        for (qint64 done = 0; done < kTotal; ++done) {
            progress::step(u"Пересчёт графика", done, kTotal);
            if (done == 2 << 16) {
                auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY(modal);
                QCOMPARE(modal->objectName(), QStringLiteral("fmProgress"));
                shownStage = modal->findChild<QLabel*>()->text();
                shownValue = modal->findChild<QProgressBar*>()->value();
                QTest::keyClick(modal, Qt::Key_Escape);
                modal->close();
                stayedOpen = modal->isVisible();
                window.update(); // something to paint while the command still runs
            }
        }
        QVERIFY(counter.paints > 0);
    }
    QCOMPARE(shownStage, QStringLiteral("Пересчёт графика"));
    QCOMPARE(shownValue, 400); // at the report of step two of five
    QVERIFY(stayedOpen);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!window.findChild<QDialog*>(QStringLiteral("fmProgress")));
}

void TestCommandProgress::quickCommandShowsNothing()
{
    QWidget window;
    window.show();
    const CommandProgress progress(&window);
    for (qint64 done = 0; done < (4 << 16); ++done)
        progress::step(u"Чтение файла данных", done, -1);
    QVERIFY(!QApplication::activeModalWidget());
}

// A loop whose steps take a millisecond each would otherwise stay silent for 65 seconds: every
// 256th step that comes more than a tenth of a second after the last report is reported too.
void TestCommandProgress::slowStepsAreReportedWithinATenthOfASecond()
{
    QList<qint64> reported;
    const progress::Scope scope(
        [&reported](const QString&, qint64 done, qint64) { reported.append(done); });
    for (qint64 done = 0; done < 1024; ++done) {
        progress::step(u"Пересчёт графика", done, 1024);
        QThread::msleep(1);
    }
    QCOMPARE(reported, (QList<qint64>{0, 256, 512, 768}));
}

void TestCommandProgress::finishedProgressGoesAndHandsReportsBack()
{
    QWidget window;
    window.show();
    int outerReports = 0;
    const progress::Scope outer([&](const QString&, qint64, qint64) { ++outerReports; });
    CommandProgress progress(&window, 0);
    progress::step(u"Пересчёт графика", 0, 10);
    QVERIFY(QApplication::activeModalWidget());
    QCOMPARE(outerReports, 0);

    progress.finish();
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!window.findChild<QDialog*>(QStringLiteral("fmProgress")));
    progress::step(u"Разбор событий сети", 0, 10);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(outerReports, 1);
}

void TestCommandProgress::gridMayAskForRowsThatAreGone()
{
    WorkTable table;
    table.setRowCount(3);
    const QModelIndex last = table.index(2, 1);
    {
        const WorkTable::Batch batch(table);
        table.setRowCount(1);
        // A repaint within the batch still holds the old index.
        QCOMPARE(table.data(last), QVariant());
    }
}

QTEST_MAIN(TestCommandProgress)
#include "tst_commandprogress.moc"
