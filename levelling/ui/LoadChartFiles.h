#pragma once

#include "DrawingPages.h"
#include "NumberFormat.h"
#include "ResourceTables.h"

#include <QString>

// The printed page of a load profile: below the page header the program's printouts share, the
// profile fills the page's room. Also its PDF.
class LoadChartPrint : public report::DrawingPages
{
public:
    LoadChartPrint(const ResourceLoad& load, const QString& caption, const NumberFormat& numbers,
                   report::Paper paper);
};

// The profile as an SVG drawing or a PNG picture of loadchart::kPictureSize, all or nothing.
namespace loadchartfiles {
void writeSvg(const ResourceLoad& load, const QString& caption, const NumberFormat& numbers,
              const QString& path);
void writePng(const ResourceLoad& load, const QString& caption, const NumberFormat& numbers,
              const QString& path);
} // namespace loadchartfiles
