#pragma once

#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>

// The 11 cell texts of one row in a single heap block: a header of the block's text capacity and
// the end offset of every cell, followed by the UTF-16 text of all cells back to back. A million
// rows of short numbers take about 200 bytes each instead of the ~700 of eleven QStrings. A row
// whose cells are all empty holds no block at all.
class CompactRow
{
public:
    static constexpr int kCells = 11;

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
    // Layout in 32-bit words: [0] capacity in UTF-16 units, [1..11] cell end offsets, then text.
    static constexpr int kHeaderWords = 1 + kCells;

    std::uint32_t end(int index) const { return m_block[1 + index]; }
    std::uint32_t begin(int index) const { return index == 0 ? 0 : end(index - 1); }
    char16_t* text() { return reinterpret_cast<char16_t*>(m_block.get() + kHeaderWords); }
    const char16_t* text() const
    {
        return reinterpret_cast<const char16_t*>(m_block.get() + kHeaderWords);
    }

    std::unique_ptr<std::uint32_t[]> m_block;
};
