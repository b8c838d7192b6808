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
        return QFileInfo(path).absoluteDir().exists() ? 2 : 3;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return kAccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return 101;
    default:
        // Codes of the table are below 1000; anything else keeps the system's own number.
        return 1000 + error;
    }
}

QString message(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Invalid filename");
    case 4:
        return QStringLiteral("Too many open files");
    case kAccessDenied:
        return QStringLiteral("File access denied");
    case 100:
        return QStringLiteral("Read beyond end of file");
    case 101:
        return QStringLiteral("Disk full");
    case 106:
        return QStringLiteral("Invalid numeric input");
    default:
        return QStringLiteral("I/O error %1").arg(code >= 1000 ? code - 1000 : code);
    }
}

void raise(int error, const QString& path)
{
    throw KestrinError(message(codeForErrno(error, path)));
}

} // namespace ioerror
