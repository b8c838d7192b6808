// The program on a Russian desktop: the process starts as a user's session would, with
// LANG=LC_ALL=ru_RU.UTF-8, so QApplication sets the C library to the Russian locale, whose printf
// writes a decimal comma. No text the program writes or reads may change with the C library's
// locale; only Qt's locale chooses the decimal separator and the date format.
#include "DateFormat.h"
#include "DialogDriver.h"
#include "FileTestSupport.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Query.h"
#include "Recalculation.h"
#include "ReportDocument.h"
#include "ScheduleDataSet.h"
#include "ScheduleTable.h"
#include "Table.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <memory>

namespace {

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

constexpr char kRussian[] = "ru_RU.UTF-8";

// Numbers whose C-library texts differ between locales: a comma, a grouping, an exponent.
const QStringList kNumbers{QStringLiteral("3"),      QStringLiteral("2,5"),
                           QStringLiteral("10"),     QStringLiteral("1E15"),
                           QStringLiteral("1,5E-6"), QStringLiteral("-0,3")};
// The durations of a network whose dates stay within the calendar.
const QStringList kDurations{QStringLiteral("3"),      QStringLiteral("2,5"),
                             QStringLiteral("10"),     QStringLiteral("1E3"),
                             QStringLiteral("1,5E-6"), QStringLiteral("-0,3")};

// Everything the program writes from one small network, as it writes it under the C library's
// current locale: number texts, computed cells, the work list file, the dBASE table and the texts
// the table report prints.
struct Outputs
{
    QStringList numberTexts;
    QStringList cells;
    QByteArray workList;
    QByteArray dbase;
    QStringList reportTexts;
};

Outputs writeEverything(const QString& folder)
{
    const NumberFormat numbers(QStringLiteral(","));
    const DateFormat dates(QLocale(QLocale::Russian, QLocale::Russia));
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    Outputs out;
    for (const QString& text : kNumbers)
        out.numberTexts.append(numbers.format(numbers.parse(text)));

    // A chain 1 -> 2 -> ... with one work per duration, the negative one last.
    WorkTable table;
    table.setRowCount(int(kDurations.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCell(WorkColumn::StartEvent, row, QString::number(row + 1));
        table.setCell(WorkColumn::EndEvent, row, QString::number(row + 2));
        table.setCell(WorkColumn::Duration, row, kDurations[row]);
    }
    Recalculation recalculation(table, QStringLiteral("1"), QString::number(table.rowCount() + 1),
                                45000.25, numbers, dates, names);
    QStringList path;
    out.cells.append(criticalPathLine(numbers, recalculation.criticalLength(path), path));
    recalculation.fillComputedColumns();
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < kWorkColumnCount; ++column)
            out.cells.append(table.cell(WorkColumn(column), row));
    }

    const QString workList = folder + QStringLiteral("/works.kdf");
    worklistfile::write(workList, table);
    out.workList = readAll(workList);

    db::Query create;
    db::Table data;
    const QString dbase = folder + QStringLiteral("/works.dbf");
    scheduletable::exportTo(dbase, table, scheduletable::creationTemplate(), create, data, numbers,
                            dates);
    out.dbase = readAll(dbase);
    data.open();
    const ScheduleDataSet records(data, numbers, dates);
    for (int record = 0; record < records.recordCount(); ++record) {
        for (int field = 0; field < kWorkColumnCount; ++field)
            out.reportTexts.append(records.displayText(record, field));
    }
    data.close();
    return out;
}

} // namespace

class TestRussianDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void textsDoNotFollowTheCLibrary_data();
    void textsDoNotFollowTheCLibrary();
    void windowCalculatesSavesExportsAndPrints();

private:
    QTemporaryDir m_dir;
};

void TestRussianDesktop::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A machine without the locale would prove nothing: scripts/kestrin.sh test generates it.
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    QVERIFY2(numeric && QByteArray(numeric) == kRussian,
             "the C library is not in ru_RU.UTF-8: generate the locale (localedef) and name its "
             "folder in LOCPATH, as scripts/kestrin.sh test does");
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
}

void TestRussianDesktop::cleanup()
{
    cancelPendingAnswers();
    std::setlocale(LC_ALL, kRussian);
}

