#include "CostCurveTable.h"

#include "AtomicFile.h"
#include "DelimitedText.h"

#include <cmath>
#include <set>

namespace {

constexpr QChar kSeparator = u';';
constexpr QStringView kLineEnd = u"\r\n";

constexpr const char16_t* kCaptions[CostCurveTable::kColumnCount] = {
    u"Срок", u"Прямые затраты", u"Косвенные затраты", u"Итого", u"Сокращаемые работы"};

double valueOf(const Decimal& number)
{
    return double(number.units()) / std::pow(10.0, number.decimals());
}

} // namespace

CostCurveTable::CostCurveTable(CostInput input, const NumberFormat& numbers)
    : m_input(std::move(input)), m_numbers(numbers), m_curve(timeCostCurve(m_input.network)),
      m_totals(totalCosts(m_curve, m_dayCost))
{
    // The durations as the corners change them, one corner after the other: each corner keeps
    // only its changes.
    const TimeCostNetwork& network = m_input.network;
    std::vector<Decimal> duration;
    for (const CostedWork& work : network.works)
        duration.push_back(work.duration);
    std::set<int> shortened;
    for (const CurvePoint& point : m_curve.points) {
        for (const WorkDuration& change : point.changed) {
            duration[std::size_t(change.work)] = change.duration;
            if (change.duration < network.works[std::size_t(change.work)].duration)
                shortened.insert(change.work);
            else
                shortened.erase(change.work);
        }
        QStringList listed;
        for (const int work : shortened) {
            if (listed.size() == kMostListedWorks)
                break;
            const CostedWork& costed = network.works[std::size_t(work)];
            listed.append(QStringLiteral("%1→%2 (%3)")
                              .arg(network.eventNames[costed.startEvent],
                                   network.eventNames[costed.endEvent],
                                   duration[std::size_t(work)].text(m_numbers)));
        }
        QString text = listed.join(QStringLiteral("; "));
        if (int(shortened.size()) > kMostListedWorks)
            text += QStringLiteral("; и ещё %1").arg(int(shortened.size()) - kMostListedWorks);
        m_shortenedTexts.append(text);
    }
}

QString CostCurveTable::caption(int column)
{
    return QString::fromUtf16(kCaptions[column]);
}

void CostCurveTable::setDayCost(const Decimal& dayCost)
{
    m_totals = totalCosts(m_curve, dayCost);
    m_dayCost = dayCost;
}

QString CostCurveTable::costText(const ExactCost& cost) const
{
    return m_numbers.format(exactcost::nearest(cost));
}

QString CostCurveTable::text(int row, int column) const
{
    const CurvePoint& point = m_curve.points[std::size_t(row)];
    const TotalCostPoint& total = m_totals.points[std::size_t(row)];
    switch (Column(column)) {
    case Length:
        return point.length.text(m_numbers);
    case DirectCost:
        return costText(point.directCost);
    case IndirectCost:
        return costText(total.indirectCost);
    case TotalCost:
        return costText(total.totalCost);
    case ShortenedWorks:
        return m_shortenedTexts[row];
    }
    return {};
}

QString CostCurveTable::bestText() const
{
    return QStringLiteral("Наименьшие общие затраты %1 при сроке %2")
        .arg(text(bestRow(), TotalCost), text(bestRow(), Length));
}

std::vector<AppliedWork> CostCurveTable::appliedAt(int row) const
{
    const TimeCostNetwork& network = m_input.network;
    std::vector<AppliedWork> applied;
    for (const WorkDuration& shortened : shortenedAt(network, m_curve, std::size_t(row))) {
        const CostedWork& work = network.works[std::size_t(shortened.work)];
        // On the straight line from (d, C) to (d0, C0): C + (C0 − C)(d − d')/(d − d0).
        const ExactCost normal = exactcost::fromDecimal(work.duration);
        const ExactCost cost = exactcost::fromDecimal(work.cost);
        const ExactCost rise = exactcost::fromDecimal(*work.shortestCost) - cost;
        const ExactCost gained = normal - exactcost::fromDecimal(shortened.duration);
        const ExactCost range = normal - exactcost::fromDecimal(*work.shortestDuration);
        applied.push_back({m_input.rows[std::size_t(shortened.work)],
                           shortened.duration.text(m_numbers),
                           double(exactcost::nearest(cost + rise * gained / range))});
    }
    std::sort(applied.begin(), applied.end(),
              [](const AppliedWork& a, const AppliedWork& b) { return a.row < b.row; });
    return applied;
}

std::vector<CostChartPoint> CostCurveTable::chartPoints() const
{
    std::vector<CostChartPoint> points;
    for (std::size_t i = 0; i < m_curve.points.size(); ++i)
        points.push_back({valueOf(m_curve.points[i].length),
                          double(exactcost::nearest(m_curve.points[i].directCost)),
                          double(exactcost::nearest(m_totals.points[i].totalCost))});
    return points;
}

QByteArray CostCurveTable::csv() const
{
    QString out;
    const auto line = [&out](const auto& field) {
        for (int column = 0; column < kColumnCount; ++column) {
            if (column > 0)
                out += kSeparator;
            // Only the works' column holds names from the user's table; the numbers are ours.
            const QString text = field(column);
            delimitedtext::appendField(
                out, column == ShortenedWorks ? delimitedtext::formulaGuarded(text) : text,
                kSeparator);
        }
        out += kLineEnd;
    };
    line([](int column) { return caption(column); });
    for (int row = 0; row < rowCount(); ++row)
        line([this, row](int column) { return text(row, column); });
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

void CostCurveTable::writeCsv(const QString& path) const
{
    AtomicFile file(path);
    file.open();
    file.write(csv());
    file.commit();
}
