#include "NameCollation.h"

#include "Progress.h"

#include <QHashFunctions>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>
#include <variant>

namespace {

char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// Two plain names as the collator orders them: ASCII case folded, in code unit order, a name
// before every longer name it begins.
int comparePlain(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = foldAscii(a[i].unicode());
        const char16_t y = foldAscii(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Languages whose collation (CLDR) tailors no ASCII letter: there a name of ASCII letters and
// digits sorts as its case-folded ASCII text. Elsewhere only names of digits take the short way.
bool keepsAsciiLetterOrder(QLocale::Language language)
{
    switch (language) {
    case QLocale::C:
    case QLocale::English:
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::German:
        return true;
    default:
        return false;
    }
}

// The position of the first occurrence of every distinct exact text, in list order, and for
// every name the position of its text among them (-1 for a skipped empty name).
struct ExactNames
{
    std::vector<int> first;
    std::vector<int> of;
};

ExactNames exactNames(std::span<const QStringView> names, bool skipEmpty)
{
    ExactNames exact;
    exact.of.assign(names.size(), -1);
    const std::size_t slotCount = std::bit_ceil(std::max<std::size_t>(16, names.size() * 2));
    std::vector<int> table(slotCount, -1);
    const std::size_t mask = slotCount - 1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QStringView name = names[i];
        if (skipEmpty && name.isEmpty())
            continue;
        std::size_t slot = qHash(name) & mask;
        while (table[slot] >= 0 &&
               names[std::size_t(exact.first[std::size_t(table[slot])])] != name)
            slot = (slot + 1) & mask;
        if (table[slot] < 0) {
            table[slot] = int(exact.first.size());
            exact.first.push_back(int(i));
        }
        exact.of[i] = table[slot];
    }
    return exact;
}

} // namespace

struct NameCollation::Classes
{
    ExactNames exact;
    std::vector<int> classOf;     // per distinct exact text: its class, classes in sorted order
    std::vector<int> classLeader; // per class: its first distinct exact text in list order
};

NameCollation::NameCollation(const QLocale& locale)
    : m_collator(locale), m_codePointOrder(locale.language() == QLocale::C),
      m_plainLetters(keepsAsciiLetterOrder(locale.language()))
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

bool NameCollation::isPlain(QStringView name) const
{
    for (const QChar c : name) {
        const char16_t unit = c.unicode();
        const bool digit = unit >= u'0' && unit <= u'9';
        const bool letter = (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
        if (!digit && !(letter && m_plainLetters))
            return false;
    }
    return true;
}

int NameCollation::compare(QStringView a, QStringView b) const
{
    if (isPlain(a) && isPlain(b))
        return comparePlain(a, b);
    if (m_codePointOrder)
        return a.compare(b, Qt::CaseInsensitive);
    return m_collator.compare(a, b);
}

bool NameCollation::equalIgnoringCase(QStringView a, QStringView b) const
{
    return a == b || compare(a, b) == 0;
}

NameCollation::Classes NameCollation::classify(std::span<const QStringView> names,
                                               bool skipEmpty) const
{
    Classes classes;
    classes.exact = exactNames(names, skipEmpty);
    std::vector<QStringView> texts;
    texts.reserve(classes.exact.first.size());
    for (const int index : classes.exact.first)
        texts.push_back(names[std::size_t(index)]);
    group(texts, classes.classOf, classes.classLeader);
    return classes;
}

namespace {

using KeyedName = std::pair<std::uint64_t, int>;

// Below some thousands of names the counting tables cost more than they save.
constexpr std::size_t kRadixLeast = 4096;

// Eight case-folded characters of a plain name from `offset` on, 7-bit ASCII, one per byte, the
// first in the highest: a name that ends before them has zeros there, below every character of a
// longer one, so among names alike before `offset` the keys keep the order of the names and only
// equal keys leave it to the rest of the names.
std::uint64_t plainKey(QStringView name, qsizetype offset)
{
    std::uint64_t key = 0;
    for (qsizetype i = offset; i < offset + 8; ++i) {
        key <<= 8;
        if (i < name.size())
            key |= std::uint64_t(foldAscii(name[i].unicode()));
    }
    return key;
}

// Sorts (key, name) pairs by key, least significant 16 bits first; passes over bits that all
// keys share are skipped.
void radixSort(std::span<KeyedName> items)
{
    std::vector<KeyedName> buffer(items.size());
    std::span<KeyedName> from = items;
    std::span<KeyedName> to = buffer;
    std::vector<std::size_t> counts(1 << 16);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0);
        for (const KeyedName& item : from)
            ++counts[(item.first >> shift) & 0xffff];
        if (counts[(from.front().first >> shift) & 0xffff] == from.size())
            continue;
        std::size_t total = 0;
        for (std::size_t& count : counts)
            total += std::exchange(count, total);
        for (const KeyedName& item : from)
            to[counts[(item.first >> shift) & 0xffff]++] = item;
        std::swap(from, to);
    }
    if (from.data() != items.data())
        std::copy(from.begin(), from.end(), items.begin());
}

// Sorts plain names alike (case folded) in their first `offset` characters as comparePlain
// orders them: many at once by their next eight characters, radix sorted, and each run alike in
// those too by the eight after, so that long shared beginnings cost no comparisons of whole names.
template <class Text>
void sortPlainFrom(std::span<KeyedName> items, qsizetype offset, const Text& text)
{
    qsizetype longest = 0;
    for (const KeyedName& item : items)
        longest = std::max(longest, text(item.second).size());
    if (items.size() < kRadixLeast || longest <= offset) {
        std::sort(items.begin(), items.end(), [&](const KeyedName& a, const KeyedName& b) {
            return comparePlain(text(a.second), text(b.second)) < 0;
        });
        return;
    }
    for (KeyedName& item : items)
        item.first = plainKey(text(item.second), offset);
    radixSort(items);
    for (auto run = items.begin(); run != items.end();) {
        const auto next = std::find_if(
            run, items.end(), [&](const KeyedName& item) { return item.first != run->first; });
        if (next - run > 1)
            sortPlainFrom(std::span<KeyedName>(run, next), offset + 8, text);
        run = next;
    }
}

} // namespace

