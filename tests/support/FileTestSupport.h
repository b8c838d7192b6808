#pragma once

#include "KestrinError.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

// Small helpers of the tests that read and write files and look at the messages of failures.
namespace testsupport {

// The file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file");
}

// The message of the error the action raises, or "(no error)".
inline QString messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const KestrinError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace testsupport
