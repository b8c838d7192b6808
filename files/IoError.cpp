#include "IoError.h"

#include "KestrinError.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace ioerror {

int codeForErrno(int error, const QString& path)
{
    switch (error) {
    case ENOENT:
        return QFileInfo(path).absoluteDir().exists() ? FileNotFound : InvalidFilename;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return InvalidFilename;
    case EMFILE:
    case ENFILE:
        return TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return AccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return DiskFull;
    default:
        return SystemError + error;
    }
}

QString message(int code)
{
    switch (code) {
    case FileNotFound:
        return QStringLiteral("File not found");
    case InvalidFilename:
        return QStringLiteral("Invalid filename");
    case TooManyOpenFiles:
        return QStringLiteral("Too many open files");
    case AccessDenied:
        return QStringLiteral("File access denied");
    case DiskFull:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("I/O error %1").arg(code >= SystemError ? code - SystemError : code);
    }
}

void raise(int error, const QString& path)
{
    throw KestrinError(message(codeForErrno(error, path)));
}

QString inputFailureMessage(const InputFile::Failure& failure, const QString& path)
{
    switch (failure.kind) {
    case InputFile::Failure::Kind::Open:
    case InputFile::Failure::Kind::Read:
        return message(codeForErrno(failure.error, path));
    case InputFile::Failure::Kind::NotRegular:
    case InputFile::Failure::Kind::TooLarge:
        break;
    }
    return InputFile::defaultMessage(failure);
}

} // namespace ioerror
