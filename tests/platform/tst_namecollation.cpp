#include "NameCollation.h"

#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

// The lists as the collator alone makes them: every name by its sort key (the case-folded text in
// the C locale), stable, so that the first name of each group of equal names leads it.
struct Reference
{
    std::vector<int> firstEqual;
    QStringList sorted;
};

Reference referenceOf(const QStringList& names, const QLocale& locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    const bool codePoints = locale.language() == QLocale::C;
    const auto compare = [&](const QString& a, const QString& b) {
        return codePoints ? a.toCaseFolded().compare(b.toCaseFolded()) : collator.compare(a, b);
    };
    std::vector<int> order(std::size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(names[a], names[b]) < 0; });
    Reference reference;
    reference.firstEqual.assign(order.size(), -1);
    int leader = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || compare(names[order[i - 1]], names[order[i]]) != 0) {
            leader = order[i];
            reference.sorted.append(names[leader]);
        }
        reference.firstEqual[std::size_t(order[i])] = leader;
    }
    return reference;
}

// Names as users type them: numbers, Latin and Cyrillic words in any case, names that differ
// only in case or accent, punctuation, and characters the collator ignores or folds.
QStringList randomNames(QRandomGenerator& random, int count)
{
    static const QStringList pieces{
        QStringLiteral("1"),        QStringLiteral("10"),      QStringLiteral("2"),
        QStringLiteral("09"),       QStringLiteral("a"),       QStringLiteral("A"),
        QStringLiteral("b"),        QStringLiteral("Z"),       QStringLiteral("ch"),
        QStringLiteral("AA"),       QStringLiteral("y"),       QStringLiteral("w"),
        QStringLiteral("ё"),        QStringLiteral("Е"),       QStringLiteral("е"),
        QStringLiteral("Я"),        QStringLiteral("é"),       QStringLiteral("-"),
        QStringLiteral(" "),        QStringLiteral("."),       QStringLiteral("_"),
        QStringLiteral("ａ"),       QStringLiteral("\u00AD"),  QStringLiteral("ß"),
        QStringLiteral("12345678"), QStringLiteral("abcdEFGH")}; // past the 8 letters of a key
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QString name;
        for (int n = random.bounded(1, 5); n > 0; --n)
            name += pieces[random.bounded(int(pieces.size()))];
        names.append(name);
    }
    return names;
}

// Names of ASCII letters and digits only that share a beginning longer than two keys, in either
// case, as generated names often do.
QStringList plainNamesAlikeAtFirst(QRandomGenerator& random, int count)
{
    static const QString tails = QStringLiteral("0123456789aAbBzZ");
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QString name = random.bounded(2) ? QStringLiteral("EventNumberSeventeen")
                                         : QStringLiteral("eventnumberseventeen");
        for (int n = random.bounded(0, 6); n > 0; --n)
            name += tails[random.bounded(int(tails.size()))];
        names.append(name);
    }
    return names;
}

} // namespace

class TestNameCollation : public QObject
{
    Q_OBJECT

private slots:
    void groupsAndSortsAsTheCollatorAlone_data();
    void groupsAndSortsAsTheCollatorAlone();
};

void TestNameCollation::groupsAndSortsAsTheCollatorAlone_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia);
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("C") << QLocale::c();
    // Latin letters tailored ("aa" after "z", "w" with "v"): only digits take the short way.
    QTest::newRow("Danish") << QLocale(QLocale::Danish, QLocale::Denmark);
    QTest::newRow("Czech") << QLocale(QLocale::Czech, QLocale::Czechia);
}

void TestNameCollation::groupsAndSortsAsTheCollatorAlone()
{
    QFETCH(QLocale, locale);
    const NameCollation names(locale);
    QRandomGenerator random(11);
    // The last rounds are large enough for the radix sort of plain names, and their names share
    // beginnings longer than one key (in either case), as generated names often do.
    for (int round = 0; round < 42; ++round) {
        QStringList list = round < 40 ? randomNames(random, round < 20 ? 30 : 400)
                                      : plainNamesAlikeAtFirst(random, 10000);
        const Reference reference = referenceOf(list, locale);
        QCOMPARE(names.firstEqualIndex(list), reference.firstEqual);
        QCOMPARE(names.distinctSorted(list), reference.sorted);
        for (int i = 1; i < list.size(); ++i) {
            const bool equal =
                reference.firstEqual[std::size_t(i)] == reference.firstEqual[std::size_t(i - 1)];
            QCOMPARE(names.equalIgnoringCase(list[i], list[i - 1]), equal);
        }
    }
}

QTEST_GUILESS_MAIN(TestNameCollation)
#include "tst_namecollation.moc"
