#pragma once

#include "InputFile.h"

#include <QString>

// Input/output failures of the file commands, told in the words users of this program know:
// "File not found", "File access denied", "Disk full", and "I/O error N" for the rest. The
// operating system's error number is translated into the code the message table knows.
namespace ioerror {

// The program's error codes, the numbers its users know from the messages; every other failure
// is "I/O error N" with the system's own number.
enum Code : int {
    FileNotFound = 2,
    InvalidFilename = 3, // a missing folder, a name too long or malformed
    TooManyOpenFiles = 4,
    AccessDenied = 5, // permissions, folders, read-only file systems
    DiskFull = 101,   // also a quota or a file too large
    // Codes from here on stand for the system's error number plus this.
    SystemError = 1000,
};

// The program's error code of a failure with the given errno, for a file at path (the path tells
// a missing folder from a missing file).
int codeForErrno(int error, const QString& path);

// The message for a program error code.
QString message(int code);

// Raises the input/output error for errno as it stands now (read it right after the failing call).
[[noreturn]] void raise(int error, const QString& path);

// The words of a failure to open or read a user's file (the work list, a CSV file): the classic
// ones above where the system refused, and the file named with the reason where it is no
// regular file or too large (InputFile::defaultMessage).
QString inputFailureMessage(const InputFile::Failure& failure, const QString& path);

} // namespace ioerror
