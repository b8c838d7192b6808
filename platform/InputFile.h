#pragma once

#include "OpenFile.h"

#include <QByteArray>
#include <QString>

#include <functional>

// A user's file opened for reading, as every reader of user files opens it (the work list, CSV,
// report page files): only a regular file, and one no larger than the reader's limit. A FIFO, a
// device or a folder is refused at once, without blocking: the file is opened with O_NONBLOCK
// and its kind is checked on the open file, before a byte is read. A size above the limit is
// refused before reading, so /dev/zero or a huge file never fills the memory.
class InputFile
{
public:
    struct Failure
    {
        enum class Kind {
            Open,       // the system refused to open it (errno in error)
            NotRegular, // a folder (error EISDIR), a pipe, a device or a socket
            TooLarge,   // larger than the limit
            Read,       // a read failed (errno in error)
        };
        Kind kind;
        int error;    // errno where the system failed, else 0 (EISDIR for a folder)
        QString path; // as the reader gave it, with native separators
        qint64 limit; // bytes
    };
    // The message the user sees for a failure.
    using Messages = std::function<QString(const Failure&)>;

    // "Файл «X» не прочитан: <reason>" in the program's words (FileErrorText, "это папка",
    // "это не обычный файл (канал или устройство)", "файл больше 64 МБ").
    static QString defaultMessage(const Failure& failure);
    // The reason alone, as in defaultMessage.
    static QString reason(const Failure& failure);

    InputFile(QString path, qint64 limit, Messages messages = defaultMessage);

    // Opens and checks the file; raises KestrinError with the messages' words.
    void open();

    // The open file as a C stream, owned by this object; valid after open().
    std::FILE* stream() const { return m_file.get(); }
    // The size found on opening, in bytes.
    qint64 size() const { return m_size; }

    // The whole file; raises a Read failure.
    QByteArray readAll();

    [[noreturn]] void raise(Failure::Kind kind, int error) const;

private:
    QString m_path;
    qint64 m_limit;
    Messages m_messages;
    FileHandle m_file;
    qint64 m_size = 0;
};
