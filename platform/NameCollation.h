#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// Locale-aware comparison of event names with letter case ignored: the equality by which event
// lists drop duplicates and critical-path lookups match, and the alphabetical order of the
// selectors' lists. Built on QCollator, never on a hand-written table. Equality is that of the
// collator's sort keys, so it is an equivalence relation and can be computed for many names at
// once by sorting instead of by comparing every pair.
class NameCollation
{
public:
    explicit NameCollation(const QLocale& locale = QLocale::system());

    bool equalIgnoringCase(QStringView a, QStringView b) const;
    // Ascending alphabetical order, letter case ignored.
    bool lessIgnoringCase(QStringView a, QStringView b) const;

    // For each name, the index of the first name in the list that equals it ignoring case.
    std::vector<int> firstEqualIndex(const QStringList& names) const;

    // The non-empty names in list order, each kept only where no earlier name equals it
    // ignoring case (the first spelling met stays).
    QStringList distinctInOrder(const QStringList& names) const;
    // The same names, sorted alphabetically with letter case ignored.
    QStringList distinctSorted(const QStringList& names) const;

    // Position of the first entry equal to name ignoring case, or -1.
    qsizetype indexOf(const QStringList& entries, QStringView name) const;

private:
    template <typename Key>
    std::vector<int> firstEqualIndexBy(const QStringList& names, Key makeKey) const;
    int compare(QStringView a, QStringView b) const;

    QCollator m_collator;
    // The C locale's collator compares code points and its sort keys keep letter case; there the
    // order is that of case-folded code points, which ignores case as the lists require.
    bool m_codePointOrder;
};
