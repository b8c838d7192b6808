#pragma once

#include "ReportLayout.h"

class NetworkAnalysis;

// The printout of the analysis, over AnalysisDataSet: A4 portrait, margins of 10 mm, Arial 9; the
// page header the other reports share, then a title with the summary line, then the pages of the
// analysis one after the other, each with its title and column captions in bold, one printed line
// per record.
report::ReportLayout analysisReportLayout(const NetworkAnalysis& analysis);
