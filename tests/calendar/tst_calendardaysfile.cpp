// The file of a calendar's days off and working days: what a user types is read, a bad line is
// named and nothing read, unfit files are refused unread, and a saved file reads back.
#include "CalendarDaysFile.h"
#include "FileErrorText.h"
#include "KestrinError.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// The message the reader raises, or an empty text when it read the bytes.
QString decodeError(const QByteArray& bytes)
{
    try {
        calendardays::decode(bytes, QStringLiteral("дни.txt"));
    } catch (const KestrinError& error) {
        return error.message();
    }
    return QString();
}

QString readError(const QString& path)
{
    try {
        calendardays::read(path);
    } catch (const KestrinError& error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestCalendarDaysFile : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatUsersWrite_data();
    void readsWhatUsersWrite();
    void badLineIsNamed_data();
    void badLineIsNamed();
    void savedFileReadsBack();
    void unfitFilesAreRefused();
};

void TestCalendarDaysFile::readsWhatUsersWrite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // "dd.MM.yyyy=0|1" pairs, comma-separated

    QTest::newRow("plain") << QByteArray("08.03.2027 выходной\n13.11.2027 рабочий\n")
                           << u"08.03.2027=0,13.11.2027=1"_s;
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("byte order mark, Windows line ends, no last line end")
        << QByteArray("\xEF\xBB\xBF"
                      "08.03.2027 выходной\r\n13.11.2027 рабочий")
        << u"08.03.2027=0,13.11.2027=1"_s;
    QTest::newRow("short day and month, letter case")
        << QByteArray("1.5.2027 ВЫХОДНОЙ\n3.1.2028 Рабочий\n") << u"01.05.2027=0,03.01.2028=1"_s;
    QTest::newRow("spreadsheet separators")
        << QByteArray("08.03.2027;выходной\n09.03.2027, рабочий ;\n10.03.2027\tвыходной;;\n")
        << u"08.03.2027=0,09.03.2027=1,10.03.2027=0"_s;
    QTest::newRow("comments, blank lines, indents")
        << QByteArray("# Переносы 2027 года\n\n   \n  08.03.2027   выходной  # праздник\n"
                      "\t13.11.2027 рабочий#суббота\n#12.06.2027 выходной\n")
        << u"08.03.2027=0,13.11.2027=1"_s;
    QTest::newRow("same day twice with the same word")
        << QByteArray("08.03.2027 выходной\n08.03.2027 выходной\n") << u"08.03.2027=0"_s;
}

void TestCalendarDaysFile::readsWhatUsersWrite()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    CalendarExceptions wanted;
    for (const QString& pair : expected.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split(QLatin1Char('='));
        wanted[QDate::fromString(parts[0], QStringLiteral("dd.MM.yyyy"))] = parts[1] == u"1"_s;
    }
    QCOMPARE(calendardays::decode(bytes, QStringLiteral("дни.txt")), wanted);
}

