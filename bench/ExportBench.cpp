#include "Bench.h"

void benchExport() {}
