#include "NameCollation.h"

#include <algorithm>
#include <numeric>

NameCollation::NameCollation(const QLocale& locale)
    : m_collator(locale), m_codePointOrder(locale.language() == QLocale::C)
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

int NameCollation::compare(QStringView a, QStringView b) const
{
    if (m_codePointOrder)
        return a.compare(b, Qt::CaseInsensitive);
    return m_collator.compare(a, b);
}

bool NameCollation::equalIgnoringCase(QStringView a, QStringView b) const
{
    return a == b || compare(a, b) == 0;
}

bool NameCollation::lessIgnoringCase(QStringView a, QStringView b) const
{
    return compare(a, b) < 0;
}

namespace {

struct FoldedKey
{
    QString folded;
    int compare(const FoldedKey& other) const { return folded.compare(other.folded); }
};

} // namespace

std::vector<int> NameCollation::firstEqualIndex(const QStringList& names) const
{
    if (m_codePointOrder)
        return firstEqualIndexBy(
            names, [](const QString& name) { return FoldedKey{name.toCaseFolded()}; });
    return firstEqualIndexBy(names,
                             [this](const QString& name) { return m_collator.sortKey(name); });
}

template <typename Key>
std::vector<int> NameCollation::firstEqualIndexBy(const QStringList& names, Key makeKey) const
{
    const int count = static_cast<int>(names.size());
    std::vector<decltype(makeKey(QString()))> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (const QString& name : names)
        keys.push_back(makeKey(name));
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    // Stable, so that within a group of equal names the first in list order leads.
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<int> first(static_cast<std::size_t>(count));
    int leader = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int index = order[i];
        if (i == 0 || keys[order[i - 1]].compare(keys[index]) != 0)
            leader = index;
        first[index] = leader;
    }
    return first;
}

QStringList NameCollation::distinctInOrder(const QStringList& names) const
{
    // Empty names are dropped before comparing: the collator ignores some characters entirely,
    // and a non-empty name must never count as a duplicate of an empty one.
    QStringList nonEmpty;
    nonEmpty.reserve(names.size());
    for (const QString& name : names) {
        if (!name.isEmpty())
            nonEmpty.append(name);
    }
    const std::vector<int> first = firstEqualIndex(nonEmpty);
    QStringList result;
    for (qsizetype i = 0; i < nonEmpty.size(); ++i) {
        if (first[static_cast<std::size_t>(i)] == i)
            result.append(nonEmpty[i]);
    }
    return result;
}

QStringList NameCollation::distinctSorted(const QStringList& names) const
{
    QStringList result = distinctInOrder(names);
    if (m_codePointOrder) {
        std::sort(result.begin(), result.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        return result;
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(result.size()));
    for (const QString& name : std::as_const(result))
        keys.push_back(m_collator.sortKey(name));
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    QStringList sorted;
    sorted.reserve(result.size());
    for (int index : order)
        sorted.append(result[index]);
    return sorted;
}

qsizetype NameCollation::indexOf(const QStringList& entries, QStringView name) const
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (equalIgnoringCase(entries[i], name))
            return i;
    }
    return -1;
}
