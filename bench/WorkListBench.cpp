#include "Bench.h"

void benchWorkList() {}
