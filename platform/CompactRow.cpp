#include "CompactRow.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {
// Room for the three input cells of a typical work in the first block: reading a file then
// allocates once per row.
constexpr std::uint64_t kMinimumCapacity = 40;
} // namespace

std::unique_ptr<std::byte[]> CompactRow::allocate(std::uint32_t capacity)
{
    std::unique_ptr<std::byte[]> block(new std::byte[sizeof(Header) + capacity * sizeof(char16_t)]);
    new (block.get()) Header{capacity, {}};
    new (block.get() + sizeof(Header)) char16_t[capacity];
    return block;
}

void CompactRow::setSlot(int index, QStringView newText)
{
    if (!m_block && newText.isEmpty())
        return;
    const std::uint64_t newLength = static_cast<std::uint64_t>(newText.size());
    const std::uint32_t used = m_block ? end(kSlots - 1) : 0;
    const std::uint32_t oldLength = m_block ? end(index) - begin(index) : 0;
    const std::uint64_t needed = std::uint64_t(used) - oldLength + newLength;
    if (needed > std::numeric_limits<std::uint32_t>::max() / 2)
        throw std::bad_alloc();

    const std::uint32_t capacity = m_block ? header().capacity : 0;
    if (!m_block || needed > capacity) {
        // Grow with some slack: a recalculation may write the computed cells of a row one by one.
        const std::uint32_t newCapacity = static_cast<std::uint32_t>(
            std::max<std::uint64_t>(needed + needed / 2, kMinimumCapacity));
        std::unique_ptr<std::byte[]> block = allocate(newCapacity);
        if (m_block) {
            auto& fresh = *std::launder(reinterpret_cast<Header*>(block.get()));
            std::copy_n(header().ends, kSlots, fresh.ends);
            std::copy_n(text(), used,
                        std::launder(reinterpret_cast<char16_t*>(block.get() + sizeof(Header))));
        }
        m_block = std::move(block);
    }

    char16_t* chars = text();
    const std::uint32_t from = begin(index);
    const std::uint32_t oldEnd = end(index);
    const std::uint32_t newEnd = from + static_cast<std::uint32_t>(newLength);
    if (newEnd != oldEnd)
        std::memmove(chars + newEnd, chars + oldEnd, (used - oldEnd) * sizeof(char16_t));
    if (newLength > 0)
        std::memcpy(chars + from, newText.utf16(), newLength * sizeof(char16_t));
    const std::int64_t shift = std::int64_t(newEnd) - std::int64_t(oldEnd);
    std::uint32_t* ends = header().ends;
    for (int i = index; i < kSlots; ++i)
        ends[i] = static_cast<std::uint32_t>(std::int64_t(ends[i]) + shift);
    if (ends[kSlots - 1] == 0)
        m_block.reset();
}

void CompactRow::setCells(const std::array<QStringView, kCells>& texts)
{
    const QStringView kept = details();
    std::uint64_t length = std::uint64_t(kept.size());
    for (const QStringView text : texts)
        length += std::uint64_t(text.size());
    if (length == 0) {
        m_block.reset();
        return;
    }
    if (length > std::numeric_limits<std::uint32_t>::max() / 2)
        throw std::bad_alloc();
    // A new block: the texts may lie in the old one, which goes only at the end.
    const auto capacity =
        static_cast<std::uint32_t>(std::max<std::uint64_t>(length, kMinimumCapacity));
    std::unique_ptr<std::byte[]> block = allocate(capacity);
    auto& fresh = *std::launder(reinterpret_cast<Header*>(block.get()));
    auto* chars = std::launder(reinterpret_cast<char16_t*>(block.get() + sizeof(Header)));
    std::uint32_t end = 0;
    for (int i = 0; i < kCells; ++i) {
        const QStringView cell = texts[std::size_t(i)];
        std::copy_n(cell.utf16(), cell.size(), chars + end);
        end += std::uint32_t(cell.size());
        fresh.ends[i] = end;
    }
    std::copy_n(kept.utf16(), kept.size(), chars + end);
    fresh.ends[kDetailsSlot] = end + std::uint32_t(kept.size());
    m_block = std::move(block);
}
