#pragma once

#include "BatchOptions.h"

#include <QStringList>

// One run of the command-line program: reads the input, recalculates as the main window does
// (the same Recalculation, the ends given or chosen as the automatic mode chooses them), levels
// when asked, writes the output. What it says on standard output: the critical path line, and
// after levelling "Выровненная длина: N"; on standard error, the notes of an import.
struct BatchReport
{
    QStringList output;
    QStringList notes;
};

// Raises the program's message of the first failure; the output file is then not written.
BatchReport runBatch(const BatchOptions& options);
