#pragma once

#include "BatchPlan.h"

namespace batchinput {
// Reads the file by its suffix (batchformats::inputSuffixes) into `into`, which is fresh: works,
// plan, start date and the notes of an import. Raises the reader's message.
void read(const QString& path, BatchPlan& into);
} // namespace batchinput
