#include "PrivateTempFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

QString privateTempFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        return {};
    const QString folder = QDir(base).filePath(QStringLiteral("kestrin"));
    constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QDir().mkpath(base);
    // Made with its permissions at once, so it is never open to others, not even for a moment;
    // an older folder is narrowed to them.
    if (!QDir().mkdir(folder, ownerOnly))
        QFile::setPermissions(folder, ownerOnly);
    return folder;
}
