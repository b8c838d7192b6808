#pragma once

#include "CostInput.h"
#include "Decimal.h"
#include "NumberFormat.h"
#include "TimeCostCurve.h"
#include "TotalCost.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// A work of the table as applying a point of the curve writes it: the duration of the point and
// the cost at that duration (on the straight line between the normal and the shortest), so that
// the work's "cost at its duration" stays true once the duration is its new one.
struct AppliedWork
{
    int row = 0;
    QString duration; // in the program's number text
    double cost = 0;
    bool operator==(const AppliedWork&) const = default;
};

// A corner of the chart: the length and the costs there, rounded once for drawing.
struct CostChartPoint
{
    double length = 0;
    double directCost = 0;
    double totalCost = 0;
};

// The least-cost curve of the work table as the window shows it, widget-free: one row a corner,
// from the normal length down to the shortest, in the program's number texts (lengths exactly;
// costs are exact fractions written to 15 significant digits, exact whenever they have no more),
// the totals with the indirect cost of a day, the row of the least total, the plan of each row
// for the table, and the CSV file of the rows.
class CostCurveTable
{
public:
    enum Column { Length, DirectCost, IndirectCost, TotalCost, ShortenedWorks };
    static constexpr int kColumnCount = 5;
    // A row lists at most this many shortened works, then how many more: a long network's rows
    // would otherwise hold thousands of names each.
    static constexpr int kMostListedWorks = 50;

    // Traces the curve; raises the engine's messages (a loop, a work that cannot exist, ...).
    // The day cost starts at 0.
    CostCurveTable(CostInput input, const NumberFormat& numbers);

    static QString caption(int column);

    // The line naming the works taken as not shortenable, empty when none was.
    const QString& leftOut() const { return m_input.leftOut; }

    // Raises "Косвенные затраты за день не могут быть отрицательными" for a negative cost,
    // changing nothing.
    void setDayCost(const Decimal& dayCost);
    const Decimal& dayCost() const { return m_dayCost; }

    int rowCount() const { return int(m_curve.points.size()); }
    QString text(int row, int column) const;
    // The row of the least total cost (of equal totals, the shortest length).
    int bestRow() const { return m_totals.best; }
    // "Наименьшие общие затраты 400 при сроке 6".
    QString bestText() const;

    // The works whose duration at the row differs from the table's, in table order.
    std::vector<AppliedWork> appliedAt(int row) const;

    std::vector<CostChartPoint> chartPoints() const;

    // The captions and every row as the table shows them, ';'-separated, UTF-8 with a byte order
    // mark, as spreadsheets read it.
    QByteArray csv() const;
    // Writes csv() all or nothing (AtomicFile).
    void writeCsv(const QString& path) const;

private:
    QString costText(const ExactCost& cost) const;

    CostInput m_input;
    NumberFormat m_numbers;
    TimeCostCurve m_curve;
    Decimal m_dayCost; // before m_totals, which is made from it
    TotalCosts m_totals;
    QStringList m_shortenedTexts; // per row; they do not depend on the day cost
};
