#include "Bench.h"

void benchGraph() {}
