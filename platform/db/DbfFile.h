#pragma once

#include <shapefil.h>

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <memory>
#include <vector>

// The engine's side of shapelib's file hooks. Two things make them necessary. First, shapelib
// derives file names from the one it is given: it forces the extension to ".dbf" (missing a table
// named "Plan.Dbf"), looks for a ".cpg" file beside it and removes that file when it creates a
// table; here every table file is exactly the path the engine asked for and no other file is
// touched (the code page is the language driver byte of the header). Second, shapelib writes each
// record with a seek and two small writes; the file below gathers them in one buffer, and keeps
// the first failure so that the engine can report it, also when shapelib cannot (DBFClose).
namespace db::detail {

class DbfFile
{
public:
    explicit DbfFile(std::FILE* file) : m_file(file) {}
    ~DbfFile();
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;

    SAOffset read(void* data, SAOffset size, SAOffset count);
    SAOffset write(const void* data, SAOffset size, SAOffset count);
    // 0 on success, as fseek.
    SAOffset seek(SAOffset offset, int whence);
    SAOffset tell() const { return SAOffset(m_position); }
    int flush();
    int close();

    // errno of the first failure, 0 while there was none.
    int error() const { return m_error; }

private:
    bool writePending();
    void fail(int error);

    std::FILE* m_file;
    QByteArray m_pending;
    qint64 m_pendingStart = 0;
    qint64 m_position = 0;
    int m_error = 0;
};

// One call into shapelib that opens or creates a table file. While it lives, the file the
// library asks for is `path`: opening for writing creates it and fails when it exists already.
// The files opened during the call belong to it; the one the library keeps open is handed over
// with takeOpenFile.
class LibraryCall
{
public:
    explicit LibraryCall(QString path);
    ~LibraryCall();
    LibraryCall(const LibraryCall&) = delete;
    LibraryCall& operator=(const LibraryCall&) = delete;

    SAHooks* hooks();
    const QByteArray& libraryPath() const { return m_encodedPath; }

    std::unique_ptr<DbfFile> takeOpenFile();
    // errno of the last open that failed, 0 when none did.
    int openError() const { return m_openError; }
    // The first failure of any file opened during the call, 0 when none failed.
    int fileError() const;

    // Used by the hooks.
    SAFile open(const char* access);

private:
    QString m_path;
    QByteArray m_encodedPath;
    std::vector<std::unique_ptr<DbfFile>> m_files;
    int m_openError = 0;
    LibraryCall* m_outer = nullptr;
};

// The last message shapelib reported on this thread, empty after clearLibraryMessage.
QString libraryMessage();
void clearLibraryMessage();

} // namespace db::detail
