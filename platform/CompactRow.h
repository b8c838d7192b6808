#pragma once

#include "WorkCells.h"

#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

// The 11 cell texts of one row in a single heap block: a header of the block's text capacity and
// the end offset of every cell, followed by the UTF-16 text of all cells back to back. A million
// rows of short numbers take about 200 bytes each instead of the ~700 of eleven QStrings. A row
// whose cells are all empty holds no block at all.
class CompactRow
{
public:
    static constexpr int kCells = kWorkColumnCount;

    CompactRow() = default;
    CompactRow(CompactRow&&) noexcept = default;
    CompactRow& operator=(CompactRow&&) noexcept = default;

    QStringView cell(int index) const
    {
        if (!m_block)
            return {};
        const std::uint32_t from = begin(index);
        return QStringView(text() + from, static_cast<qsizetype>(end(index) - from));
    }
    void setCell(int index, QStringView text);
    // All cells at once, in a new block; the texts may be views into this row.
    void setCells(const std::array<QStringView, kCells>& texts);

private:
    // The block: a header, then the text of all cells. Both are objects made in the block's
    // bytes (placement new), so each is read through its own type.
    struct Header
    {
        std::uint32_t capacity; // in UTF-16 units
        std::uint32_t ends[kCells];
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
