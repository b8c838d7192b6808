#pragma once

#include "DrawingUnits.h"
#include "ResourceTables.h"

#include <QSizeF>
#include <QString>

class NumberFormat;
class QPainter;

namespace loadchart {
// The natural size of a saved picture of a profile, in drawing pixels.
inline constexpr QSizeF kPictureSize(900, 360);
// The room of the amount axis on the left, in drawing pixels.
inline constexpr qreal kAmountAxisWidth = 48;
// The room right of the time axis, in drawing pixels.
inline constexpr qreal kRightMargin = 12;
// The colours, for those who check a picture: the demand within the amount, above it, and the
// line of the amount available.
inline constexpr unsigned kDemandColour = 0xff7aa6e0;
inline constexpr unsigned kOverloadColour = kCriticalRed;
inline constexpr unsigned kAvailableColour = 0xff186018;
} // namespace loadchart

// The one paint routine of a load profile, which the resources window, its printed page and its
// PDF, SVG and PNG files share; no widgets. Paints into `size` drawing pixels with the top left
// corner at the painter's origin: the caption at the top, the demand as columns over time (days
// along, the resource's units up), the part of a column above the amount available in red, the
// amount available as a green line across, and both axes with their numbers.
//
// A profile with more steps than the chart has pixel columns is drawn as the largest demand
// within each column, so a million works draw in time proportional to the steps plus the width.
// The time axis runs from load.from to load.length; the amount axis takes `axisWidth` pixels on
// the left (so that a chart beside another lines its days up with the other's).
void paintLoadChart(QPainter& painter, const ResourceLoad& load, QSizeF size,
                    const QString& caption, const NumberFormat& numbers,
                    qreal axisWidth = loadchart::kAmountAxisWidth);
