#include "Bench.h"
void benchSchedule() {}
