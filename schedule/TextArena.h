#pragma once

#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

// Short texts by index, kept back to back in blocks: half a million events' texts without as
// many strings. A text once set stays where it is (blocks are never moved), so its view holds
// for the arena's life, and reading set texts from several threads is safe while none is set.
class TextArena
{
public:
    explicit TextArena(std::size_t count) : m_start(count, 0), m_length(count, 0) {}

    // Sets text `index` once; texts are at most a block long.
    void set(std::size_t index, QStringView text)
    {
        const std::size_t length = std::size_t(text.size());
        if (m_blocks.empty() || m_used + length > kBlockSize) {
            m_blocks.push_back(std::make_unique<char16_t[]>(kBlockSize));
            m_used = 0;
        }
        char16_t* at = m_blocks.back().get() + m_used;
        std::copy(text.utf16(), text.utf16() + length, at);
        m_start[index] = at;
        m_length[index] = std::uint32_t(length);
        m_used += length;
    }
    QStringView get(std::size_t index) const
    {
        return QStringView(m_start[index], qsizetype(m_length[index]));
    }

private:
    static constexpr std::size_t kBlockSize = std::size_t(1) << 16;
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    std::size_t m_used = 0;
    std::vector<const char16_t*> m_start;
    std::vector<std::uint32_t> m_length;
};
