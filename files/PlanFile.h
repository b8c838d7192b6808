#pragma once

#include "Plan.h"
#include "WorkInputs.h"

#include <QByteArray>
#include <QString>

class QIODevice;
class WorkTable;

// The plan file (.kpl): the works with their texts exactly as typed and their details, and the
// plan (resources, start date, ends, graph placement, later sections), as XML in UTF-8. The
// format is described in docs/plan-format.md.
namespace planfile {

// The format this build writes, and the newest it reads.
inline constexpr int kFormatVersion = 1;
// Larger files are refused before reading: a plan of a million named works is about 150 MB.
inline constexpr qint64 kSizeLimit = qint64(1) << 30;

// What a plan file holds, read whole before anything of the open plan changes: the works go in
// through WorkTable::replaceRows (or an undo step), the plan is assigned.
struct Contents
{
    WorkInputs works;
    Plan plan;
};

// Writes the table's works and the plan to the device. Every text is checked before the first
// byte goes out: a text XML cannot hold (control characters, a lone surrogate) and details that
// break their own rules raise a message naming the row.
void writeDevice(QIODevice& device, const WorkTable& table, const Plan& plan);
QByteArray encode(const WorkTable& table, const Plan& plan);

// Writes the file all or nothing (AtomicFile).
void write(const QString& path, const WorkTable& table, const Plan& plan);

// Reads a plan file. A file that is not a regular file or is over kSizeLimit is refused before
// reading; a file of a newer format says so; a damaged one raises a message naming its line.
Contents read(const QString& path);
// The same from a device; fileName names the file in messages. Used by read and the fuzzer.
Contents readDevice(QIODevice& device, const QString& fileName);

} // namespace planfile
