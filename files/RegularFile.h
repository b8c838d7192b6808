#pragma once

#include <QString>

#include <memory>

class QFile;

// Opens a user's file for reading only when it is a regular file of at most maxBytes: a FIFO, a
// device or a folder is refused without blocking (the file is opened non-blocking and examined
// before anything is read), and so is a file larger than any the reader expects. what names the
// kind of file in the messages ("Файл плана"). A failure to open raises the input/output error
// (ioerror) of the path.
std::unique_ptr<QFile> openRegularFile(const QString& path, qint64 maxBytes, const QString& what);
