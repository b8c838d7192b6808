#pragma once

#include "BatchPlan.h"

namespace batchoutput {
// Writes the calculated plan to the file by its suffix (batchformats::outputSuffixes), all or
// nothing. Raises the writer's message.
void write(const QString& path, const BatchPlan& plan);
} // namespace batchoutput
