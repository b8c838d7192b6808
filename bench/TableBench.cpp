#include "Bench.h"
void benchTable() {}
