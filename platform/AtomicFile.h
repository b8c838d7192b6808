#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

// All-or-nothing writing of a user's file. Every file the program writes for the user (the work
// list, the dBASE export, report page files, PDF, the graph's BMP, and any export added later)
// goes through here:
//
//     AtomicFile file(path, messages);  // nothing happens on disk yet
//     file.open();                      // checks the target, makes the temporary file
//     file.write(bytes);                // or QDataStream, QPdfWriter, QImageWriter on device()
//     file.commit();                    // the complete new file takes the target's place
//
// Guarantees:
// - Until commit() has returned, the target is not touched: an existing file keeps every byte.
//   The new content goes to a hidden temporary file (kTemporaryPrefix, 16 hex digits, ".tmp") in
//   the target's own folder (the same file system, so that the final rename is atomic).
// - Every write's result is checked. commit() writes out the object's own buffer and checks
//   it, syncs the file to the disk (fsync) and checks that, and only then renames the file over
//   the target; the folder is synced afterwards so that the rename survives a power cut too (best
//   effort: not every file system can sync a folder, and the new file is in place by then).
// - Any failure raises KestrinError with the writer's own words for it (see Failure) and leaves
//   the target as it was. The destructor removes the temporary file unless commit() finished,
//   whatever the way out: an exception, a cancelled export, a writer that simply gives up.
// - A process killed at any instant leaves the target either old or complete and new; at most a
//   temporary file stays behind. A writer holds a lock on its temporary file while it lives, so
//   the next open() in that folder, by any writer, removes the temporary files of ours that no
//   living writer holds.
// - There is no fallback to rewriting the target in place, which a failure would leave half
//   written. A folder that takes no new file is refused (Stage::Folder), and so is a target that
//   may not be replaced (Stage::Target): a folder, a device or pipe, a file this user may not
//   write, or a file without any write permission bit (write-protected files stay protected, even
//   from the superuser).
// - A symbolic link is followed: the file it points to is replaced, the link stays as it is. A
//   file with further hard links is replaced under this name only; the other names keep the old
//   content.
// - The new file takes over the old one's permission bits and, as far as the system allows, its
//   owner and group; a file that did not exist gets the default permissions (0666 less umask).
//
// One object writes one file once, on one thread.
class AtomicFile
{
public:
    struct Failure
    {
        enum class Stage {
            Target, // the target may not be replaced (see above)
            Folder, // no new file can be made in the target's folder: missing, no access, full
            Write,  // writing, flushing, syncing or renaming the new file failed
        };
        Stage stage;
        int error;      // errno of the failing call
        QString target; // the path as the writer gave it, with native separators
        QString folder; // the target's folder, absolute, with native separators
    };
    // The message the user sees for a failure.
    using Messages = std::function<QString(const Failure&)>;

    // Every temporary file of ours begins its name with this: a hidden name that no user file
    // takes, so that a stale one is known for ours and removed.
    static constexpr QLatin1StringView kTemporaryPrefix{".kestrin-"};

    // Words naming the file or the folder, and the reason (FileErrorText).
    static QString defaultMessage(const Failure& failure);

    // temporarySuffix ends the temporary file's name (".dbf" for a library that insists on it).
    explicit AtomicFile(QString path, Messages messages = defaultMessage,
                        QString temporarySuffix = QStringLiteral(".tmp"));
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Checks the target, removes stale temporary files of ours from its folder and creates the
    // temporary file. Raises a Target or Folder failure.
    void open();

    // Instead of open(), for a library that makes its file itself, by name (the dBASE engine):
    // create(temporaryPath) must create a new file at that path, failing if one exists, and may
    // write it; from then on the file is this object's temporary file, removed unless committed.
    // Whatever create raises passes through. The library must have written and closed the file
    // before commit().
    void adopt(const std::function<void(const QString& temporaryPath)>& create);

    // Appends bytes; raises a Write failure at once.
    void write(QByteArrayView bytes);

    // A write-only device over the temporary file, for writers that take a QIODevice; valid while
    // this object lives. A failed write answers -1 and is kept: commit() raises it.
    QIODevice* device();

    // Finishes the file (see above) and puts it in the target's place. Raises a Write failure,
    // or the first failure a write met; the target then stays as it was.
    void commit();

    // Raises the failure in the writer's words, for a failure the writer met itself while
    // writing the temporary file (through a library, say). An error of 0 stands for the failure
    // a write through this object met, or EIO when none did.
    [[noreturn]] void raise(Failure::Stage stage, int error) const;

    // The target as written, symbolic links followed; valid after open() or adopt().
    const QString& targetPath() const { return m_target; }
    const QString& temporaryPath() const { return m_temporary; }

private:
    class Device;

    void prepare();
    void takeOverTarget(int fd);
    bool writeAll(const char* data, qsizetype size);
    bool flushBuffer();
    bool append(const char* data, qsizetype size);

    QString m_path;
    Messages m_messages;
    QString m_suffix;
    QString m_target;
    QString m_temporary;
    bool m_temporaryMayExist = false;
    bool m_committed = false;
    bool m_targetExists = false;
    unsigned m_targetMode = 0;
    unsigned m_targetOwner = 0;
    unsigned m_targetGroup = 0;
    int m_fd = -1;
    int m_error = 0;
    QByteArray m_buffer;
    std::unique_ptr<Device> m_device;
};
