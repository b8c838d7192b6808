#include "InputFile.h"

#include "FileErrorText.h"
#include "KestrinError.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

namespace {

QString megabytes(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024));
}

} // namespace

QString InputFile::reason(const Failure& failure)
{
    switch (failure.kind) {
    case Failure::Kind::NotRegular:
        return failure.error == EISDIR
                   ? fileErrorText(EISDIR)
                   : QStringLiteral("это не обычный файл (канал или устройство)");
    case Failure::Kind::TooLarge:
        return QStringLiteral("файл больше %1 МБ").arg(megabytes(failure.limit));
    case Failure::Kind::Open:
    case Failure::Kind::Read:
        break;
    }
    return fileErrorText(failure.error);
}

QString InputFile::defaultMessage(const Failure& failure)
{
    return QStringLiteral("Файл «%1» не прочитан: %2").arg(failure.path, reason(failure));
}

InputFile::InputFile(QString path, qint64 limit, Messages messages)
    : m_path(std::move(path)), m_limit(limit), m_messages(std::move(messages))
{
}

void InputFile::raise(Failure::Kind kind, int error) const
{
    const Failure failure{kind, error, QDir::toNativeSeparators(m_path), m_limit};
    throw KestrinError(m_messages ? m_messages(failure) : defaultMessage(failure));
}

void InputFile::open()
{
    // O_NONBLOCK: opening a FIFO that no one writes to would wait for a writer for ever.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        raise(Failure::Kind::Open, errno);
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        raise(Failure::Kind::Open, error);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        raise(Failure::Kind::NotRegular, S_ISDIR(status.st_mode) ? EISDIR : 0);
    }
    if (status.st_size > m_limit) {
        ::close(fd);
        raise(Failure::Kind::TooLarge, 0);
    }
    // A regular file never blocks; the flag goes so that reads behave as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_file.reset(::fdopen(fd, "rb"));
    if (!m_file) {
        const int error = errno;
        ::close(fd);
        raise(Failure::Kind::Open, error);
    }
    m_size = status.st_size;
}

QByteArray InputFile::readAll()
{
    // The file may have grown since it was opened: at most the limit is read, and a byte more
    // tells a file that grew beyond it.
    QByteArray bytes;
    constexpr qsizetype kChunk = 1 << 20;
    for (;;) {
        const qsizetype had = bytes.size();
        const qsizetype want = std::min<qint64>(kChunk, m_limit + 1 - had);
        bytes.resize(had + want);
        const std::size_t got =
            std::fread(bytes.data() + had, 1, static_cast<std::size_t>(want), m_file.get());
        bytes.resize(had + static_cast<qsizetype>(got));
        if (bytes.size() > m_limit)
            raise(Failure::Kind::TooLarge, 0);
        if (got < static_cast<std::size_t>(want)) {
            if (std::ferror(m_file.get()))
                raise(Failure::Kind::Read, errno != 0 ? errno : EIO);
            return bytes;
        }
    }
}
