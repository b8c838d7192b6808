#pragma once

#include "LevellingProblem.h"

#include <QHash>
#include <QString>

// The single-mode instances of the project scheduling library PSPLIB (.sm files), for the tests
// and the benchmark only: jobs become activities (the dummy start and end jobs included), their
// successors finish-to-start links, the renewable resources the capacities. Raises KestrinError
// for a file it cannot read.
LevellingProblem readPsplibInstance(const QString& path);

// The optimal length of each instance by file name, or the best known bounds where the optimum is
// not proven ("lower..upper" in the list; "..upper" where no lower bound is given, read as 0).
struct KnownLength
{
    int lower = 0;
    int upper = 0;
};
QHash<QString, KnownLength> readKnownLengths(const QString& csvPath);

// Where the PSPLIB sets are: beside the clone, or as the environment variable KESTRIN_PSPLIB says.
QString psplibFolder();
