#include "Bench.h"

void benchReport() {}
