#include "AtomicFile.h"

#include "FileErrorText.h"
#include "KestrinError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using FileStatus = struct stat;

// Small writes gather here; a full buffer, a large write and commit() write it out.
constexpr qsizetype kBufferSize = qsizetype(1) << 20;
// One write call at most, well below what the system takes at once.
constexpr qsizetype kLargestWrite = qsizetype(1) << 30;
constexpr int kNameAttempts = 16;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

QString temporaryName(const QString& suffix)
{
    return QString(AtomicFile::kTemporaryPrefix) +
           QStringLiteral("%1%2")
               .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'))
               .arg(suffix);
}

// The names temporaryName makes, whatever the suffix.
bool isTemporaryName(const QString& name)
{
    static const QRegularExpression pattern(
        QLatin1Char('^') + QRegularExpression::escape(QString(AtomicFile::kTemporaryPrefix)) +
        QStringLiteral("[0-9a-f]{16}\\.[A-Za-z0-9]{1,8}$"));
    return pattern.match(name).hasMatch();
}

// A temporary file whose writer is gone: no living writer holds its lock (locks end with the
// process that held them, however it ended). Best effort: anything unexpected leaves the file.
void removeIfStale(const QString& path)
{
    const QByteArray name = encoded(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    FileStatus opened{};
    FileStatus named{};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(name.constData(), &named) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        ::unlink(name.constData());
    ::close(fd);
}

void removeStaleTemporaries(const QString& folder)
{
    const QStringList names =
        QDir(folder).entryList({QString(AtomicFile::kTemporaryPrefix) + QLatin1Char('*')},
                               QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (isTemporaryName(name))
            removeIfStale(QDir(folder).filePath(name));
    }
}

// Claims a temporary file for its writer: a cleaner in another process leaves a locked file
// alone. Where the file system knows no locks, the file is simply never taken for stale. False
// when a cleaner took the file away between its making and the lock.
bool claim(int fd)
{
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    FileStatus claimed{};
    return ::fstat(fd, &claimed) == 0 && claimed.st_nlink > 0;
}

// The file a symbolic link leads to, through every link of a chain; the path itself otherwise.
QString followLinks(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

// The device writes through the file's own checked buffer; a failure is kept for commit().
class AtomicFile::Device final : public QIODevice
{
public:
    explicit Device(AtomicFile& file) : m_file(file) { QIODevice::open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        return m_file.append(data, qsizetype(size)) ? size : -1;
    }

private:
    AtomicFile& m_file;
};

QString AtomicFile::defaultMessage(const Failure& failure)
{
    switch (failure.stage) {
    case Failure::Stage::Target:
        return QStringLiteral("Файл «%1» нельзя заменить: %2")
            .arg(failure.target, fileErrorText(failure.error));
    case Failure::Stage::Folder:
        return QStringLiteral("Файл «%1» не записан: в папке «%2» нельзя создать файл (%3)")
            .arg(failure.target, failure.folder, fileErrorText(failure.error));
    case Failure::Stage::Write:
        break;
    }
    return QStringLiteral("Не удалось записать файл «%1»: %2")
        .arg(failure.target, fileErrorText(failure.error));
}

AtomicFile::AtomicFile(QString path, Messages messages, QString temporarySuffix)
    : m_path(std::move(path)), m_messages(std::move(messages)), m_suffix(std::move(temporarySuffix))
{
}

AtomicFile::~AtomicFile()
{
    m_device.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && m_temporaryMayExist)
        ::unlink(encoded(m_temporary).constData());
}

void AtomicFile::raise(Failure::Stage stage, int error) const
{
    const QString target = m_target.isEmpty() ? m_path : m_target;
    const int reported = error != 0 ? error : m_error != 0 ? m_error : EIO;
    const Failure failure{stage, reported, QDir::toNativeSeparators(m_path),
                          QDir::toNativeSeparators(QFileInfo(target).absolutePath())};
    throw KestrinError(m_messages ? m_messages(failure) : defaultMessage(failure));
}

// Everything open() and adopt() share: the target is looked at before anything is made.
void AtomicFile::prepare()
{
    Q_ASSERT(m_temporary.isEmpty());
    m_target = followLinks(m_path);
    FileStatus target{};
    if (::lstat(encoded(m_target).constData(), &target) != 0) {
        // A missing folder, a file where a folder should be, a name too long: the folder fails.
        if (errno != ENOENT)
            raise(Failure::Stage::Folder, errno);
    } else {
        if (S_ISDIR(target.st_mode))
            raise(Failure::Stage::Target, EISDIR);
        if (!S_ISREG(target.st_mode))
            raise(Failure::Stage::Target, EPERM);
        if ((target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            raise(Failure::Stage::Target, EACCES);
        if (::access(encoded(m_target).constData(), W_OK) != 0)
            raise(Failure::Stage::Target, errno);
        m_targetExists = true;
        m_targetMode = target.st_mode & 07777;
        m_targetOwner = target.st_uid;
        m_targetGroup = target.st_gid;
    }
    removeStaleTemporaries(QFileInfo(m_target).absolutePath());
}

// The temporary file gets the old file's owner, group and permissions before any content, so a
// file that only its owner may read never lies open to others, not even while being written.
void AtomicFile::takeOverTarget(int fd)
{
    if (!m_targetExists)
        return;
    FileStatus made{};
    if (::fstat(fd, &made) == 0 && (made.st_uid != m_targetOwner || made.st_gid != m_targetGroup)) {
        // Only the superuser may give a file away; a group of the user's own is allowed too.
        // Where neither is allowed, the new file belongs to this user.
        const bool givenAway = ::fchown(fd, m_targetOwner, m_targetGroup) == 0 ||
                               ::fchown(fd, uid_t(-1), m_targetGroup) == 0;
        Q_UNUSED(givenAway);
    }
    // Some file systems keep no permissions; the file then has what they give every file.
    const bool protectedAsBefore = ::fchmod(fd, mode_t(m_targetMode)) == 0;
    Q_UNUSED(protectedAsBefore);
}

void AtomicFile::open()
{
    prepare();
    const QString folder = QFileInfo(m_target).absolutePath();
    for (int attempt = 1; m_fd < 0; ++attempt) {
        m_temporary = QDir(folder).filePath(temporaryName(m_suffix));
        m_fd = ::open(encoded(m_temporary).constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (m_fd < 0) {
            // A name that exists already: another one.
            if (errno != EEXIST || attempt == kNameAttempts)
                raise(Failure::Stage::Folder, errno);
        } else if (!claim(m_fd)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    m_temporaryMayExist = true;
    takeOverTarget(m_fd);
}

void AtomicFile::adopt(const std::function<void(const QString& temporaryPath)>& create)
{
    prepare();
    const QString folder = QFileInfo(m_target).absolutePath();
    m_temporary = QDir(folder).filePath(temporaryName(m_suffix));
    m_temporaryMayExist = true;
    create(m_temporary);
    m_fd = ::open(encoded(m_temporary).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd < 0)
        raise(Failure::Stage::Write, errno);
    // The library made the file before it could be locked: should a cleaner in another process
    // have taken it for stale meanwhile, the save fails rather than rename a file that is gone.
    if (!claim(m_fd))
        raise(Failure::Stage::Write, ENOENT);
    takeOverTarget(m_fd);
}

bool AtomicFile::writeAll(const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, std::size_t(std::min(size, kLargestWrite)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno != 0 ? errno : EIO;
            return false;
        }
        if (written == 0) {
            m_error = EIO;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool AtomicFile::flushBuffer()
{
    const bool written = writeAll(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0);
    return written;
}

bool AtomicFile::append(const char* data, qsizetype size)
{
    Q_ASSERT(m_fd >= 0);
    if (m_error != 0 || m_fd < 0)
        return false;
    if (m_buffer.size() + size > kBufferSize) {
        if (!flushBuffer())
            return false;
        if (size >= kBufferSize)
            return writeAll(data, size);
    }
    try {
        if (m_buffer.capacity() < kBufferSize)
            m_buffer.reserve(kBufferSize);
        m_buffer.append(data, size);
    } catch (const std::bad_alloc&) {
        m_error = ENOMEM;
        return false;
    }
    return true;
}

void AtomicFile::write(QByteArrayView bytes)
{
    if (!append(bytes.data(), bytes.size()))
        raise(Failure::Stage::Write, m_error);
}

QIODevice* AtomicFile::device()
{
    if (!m_device)
        m_device = std::make_unique<Device>(*this);
    return m_device.get();
}

void AtomicFile::commit()
{
    Q_ASSERT(m_fd >= 0 && !m_committed);
    if (m_fd < 0)
        raise(Failure::Stage::Write, EBADF);
    if (m_error == 0)
        flushBuffer();
    if (m_error != 0)
        raise(Failure::Stage::Write, m_error);
    // EINVAL: a file system that has nothing to sync.
    if (::fsync(m_fd) != 0 && errno != EINVAL)
        raise(Failure::Stage::Write, errno);
    // Renamed while still open, so the lock keeps cleaners away until the file is in place.
    if (::rename(encoded(m_temporary).constData(), encoded(m_target).constData()) != 0) {
        const int error = errno;
        if (error == EISDIR || error == ENOTEMPTY || error == EEXIST)
            raise(Failure::Stage::Target, error);
        raise(Failure::Stage::Write, error);
    }
    m_committed = true;
    ::close(m_fd);
    m_fd = -1;
    syncFolder(QFileInfo(m_target).absolutePath());
}
