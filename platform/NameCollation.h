#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>
#include <vector>

// Locale-aware comparison of event names with letter case ignored: the equality by which event
// lists drop duplicates and critical-path lookups match, and the alphabetical order of the
// selectors' lists. Built on QCollator, never on a hand-written table. Equality is that of the
// collator's sort keys, so it is an equivalence relation and can be computed for many names at
// once by sorting instead of by comparing every pair.
//
// Most event names are plain: ASCII digits (and, in locales whose collation leaves the Latin
// letters in their ASCII order, ASCII letters). For two plain names the collator's answer is that
// of their ASCII case-folded texts, which is computed directly; every comparison that involves
// another name goes to the collator. The two agree, so mixing them keeps one consistent order.
class NameCollation
{
public:
    explicit NameCollation(const QLocale& locale = QLocale::system());

    bool equalIgnoringCase(QStringView a, QStringView b) const;
    // Negative, zero or positive as a sorts before, with or after b, letter case ignored.
    int compare(QStringView a, QStringView b) const;

    // For each name, the index of the first name in the list that equals it ignoring case.
    std::vector<int> firstEqualIndex(std::span<const QStringView> names) const;
    std::vector<int> firstEqualIndex(const QStringList& names) const;

    // The non-empty names in list order, each kept only where no earlier name equals it
    // ignoring case (the first spelling met stays).
    QStringList distinctInOrder(std::span<const QStringView> names) const;
    QStringList distinctInOrder(const QStringList& names) const;
    // The same names, sorted alphabetically with letter case ignored.
    QStringList distinctSorted(std::span<const QStringView> names) const;
    QStringList distinctSorted(const QStringList& names) const;

    // Position of the first entry equal to name ignoring case, or -1.
    qsizetype indexOf(const QStringList& entries, QStringView name) const;
    // The same in a list in this order (distinctSorted), by halving.
    qsizetype indexOfSorted(const QStringList& sortedEntries, QStringView name) const;

    // For names that are all different texts: the groups of names equal ignoring case, numbered
    // in alphabetical order (group 0 sorts first), as the group of each name.
    std::vector<int> groupsInOrder(std::span<const QStringView> names) const;

private:
    struct Classes;
    // The exact-distinct names of the list, grouped into classes of names equal ignoring case,
    // the classes in alphabetical order.
    Classes classify(std::span<const QStringView> names, bool skipEmpty) const;
    // Groups and orders distinct texts: the class of each, and each class's first text.
    void group(std::span<const QStringView> texts, std::vector<int>& classOf,
               std::vector<int>& classLeader) const;
    bool isPlain(QStringView name) const;

    QCollator m_collator;
    // The C locale's collator compares code points and its sort keys keep letter case; there the
    // order is that of case-folded code points, which ignores case as the lists require.
    bool m_codePointOrder;
    // The locale's collation keeps ASCII letters in their ASCII order (no tailoring of them).
    bool m_plainLetters;
};
