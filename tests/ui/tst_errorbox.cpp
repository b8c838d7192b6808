#include "ErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// What the error box shows of a message: the full stop rule, and a bound on its length however
// much of the user's text the message quotes.
class TestErrorBox : public QObject
{
    Q_OBJECT

private slots:
    void shownText_data();
    void shownText();
    void hugeMessageShowsOnlyItsBeginning();
};

void TestErrorBox::shownText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    const QString longest(kLongestErrorBoxText, QLatin1Char('x'));
    QTest::newRow("letter gets a full stop") << u"File not found"_s << u"File not found."_s;
    QTest::newRow("quote stays") << u"Нет файла \"a\""_s << u"Нет файла \"a\""_s;
    QTest::newRow("at the bound, whole") << longest << longest + QLatin1Char('.');
    QTest::newRow("one past the bound, cut")
        << longest + QLatin1Char('y') << longest + QChar(0x2026);
    // A character outside the basic plane straddling the bound is not split in two.
    const QString straddling =
        QString(kLongestErrorBoxText - 1, QLatin1Char('x')) + QString::fromUcs4(U"\U0001F600z");
    QTest::newRow("surrogate pair kept whole")
        << straddling << QString(kLongestErrorBoxText - 1, QLatin1Char('x')) + QChar(0x2026);
}

void TestErrorBox::shownText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorBoxText(message), shown);
}

void TestErrorBox::hugeMessageShowsOnlyItsBeginning()
{
    // A command failing with a message of ten million characters (a loop through many long
    // names, say) shows a box of bounded text.
    const QString message = u"Цикл: "_s + QString(10'000'000, QLatin1Char('a'));
    QString text;
    QTimer::singleShot(0, [&text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        box->accept();
    });
    runGuarded(nullptr, [&message] { throw KestrinError(message); });
    QCOMPARE(text.size(), kLongestErrorBoxText + 1);
    QVERIFY(text.startsWith(u"Цикл: aaa"_s));
}

QTEST_MAIN(TestErrorBox)
#include "tst_errorbox.moc"
