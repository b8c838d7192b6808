#include "RegularFile.h"

#include "IoError.h"
#include "KestrinError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<QFile> openRegularFile(const QString& path, qint64 maxBytes, const QString& what)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        ioerror::raise(errno, path);
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        ioerror::raise(error, path);
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        throw KestrinError(QStringLiteral("%1 «%2» не является обычным файлом").arg(what, shown));
    }
    if (status.st_size > maxBytes) {
        ::close(fd);
        throw KestrinError(QStringLiteral("%1 «%2» слишком велик: больше %3 МБ")
                               .arg(what, shown)
                               .arg(maxBytes >> 20));
    }
    // Reading a regular file never waits; the flag goes so that reads need not retry.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ioerror::raise(EIO, path);
    }
    return file;
}