void NameCollation::group(std::span<const QStringView> texts, std::vector<int>& classOf,
                          std::vector<int>& classLeader) const
{
    const auto text = [&](int distinct) {
        return texts[std::size_t(distinct)];
    };

    std::vector<KeyedName> plain;
    std::vector<int> other;
    for (int distinct = 0; distinct < int(texts.size()); ++distinct) {
        if (isPlain(text(distinct)))
            plain.emplace_back(0, distinct);
        else
            other.push_back(distinct);
    }
    sortPlainFrom(std::span<KeyedName>(plain), 0, text);

    // The other names by sort key: the collator's, or the case-folded text in the C locale.
    using Key = std::variant<QString, QCollatorSortKey>;
    std::vector<Key> keys;
    keys.reserve(other.size());
    for (const int distinct : other) {
        if (m_codePointOrder)
            keys.emplace_back(text(distinct).toString().toCaseFolded());
        else
            keys.emplace_back(m_collator.sortKey(text(distinct).toString()));
    }
    const auto compareKeys = [](const Key& a, const Key& b) {
        if (const auto* folded = std::get_if<QString>(&a))
            return folded->compare(std::get<QString>(b));
        return std::get<QCollatorSortKey>(a).compare(std::get<QCollatorSortKey>(b));
    };
    std::vector<int> otherOrder(other.size());
    for (std::size_t i = 0; i < other.size(); ++i)
        otherOrder[i] = int(i);
    std::sort(otherOrder.begin(), otherOrder.end(), [&](int a, int b) {
        return compareKeys(keys[std::size_t(a)], keys[std::size_t(b)]) < 0;
    });

    // One sorted sequence: plain names and other names merged by the collator's own comparison.
    // Entries >= 0 are plain texts, entries < 0 are ~index into otherOrder.
    const auto crossCompare = [&](int distinctPlain, int distinctOther) {
        if (m_codePointOrder)
            return text(distinctPlain).compare(text(distinctOther), Qt::CaseInsensitive);
        return m_collator.compare(text(distinctPlain), text(distinctOther));
    };
    std::vector<int> merged;
    merged.reserve(texts.size());
    std::size_t p = 0;
    std::size_t o = 0;
    while (p < plain.size() || o < otherOrder.size()) {
        const bool takePlain =
            o == otherOrder.size() ||
            (p < plain.size() &&
             crossCompare(plain[p].second, other[std::size_t(otherOrder[o])]) <= 0);
        merged.push_back(takePlain ? plain[p++].second : ~int(o++));
    }

    const auto equal = [&](int a, int b) {
        if (a >= 0 && b >= 0)
            return comparePlain(text(a), text(b)) == 0;
        if (a < 0 && b < 0)
            return compareKeys(keys[std::size_t(otherOrder[std::size_t(~a)])],
                               keys[std::size_t(otherOrder[std::size_t(~b)])]) == 0;
        const int plainOne = a >= 0 ? a : b;
        const int otherOne = other[std::size_t(otherOrder[std::size_t(~(a >= 0 ? b : a))])];
        return crossCompare(plainOne, otherOne) == 0;
    };
    const auto distinctOf = [&](int entry) {
        return entry >= 0 ? entry : other[std::size_t(otherOrder[std::size_t(~entry)])];
    };
    classOf.assign(texts.size(), -1);
    classLeader.clear();
    for (std::size_t i = 0; i < merged.size(); ++i) {
        progress::step(u"Разбор событий сети", qint64(i), qint64(merged.size()));
        const int distinct = distinctOf(merged[i]);
        if (i == 0 || !equal(merged[i - 1], merged[i])) {
            classLeader.push_back(distinct);
        } else {
            int& leader = classLeader.back();
            leader = std::min(leader, distinct);
        }
        classOf[std::size_t(distinct)] = int(classLeader.size()) - 1;
    }
}

