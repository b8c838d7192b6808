#include "DbfFile.h"

#include "OpenFile.h"

#include <QFile>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

namespace db::detail {

namespace {

// shapelib appends each record with its own seek and write; a buffer of this size turns a
// hundred thousand of them into a few large writes.
constexpr qsizetype kPendingLimit = qsizetype(1) << 20;

thread_local LibraryCall* t_call = nullptr;
thread_local std::string t_message;

DbfFile* fileOf(SAFile file)
{
    return reinterpret_cast<DbfFile*>(file);
}

SAFile hookOpen(const char* fileName, const char* access)
{
    // The code page lives in the header; a ".cpg" file beside the table is neither read nor made.
    const qsizetype length = qsizetype(std::strlen(fileName));
    if (length >= 4 && qstrnicmp(fileName + length - 4, ".cpg", 4) == 0)
        return nullptr;
    return t_call ? t_call->open(access) : nullptr;
}

SAOffset hookRead(void* data, SAOffset size, SAOffset count, SAFile file)
{
    return fileOf(file)->read(data, size, count);
}

SAOffset hookWrite(void* data, SAOffset size, SAOffset count, SAFile file)
{
    return fileOf(file)->write(data, size, count);
}

SAOffset hookSeek(SAFile file, SAOffset offset, int whence)
{
    return fileOf(file)->seek(offset, whence);
}

SAOffset hookTell(SAFile file)
{
    return fileOf(file)->tell();
}

int hookFlush(SAFile file)
{
    return fileOf(file)->flush();
}

int hookClose(SAFile file)
{
    return fileOf(file)->close();
}

// shapelib removes only a ".cpg" file it would otherwise leave stale; it is not ours to remove.
int hookRemove(const char*)
{
    return 0;
}

void hookError(const char* message)
{
    t_message = message;
}

// Independent of the C locale, which a Qt program sets from the environment.
double hookAtof(const char* text)
{
    while (*text == ' ')
        ++text;
    double value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

SAHooks makeHooks()
{
    SAHooks hooks{};
    hooks.FOpen = hookOpen;
    hooks.FRead = hookRead;
    hooks.FWrite = hookWrite;
    hooks.FSeek = hookSeek;
    hooks.FTell = hookTell;
    hooks.FFlush = hookFlush;
    hooks.FClose = hookClose;
    hooks.Remove = hookRemove;
    hooks.Error = hookError;
    hooks.Atof = hookAtof;
    return hooks;
}

} // namespace

DbfFile::~DbfFile()
{
    close();
}

void DbfFile::fail(int error)
{
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
}

bool DbfFile::writePending()
{
    if (m_pending.isEmpty())
        return m_error == 0;
    errno = 0;
    const bool written = std::fseek(m_file, long(m_pendingStart), SEEK_SET) == 0 &&
                         std::fwrite(m_pending.constData(), 1, std::size_t(m_pending.size()),
                                     m_file) == std::size_t(m_pending.size()) &&
                         std::fflush(m_file) == 0;
    if (!written)
        fail(errno);
    m_pending.resize(0);
    return written && m_error == 0;
}

SAOffset DbfFile::read(void* data, SAOffset size, SAOffset count)
{
    if (!m_file || !writePending())
        return 0;
    errno = 0;
    if (std::fseek(m_file, long(m_position), SEEK_SET) != 0) {
        fail(errno);
        return 0;
    }
    const std::size_t got = std::fread(data, std::size_t(size), std::size_t(count), m_file);
    if (got < count && std::ferror(m_file))
        fail(errno);
    m_position += qint64(got * size);
    return SAOffset(got);
}

SAOffset DbfFile::write(const void* data, SAOffset size, SAOffset count)
{
    if (!m_file || m_error != 0)
        return 0;
    const auto bytes = qsizetype(size * count);
    const qint64 pendingEnd = m_pendingStart + m_pending.size();
    if (!m_pending.isEmpty() && (m_position < m_pendingStart || m_position > pendingEnd)) {
        if (!writePending())
            return 0;
    }
    if (m_pending.isEmpty())
        m_pendingStart = m_position;
    const qsizetype offset = qsizetype(m_position - m_pendingStart);
    if (offset + bytes > m_pending.size())
        m_pending.resize(offset + bytes);
    std::memcpy(m_pending.data() + offset, data, std::size_t(bytes));
    m_position += bytes;
    if (m_pending.size() >= kPendingLimit && !writePending())
        return 0;
    return count;
}

SAOffset DbfFile::seek(SAOffset offset, int whence)
{
    if (!m_file)
        return SAOffset(-1);
    switch (whence) {
    case SEEK_SET:
        m_position = qint64(offset);
        return 0;
    case SEEK_CUR:
        m_position += qint64(offset);
        return 0;
    case SEEK_END:
        errno = 0;
        if (!writePending() || std::fseek(m_file, 0, SEEK_END) != 0) {
            fail(errno);
            return SAOffset(-1);
        }
        m_position = std::ftell(m_file) + qint64(offset);
        return 0;
    default:
        return SAOffset(-1);
    }
}

int DbfFile::flush()
{
    return m_file && writePending() ? 0 : EOF;
}

int DbfFile::close()
{
    if (!m_file)
        return 0;
    writePending();
    errno = 0;
    if (std::fclose(m_file) != 0)
        fail(errno);
    m_file = nullptr;
    return m_error == 0 ? 0 : EOF;
}

LibraryCall::LibraryCall(QString path)
    : m_path(std::move(path)), m_encodedPath(QFile::encodeName(m_path)), m_outer(t_call)
{
    t_call = this;
    clearLibraryMessage();
}

LibraryCall::~LibraryCall()
{
    t_call = m_outer;
}

SAHooks* LibraryCall::hooks()
{
    static SAHooks hooks = makeHooks();
    return &hooks;
}

SAFile LibraryCall::open(const char* access)
{
    const bool create = std::strchr(access, 'w') != nullptr;
    const bool update = std::strchr(access, '+') != nullptr;
    // "x": creating a table never replaces a file that is there.
    const char* mode = create ? (update ? "wb+x" : "wbx") : (update ? "rb+" : "rb");
    errno = 0;
    std::FILE* file = openFile(m_path, mode);
    if (!file) {
        m_openError = errno != 0 ? errno : EIO;
        return nullptr;
    }
    m_openError = 0;
    m_files.push_back(std::make_unique<DbfFile>(file));
    return reinterpret_cast<SAFile>(m_files.back().get());
}

std::unique_ptr<DbfFile> LibraryCall::takeOpenFile()
{
    if (m_files.empty())
        return nullptr;
    std::unique_ptr<DbfFile> file = std::move(m_files.back());
    m_files.pop_back();
    return file;
}

int LibraryCall::fileError() const
{
    for (const std::unique_ptr<DbfFile>& file : m_files) {
        if (file->error() != 0)
            return file->error();
    }
    return 0;
}

QString libraryMessage()
{
    return QString::fromLatin1(t_message);
}

void clearLibraryMessage()
{
    t_message.clear();
}

} // namespace db::detail
