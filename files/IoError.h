#pragma once

#include <QString>

// Input/output failures of the file commands, told in the words users of this program know:
// "File not found", "File access denied", "Disk full", and "I/O error N" for the rest. The
// operating system's error number is translated into the code the message table knows.
namespace ioerror {

// The code of permission problems and folders, "File access denied".
constexpr int kAccessDenied = 5;

// The program's error code of a failure with the given errno, for a file at path (the path tells
// a missing folder, code 3, from a missing file, code 2).
int codeForErrno(int error, const QString& path);

// The message for a program error code: 2, 3, 4, 5, 100, 101, 106 have their own words.
QString message(int code);

// Raises the input/output error for errno as it stands now (read it right after the failing call).
[[noreturn]] void raise(int error, const QString& path);

} // namespace ioerror
