#include "CompactTexts.h"

#include "Windows1251.h"

#include <cstring>

namespace {

// The count's lowest bit tells UTF-16 (1) from Windows-1251 (0); the rest is the length in
// characters, written seven bits to a byte, low bits first, the high bit marking a further byte.
void appendCount(QByteArray& bytes, quint64 value)
{
    while (value >= 0x80) {
        bytes.append(static_cast<char>((value & 0x7f) | 0x80));
        value >>= 7;
    }
    bytes.append(static_cast<char>(value));
}

quint64 readCount(const QByteArray& bytes, qsizetype& position)
{
    quint64 value = 0;
    int shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(bytes[position++]);
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return value;
        shift += 7;
    }
}

} // namespace

void CompactTexts::append(QStringView text)
{
    const auto length = static_cast<quint64>(text.size());
    const qsizetype countAt = m_bytes.size();
    appendCount(m_bytes, length << 1);
    if (!windows1251::tryEncodeAppend(text, m_bytes)) {
        m_bytes.truncate(countAt);
        appendCount(m_bytes, (length << 1) | 1);
        m_bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    ++m_count;
}

bool CompactTexts::Reader::next(QString& text)
{
    const QByteArray& bytes = m_texts.m_bytes;
    if (m_position >= bytes.size())
        return false;
    const quint64 count = readCount(bytes, m_position);
    const auto length = static_cast<qsizetype>(count >> 1);
    if (count & 1) {
        text.resize(length);
        std::memcpy(text.data(), bytes.constData() + m_position,
                    static_cast<std::size_t>(length) * 2);
        m_position += length * 2;
    } else {
        windows1251::decodeInto(QByteArrayView(bytes.constData() + m_position, length), text);
        m_position += length;
    }
    return true;
}
