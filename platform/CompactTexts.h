#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// A sequence of texts held compactly, for keeping rather than for reading often: each text is a
// variable-length count followed by its characters in Windows-1251, one byte each, or in UTF-16
// where the code page has no code for one of them. Every text comes back exactly as it went in.
// The texts of the work table (event names and numbers) take a byte or two more than their
// length, where a QString takes twice the length and a heap block of its own.
class CompactTexts
{
public:
    void append(QStringView text);

    qsizetype count() const { return m_count; }
    // The bytes the texts take.
    qsizetype byteSize() const { return m_bytes.capacity(); }
    // Gives back the room kept for further texts.
    void squeeze() { m_bytes.squeeze(); }
    bool operator==(const CompactTexts& other) const = default;

    // Reads the texts in order.
    class Reader
    {
    public:
        explicit Reader(const CompactTexts& texts) : m_texts(texts) {}
        // The next text into `text`, reusing its storage; false after the last one.
        bool next(QString& text);

    private:
        const CompactTexts& m_texts;
        qsizetype m_position = 0;
    };

private:
    QByteArray m_bytes;
    qsizetype m_count = 0;
};
