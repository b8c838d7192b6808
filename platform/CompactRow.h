#pragma once

#include "WorkCells.h"

#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

// The 11 cell texts of one row and its encoded details (WorkDetails::encoded) in a single heap
// block: a header of the block's text capacity and the end offset of every slot, followed by the
// UTF-16 text of all slots back to back. A million rows of short numbers take about 200 bytes each
// instead of the ~700 of eleven QStrings; the details slot adds four bytes to the header, which
// the allocator's rounding takes up for the usual rows, and its text only to rows that have
// details. A row whose slots are all empty holds no block at all.
class CompactRow
{
public:
    static constexpr int kCells = kWorkColumnCount;
    // The cells, then the details.
    static constexpr int kSlots = kCells + 1;
    static constexpr int kDetailsSlot = kCells;

    CompactRow() = default;
    CompactRow(CompactRow&&) noexcept = default;
    CompactRow& operator=(CompactRow&&) noexcept = default;

    QStringView cell(int index) const { return slot(index); }
    void setCell(int index, QStringView text) { setSlot(index, text); }
    QStringView details() const { return slot(kDetailsSlot); }
    void setDetails(QStringView encoded) { setSlot(kDetailsSlot, encoded); }
    // All cells at once, in a new block, the details kept; the texts may be views into this row.
    void setCells(const std::array<QStringView, kCells>& texts);

private:
    QStringView slot(int index) const
    {
        if (!m_block)
            return {};
        const std::uint32_t from = begin(index);
        return QStringView(text() + from, static_cast<qsizetype>(end(index) - from));
    }
    void setSlot(int index, QStringView text);

    // The block: a header, then the text of all cells. Both are objects made in the block's
    // bytes (placement new), so each is read through its own type.
    struct Header
    {
        std::uint32_t capacity; // in UTF-16 units
        std::uint32_t ends[kSlots];
    };

    // A block with room for `capacity` units; its header holds the capacity only.
    static std::unique_ptr<std::byte[]> allocate(std::uint32_t capacity);
    Header& header() const { return *std::launder(reinterpret_cast<Header*>(m_block.get())); }
    char16_t* text() const
    {
        return std::launder(reinterpret_cast<char16_t*>(m_block.get() + sizeof(Header)));
    }
    std::uint32_t end(int index) const { return header().ends[index]; }
    std::uint32_t begin(int index) const { return index == 0 ? 0 : end(index - 1); }

    std::unique_ptr<std::byte[]> m_block;
};