void TestCalendarDaysFile::badLineIsNamed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const QByteArray good("# 2027\n08.03.2027 выходной\n");
    QTest::newRow("unknown word")
        << good + "09.03.2027 праздник\n"
        << u"Файл «дни.txt», строка 3: «09.03.2027 праздник» — ожидается дата ДД.ММ.ГГГГ и "
           u"слово «выходной» или «рабочий»; дни не загружены"_s;
    QTest::newRow("no such date")
        << good + "31.02.2027 выходной\n"
        << u"Файл «дни.txt», строка 3: «31.02.2027 выходной» — такой даты нет; дни не загружены"_s;
    QTest::newRow("two-digit year")
        << QByteArray("08.03.27 выходной\n")
        << u"Файл «дни.txt», строка 1: «08.03.27 выходной» — ожидается дата ДД.ММ.ГГГГ и "
           u"слово «выходной» или «рабочий»; дни не загружены"_s;
    QTest::newRow("ISO date")
        << good + "\n2027-03-09 выходной\n"
        << u"Файл «дни.txt», строка 4: «2027-03-09 выходной» — ожидается дата ДД.ММ.ГГГГ и "
           u"слово «выходной» или «рабочий»; дни не загружены"_s;
    QTest::newRow("word run into the date")
        << QByteArray("08.03.2027выходной\n")
        << u"Файл «дни.txt», строка 1: «08.03.2027выходной» — ожидается дата ДД.ММ.ГГГГ и "
           u"слово «выходной» или «рабочий»; дни не загружены"_s;
    QTest::newRow("something after the word")
        << QByteArray("08.03.2027 выходной день\n")
        << u"Файл «дни.txt», строка 1: «08.03.2027 выходной день» — ожидается дата ДД.ММ.ГГГГ и "
           u"слово «выходной» или «рабочий»; дни не загружены"_s;
    QTest::newRow("both words for one day")
        << good + "08.03.2027 рабочий\n"
        << u"Файл «дни.txt», строка 3: день 08.03.2027 уже назван в файле как выходной; дни не "
           u"загружены"_s;
    QTest::newRow("Windows-1251 text")
        << good + "09.03.2027 \xE2\xFB\xF5\xEE\xE4\xED\xEE\xE9\n"
        << u"Файл «дни.txt», строка 3: текст не в кодировке UTF-8; дни не загружены"_s;
    QTest::newRow("a long line is cut")
        << QByteArray("08.03.2027 ") + QByteArray(100, 'x')
        << u"Файл «дни.txt», строка 1: «08.03.2027 "_s + QString(49, QLatin1Char('x')) +
               u"…» — ожидается дата ДД.ММ.ГГГГ и слово «выходной» или «рабочий»; дни не "
               u"загружены"_s;
}

void TestCalendarDaysFile::badLineIsNamed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QCOMPARE(decodeError(bytes), message);
}

void TestCalendarDaysFile::savedFileReadsBack()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("производственный календарь.txt"));
    QRandomGenerator random(42);
    CalendarExceptions days;
    for (int i = 0; i < 300; ++i)
        days[QDate(1, 1, 1).addDays(random.bounded(3'652'058))] = random.bounded(2) == 1;
    days[QDate(1, 1, 1)] = false;
    days[QDate(9999, 12, 31)] = true;
    calendardays::write(path, days);
    QCOMPARE(calendardays::read(path), days);

    // Saving again over the file keeps its lines as a user edited them nowhere else.
    const QByteArray bytes = calendardays::encode(days);
    QCOMPARE(calendardays::encode(calendardays::decode(bytes, path)), bytes);
    QVERIFY(bytes.contains("\n01.01.0001 выходной\n"));
    QVERIFY(bytes.endsWith("\n31.12.9999 рабочий\n"));
}

void TestCalendarDaysFile::unfitFilesAreRefused()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString missing = folder.filePath(QStringLiteral("нет.txt"));
    QCOMPARE(readError(missing), u"Файл «%1» не прочитан: "_s.arg(missing) + fileErrorText(ENOENT));
    QCOMPARE(readError(folder.path()),
             u"Файл «%1» не прочитан: это не обычный файл"_s.arg(folder.path()));
    // A pipe with no writer would hold a blocking reader for ever.
    const QString pipe = folder.filePath(QStringLiteral("канал"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(readError(pipe), u"Файл «%1» не прочитан: это не обычный файл"_s.arg(pipe));

    const QString large = folder.filePath(QStringLiteral("большой.txt"));
    QByteArray lines;
    while (lines.size() <= calendardays::kLargestFile)
        lines += "# comment\n";
    QFile file(large);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(lines);
    file.close();
    QVERIFY(readError(large).startsWith(u"Файл «%1» не прочитан: он больше 1 МБ"_s.arg(large)));
    // At the limit it is read.
    QVERIFY(file.resize(calendardays::kLargestFile));
    QCOMPARE(readError(large), QString());
}

QTEST_GUILESS_MAIN(TestCalendarDaysFile)
#include "tst_calendardaysfile.moc"
