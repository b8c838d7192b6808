#pragma once

#include "ExchangePlan.h"

#include <QByteArrayView>
#include <QString>

// Reads MS Project XML (MSPDI), the exchange format that MS Project, ProjectLibre, GanttProject and
// TaskJuggler write:
// - every leaf task becomes a work from its start event to its end event, its duration in days
//   by the file's minutes per day, its name the work's name; a summary task only groups (its
//   links hold for all of its tasks);
// - every link becomes a work of its lag (tasknetwork::build), and the events of links of lag 0
//   are merged wherever the precedences between the tasks stay the same;
// - resources (name, material label as the unit, maximum units as the amount available) and
//   assignments (units as the demand); the project calendar's week and exceptions; the project
//   start as the start date.
// What the plan cannot hold (date constraints and deadlines, manually scheduled tasks, elapsed
// durations and lags, progress, a week other than five or six days) becomes a note, one line each.
namespace mspdi {

// Files larger than this are refused unread: a plan of a million tasks takes a few hundred MB.
inline constexpr qsizetype kLargestFile = qsizetype(512) << 20;

// The plan of the file's bytes. Raises a message naming the file when it is not MSPDI, is not
// well-formed XML, or holds a value that cannot be read; nothing is imported then.
ImportedPlan decode(QByteArrayView bytes, const QString& fileName);
// The same from the file at path. A folder, a device or a pipe, and a file over kLargestFile,
// are refused before any byte is read.
ImportedPlan read(const QString& path);

} // namespace mspdi
