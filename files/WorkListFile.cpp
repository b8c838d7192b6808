#include "WorkListFile.h"

#include "AtomicFile.h"
#include "InputFile.h"
#include "IoError.h"
#include "KestrinError.h"
#include "Progress.h"
#include "Windows1251.h"
#include "WorkCells.h"

#include <QByteArray>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr WorkColumn kLineColumns[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                       WorkColumn::Duration};
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEndOfFile = '\x1a';
constexpr qsizetype kChunk = 1 << 20;

// Byte reader over a file with the text-file rules of the format: Ctrl+Z is the end of the file.
class TextReader
{
public:
    TextReader(std::FILE* file, const QString& path) : m_file(file), m_path(path)
    {
        m_buffer.resize(kChunk);
    }

    bool atEnd()
    {
        if (m_position == m_length && !fill())
            return true;
        return m_buffer[m_position] == kEndOfFile;
    }

    // One line without its line end; empty past the end of the file. The view stays valid until
    // the next call. A line that lies within the buffer is not copied at all.
    QByteArrayView readLine()
    {
        m_line.resize(0);
        bool spansFills = false;
        while (!atEnd()) {
            const char* begin = m_buffer.constData() + m_position;
            const qsizetype available = m_length - m_position;
            const qsizetype stop = lineStop(begin, available);
            const bool ended = stop < available && begin[stop] == kCr;
            if (ended && !spansFills) {
                const QByteArrayView line(begin, stop);
                m_position += stop + 1;
                // The LF may be the first byte of the next fill: keep the line's bytes first.
                if (m_position == m_length) {
                    m_line.append(line);
                    skipLineFeed();
                    return m_line;
                }
                skipLineFeed();
                return line;
            }
            m_line.append(begin, stop);
            spansFills = true;
            m_position += stop;
            if (ended) {
                ++m_position;
                skipLineFeed();
                return m_line;
            }
        }
        return m_line;
    }

private:
    // Offset of the first CR or Ctrl+Z, or available when there is none.
    static qsizetype lineStop(const char* begin, qsizetype available)
    {
        const void* cr = std::memchr(begin, kCr, static_cast<std::size_t>(available));
        const qsizetype crAt = cr ? static_cast<const char*>(cr) - begin : available;
        const void* eof = std::memchr(begin, kEndOfFile, static_cast<std::size_t>(crAt));
        return eof ? static_cast<const char*>(eof) - begin : crAt;
    }

    void skipLineFeed()
    {
        if (!atEndOfData() && m_buffer[m_position] == kLf)
            ++m_position;
    }

    bool atEndOfData() { return m_position == m_length && !fill(); }

    bool fill()
    {
        const std::size_t got = std::fread(m_buffer.data(), 1, kChunk, m_file);
        if (got == 0 && std::ferror(m_file))
            ioerror::raise(errno, m_path);
        m_position = 0;
        m_length = static_cast<qsizetype>(got);
        return got > 0;
    }

    std::FILE* m_file;
    const QString& m_path;
    QByteArray m_buffer;
    QByteArray m_line;
    qsizetype m_position = 0;
    qsizetype m_length = 0;
};

// The words of the classic runtime ("Disk full", "File access denied", ...), except where the
// folder takes no new file: the message then names the folder, since the file itself might have
// been writable.
QString saveFailureMessage(const AtomicFile::Failure& failure, const QString& path)
{
    const int code = ioerror::codeForErrno(failure.error, path);
    if (failure.stage == AtomicFile::Failure::Stage::Folder && code == ioerror::AccessDenied)
        return AtomicFile::defaultMessage(failure);
    return ioerror::message(code);
}

} // namespace

namespace worklistfile {

QByteArray encode(const WorkCells& table)
{
    const int rows = table.rowCount();
    qsizetype size = 0;
    for (int row = 0; row < rows; ++row) {
        for (WorkColumn column : kLineColumns)
            size += table.cellView(column, row).size() + 2;
    }
    QByteArray bytes;
    bytes.reserve(size);
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Запись файла данных", row, rows);
        for (WorkColumn column : kLineColumns) {
            const QStringView cell = table.cellView(column, row);
            if (!windows1251::tryEncodeAppend(cell, bytes)) {
                const qsizetype bad = windows1251::firstUnencodable(cell);
                const qsizetype length =
                    cell[bad].isHighSurrogate() && bad + 1 < cell.size() ? 2 : 1;
                throw KestrinError(
                    QStringLiteral("Строка %1: символ «%2» нельзя записать в файл данных "
                                   "(кодировка Windows-1251); файл не записан")
                        .arg(row + 1)
                        .arg(cell.mid(bad, length)));
            }
            bytes.append(kCr);
            bytes.append(kLf);
        }
    }
    return bytes;
}

void write(const QString& path, const WorkCells& table)
{
    // The whole file is encoded in memory first: a cell that cannot be encoded stops the command
    // before the file is touched.
    const QByteArray bytes = encode(table);
    AtomicFile file(path, [&path](const AtomicFile::Failure& failure) {
        return saveFailureMessage(failure, path);
    });
    file.open();
    file.write(bytes);
    file.commit();
}

void read(const QString& path, WorkCells& table)
{
    InputFile file(path, kMaxBytes, [&path](const InputFile::Failure& failure) {
        return ioerror::inputFailureMessage(failure, path);
    });
    file.open();
    readStream(file.stream(), path, table);
}

void readStream(std::FILE* file, const QString& path, WorkCells& table)
{
    TextReader reader(file, path);
    // The first read happens before the table is touched: a name that opens but cannot be read
    // (a folder, say) fails like a file that cannot be opened.
    reader.atEnd();
    table.setRowCount(1);
    QString text;
    while (!reader.atEnd()) {
        const int row = table.rowCount() - 1;
        progress::step(u"Чтение файла данных", row, -1);
        for (WorkColumn column : kLineColumns) {
            windows1251::decodeInto(reader.readLine(), text);
            table.setCell(column, row, text);
        }
        if (!reader.atEnd())
            table.setRowCount(row + 2);
    }
}

} // namespace worklistfile
