#include "WorkListFile.h"

#include "IoError.h"
#include "KestrinError.h"
#include "Windows1251.h"
#include "WorkCells.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

constexpr WorkColumn kLineColumns[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                       WorkColumn::Duration};
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEndOfFile = '\x1a';
constexpr qsizetype kChunk = 1 << 20;

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

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

    // One line without its line end; empty past the end of the file.
    QByteArray readLine()
    {
        QByteArray line;
        while (!atEnd()) {
            const char* begin = m_buffer.constData() + m_position;
            const qsizetype available = m_length - m_position;
            qsizetype stop = 0;
            while (stop < available && begin[stop] != kCr && begin[stop] != kEndOfFile)
                ++stop;
            line.append(begin, stop);
            m_position += stop;
            if (stop < available && begin[stop] == kCr) {
                ++m_position;
                if (!atEndOfData() && m_buffer[m_position] == kLf)
                    ++m_position;
                return line;
            }
        }
        return line;
    }

private:
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
    qsizetype m_position = 0;
    qsizetype m_length = 0;
};

[[noreturn]] void raiseSaveFailure(const QSaveFile& file, int error, const QString& path)
{
    if (error != 0)
        ioerror::raise(error, path);
    if (file.error() == QFileDevice::OpenError || file.error() == QFileDevice::PermissionsError)
        throw KestrinError(ioerror::message(5));
    throw KestrinError(ioerror::message(101));
}

} // namespace

namespace worklistfile {

void write(const QString& path, const WorkCells& table)
{
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        for (WorkColumn column : kLineColumns) {
            const QStringView cell = table.cellView(column, row);
            const qsizetype bad = windows1251::firstUnencodable(cell);
            if (bad >= 0) {
                const qsizetype length =
                    cell[bad].isHighSurrogate() && bad + 1 < cell.size() ? 2 : 1;
                throw KestrinError(
                    QStringLiteral("Строка %1: символ «%2» нельзя записать в файл данных "
                                   "(кодировка Windows-1251); файл не записан")
                        .arg(row + 1)
                        .arg(cell.mid(bad, length)));
            }
        }
    }

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        raiseSaveFailure(file, errno, path);
    QByteArray chunk;
    chunk.reserve(kChunk + 1024);
    for (int row = 0; row < rows; ++row) {
        for (WorkColumn column : kLineColumns) {
            windows1251::encodeAppend(table.cellView(column, row), chunk);
            chunk.append(kCr);
            chunk.append(kLf);
        }
        if (chunk.size() >= kChunk || row == rows - 1) {
            errno = 0;
            if (file.write(chunk) != chunk.size())
                raiseSaveFailure(file, errno, path);
            chunk.clear();
        }
    }
    errno = 0;
    if (!file.commit())
        raiseSaveFailure(file, errno, path);
}

void read(const QString& path, WorkCells& table)
{
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        ioerror::raise(errno, path);

    TextReader reader(file.get(), path);
    // The first read happens before the table is touched: a name that opens but cannot be read
    // (a folder, say) fails like a file that cannot be opened.
    reader.atEnd();
    table.setRowCount(1);
    while (!reader.atEnd()) {
        const int row = table.rowCount() - 1;
        for (WorkColumn column : kLineColumns)
            table.setCell(column, row, windows1251::decode(reader.readLine()));
        if (!reader.atEnd())
            table.setRowCount(row + 2);
    }
}

} // namespace worklistfile