std::vector<int> NameCollation::groupsInOrder(std::span<const QStringView> names) const
{
    std::vector<int> classOf;
    std::vector<int> classLeader;
    group(names, classOf, classLeader);
    return classOf;
}

std::vector<int> NameCollation::firstEqualIndex(std::span<const QStringView> names) const
{
    const Classes classes = classify(names, false);
    std::vector<int> result(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int distinct = classes.exact.of[i];
        const int leader = classes.classLeader[std::size_t(classes.classOf[std::size_t(distinct)])];
        result[i] = classes.exact.first[std::size_t(leader)];
    }
    return result;
}

namespace {

std::vector<QStringView> viewsOf(const QStringList& names)
{
    return std::vector<QStringView>(names.cbegin(), names.cend());
}

} // namespace

std::vector<int> NameCollation::firstEqualIndex(const QStringList& names) const
{
    return firstEqualIndex(viewsOf(names));
}

QStringList NameCollation::distinctInOrder(std::span<const QStringView> names) const
{
    // Empty names are dropped before comparing: the collator ignores some characters entirely,
    // and a non-empty name must never count as a duplicate of an empty one.
    const Classes classes = classify(names, true);
    QStringList result;
    for (std::size_t distinct = 0; distinct < classes.exact.first.size(); ++distinct) {
        if (classes.classLeader[std::size_t(classes.classOf[distinct])] == int(distinct))
            result.append(names[std::size_t(classes.exact.first[distinct])].toString());
    }
    return result;
}

QStringList NameCollation::distinctInOrder(const QStringList& names) const
{
    return distinctInOrder(viewsOf(names));
}

QStringList NameCollation::distinctSorted(std::span<const QStringView> names) const
{
    const Classes classes = classify(names, true);
    QStringList result;
    result.reserve(qsizetype(classes.classLeader.size()));
    for (const int leader : classes.classLeader)
        result.append(names[std::size_t(classes.exact.first[std::size_t(leader)])].toString());
    return result;
}

QStringList NameCollation::distinctSorted(const QStringList& names) const
{
    return distinctSorted(viewsOf(names));
}

qsizetype NameCollation::indexOf(const QStringList& entries, QStringView name) const
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (equalIgnoringCase(entries[i], name))
            return i;
    }
    return -1;
}

qsizetype NameCollation::indexOfSorted(const QStringList& sortedEntries, QStringView name) const
{
    const auto found = std::lower_bound(
        sortedEntries.cbegin(), sortedEntries.cend(), name,
        [this](const QString& entry, QStringView wanted) { return compare(entry, wanted) < 0; });
    if (found == sortedEntries.cend() || compare(*found, name) != 0)
        return -1;
    return found - sortedEntries.cbegin();
}
