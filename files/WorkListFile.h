#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

class WorkCells;

// The work list file (.kdf): for every row of the table, three lines (start event, end event,
// duration) of Windows-1251 text, each ended by CR LF. Nothing computed is stored.
namespace worklistfile {

// The file's bytes for every row of the table. A cell holding a character Windows-1251 cannot
// encode raises a message naming the row.
QByteArray encode(const WorkCells& table);

// Writes every row of the table, all or nothing (AtomicFile): the old file stays byte for byte
// until the new one is complete on the disk. A cell that cannot be encoded stops the write before
// anything is written. I/O failures raise the messages of ioerror; a folder that takes no new
// file raises a message naming the folder.
void write(const QString& path, const WorkCells& table);

// The largest work list file read: about two and a half million works of short names.
inline constexpr qint64 kMaxBytes = qint64(64) << 20;

// Reads the file into columns 1 to 3 of the table: cuts the table to one row, then reads groups
// of three lines while the file is not at its end, adding a row after a group whenever bytes
// remain. A line ends at CR (an LF right after it belongs to the line end; a lone LF is text),
// 0x1A ends the file, a last line without a line end is read whole and lines asked for past the
// end read empty. Only a regular file of at most kMaxBytes is read (InputFile): anything else, and
// a failure to open, leaves the table untouched; a later failure leaves the works read so far.
// Texts are read as they stand, even those the input rule (workfield) refuses today.
void read(const QString& path, WorkCells& table);

// The same from an open stream; path names the file in messages. Used by read and the fuzzer.
void readStream(std::FILE* file, const QString& path, WorkCells& table);

} // namespace worklistfile
