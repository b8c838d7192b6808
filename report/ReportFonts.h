#pragma once

namespace report {

// Report layouts ask for the classic Windows faces Arial, Courier New and Arial Black. Where they
// are missing, metric-compatible faces stand in (Liberation Sans and Liberation Mono have the same
// advance widths, so "fits" labels and columns keep their sizes), and a wide heavy sans stands in
// for Arial Black. Call once after the application object exists, before any report is painted.
void installReportFontSubstitutes();

} // namespace report