void TestRussianDesktop::textsDoNotFollowTheCLibrary_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::newRow("Russian: decimal comma") << QByteArray(kRussian);
    QTest::newRow("German: comma and point grouping") << QByteArrayLiteral("de_DE.UTF-8");
}

void TestRussianDesktop::textsDoNotFollowTheCLibrary()
{
    QFETCH(QByteArray, locale);
    QVERIFY(std::setlocale(LC_ALL, "C"));
    QDir(m_dir.path()).mkdir(QStringLiteral("c"));
    Outputs inC;
    QCOMPARE(messageOf([&] { inC = writeEverything(m_dir.filePath(QStringLiteral("c"))); }),
             QStringLiteral("(no error)"));
    QCOMPARE(inC.numberTexts, kNumbers);

    QVERIFY2(std::setlocale(LC_ALL, locale.constData()), locale.constData());
    QCOMPARE(std::localeconv()->decimal_point, ",");
    QDir(m_dir.path()).mkdir(QString::fromLatin1(locale));
    Outputs inLocale;
    QCOMPARE(
        messageOf([&] { inLocale = writeEverything(m_dir.filePath(QString::fromLatin1(locale))); }),
        QStringLiteral("(no error)"));
    QCOMPARE(inLocale.numberTexts, inC.numberTexts);
    QCOMPARE(inLocale.cells, inC.cells);
    QCOMPARE(inLocale.workList, inC.workList);
    QCOMPARE(inLocale.dbase, inC.dbase);
    QCOMPARE(inLocale.reportTexts, inC.reportTexts);
    QVERIFY(inC.dbase.contains("     2.500000")); // dBASE numbers always take a point
}

void TestRussianDesktop::windowCalculatesSavesExportsAndPrints()
{
    TfmMain window;
    window.show();
    const auto button = [&window](const char* name) {
        return window.findChild<QAbstractButton*>(QLatin1String(name));
    };
    QString error;
    whenModalShown<QMessageBox>([&error](QMessageBox* box) {
        error = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    const auto chooseFile = [](const QString& path) {
        whenModalShown<QFileDialog>([path](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        });
    };

    const QString plan = m_dir.filePath(QStringLiteral("plan.kdf"));
    writeAll(plan, "1\r\n2\r\n3\r\n2\r\n3\r\n2,5\r\n3\r\n4\r\n2,5\r\n");
    chooseFile(plan);
    button("sbLoadTemp")->click();
    const WorkTable& table = window.workTable();
    QCOMPARE(table.cell(WorkColumn::EarlyFinish, 0), QStringLiteral("3"));
    QCOMPARE(table.cell(WorkColumn::EarlyFinish, 1), QStringLiteral("5,5"));
    QCOMPARE(
        window.findChild<QLabel*>(QStringLiteral("pWay"))->text(),
        QStringLiteral("    Критический путь [L=8]:  ' 1 '  ->  ' 2 '  ->  ' 3 '  ->  ' 4 ' "));

    button("sbRecalc")->click();
    const QString saved = m_dir.filePath(QStringLiteral("saved.kdf"));
    chooseFile(saved);
    button("sbSaveTemp")->click();
    QCOMPARE(readAll(saved), readAll(plan));
    chooseFile(saved);
    button("sbLoadTemp")->click();
    QCOMPARE(table.cell(WorkColumn::LateFinish, 2), QStringLiteral("8"));
    chooseFile(m_dir.filePath(QStringLiteral("plan.dbf")));
    button("sbSaveBase")->click();
    QVERIFY(readAll(m_dir.filePath(QStringLiteral("plan.dbf"))).contains("       5.500000"));

    QStringList printed;
    whenModalShown<TfmPreview>([&printed](TfmPreview* preview) {
        QTRY_VERIFY(preview->document() && preview->document()->isComplete());
        for (const report::PlacedBand& band : preview->document()->page(0).bands)
            printed += band.values;
        clickChild(preview, "tbClose");
    });
    button("sbPrint")->click();
    QVERIFY2(printed.contains(QStringLiteral("5,5")), qPrintable(printed.join(u'|')));
    QCOMPARE(error, QString());
}

int main(int argc, char** argv)
{
    // As a Russian desktop session starts the program; QApplication then calls setlocale.
    qputenv("LANG", kRussian);
    qputenv("LC_ALL", kRussian);
    QApplication app(argc, argv);
    TestRussianDesktop test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_russiandesktop.moc"
