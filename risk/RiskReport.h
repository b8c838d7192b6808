#pragma once

#include "AnalyticRisk.h"
#include "Estimates.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

class DateFormat;
class NumberFormat;
class ScheduleDates;

namespace risk {

struct RiskTableInput;
class SimulationResult;

// The texts the risk window shows, widget-free: the analytic figures by the chosen method and
// the tables of a simulation, in the program's number and date texts. The window, its CSV file
// and its printout all take their words from here. Lengths become dates as a directive date
// becomes a length (directiveDays): a length ends on the date of its whole days rounded up, the
// first date that, taken as the directive, the length meets.
class RiskReport
{
public:
    // The input, the dates and the formats must outlive the report. Raises what AnalyticRisk
    // raises.
    RiskReport(const RiskTableInput& input, EstimateMethod method, const ScheduleDates& dates,
               const NumberFormat& numbers, const DateFormat& dateFormat);

    const AnalyticRisk& analytic() const { return m_analytic; }

    // "Tкр = 13; σ = 2", each number in the number format's general text.
    QString expectedText() const;
    // The default directive: the date of Tкр rounded up.
    QDate defaultDirective() const;
    // P(T ≤ Tд) by the normal law, "84,1 %"; a Tд below 0 gives "0,0 %".
    QString probabilityText(long double directiveDays) const;
    // The length reached with the probability and its date: "16,29 — 18.03.2027".
    QString reachedText(double confidence) const;
    // The date a length ends on (see above), in the date format.
    QString dateText(double length) const;

    // The captions and rows of the percentile and criticality tables of a simulation. Criticality
    // lists the works between the ends by falling index, ties in table order.
    static QStringList percentileCaptions();
    static QStringList criticalityCaptions();
    std::vector<QStringList> percentileRows(const SimulationResult& result) const;
    std::vector<QStringList> criticalityRows(const SimulationResult& result) const;
    // The share of runs that met Tд: counted exactly when it is the directive the simulation was
    // given (directiveOfRuns), else read from its histogram.
    QString simulatedProbabilityText(const SimulationResult& result, long double directiveDays,
                                     long double directiveOfRuns) const;
    // "Прогонов: 10000; среднее = 13,42; σ = 2,11", with "(прервано)" after a cancel.
    QString simulatedSummary(const SimulationResult& result) const;

private:
    const RiskTableInput& m_input;
    const ScheduleDates& m_dates;
    const NumberFormat& m_numbers;
    const DateFormat& m_dateFormat;
    AnalyticRisk m_analytic;
};

} // namespace risk
