#include "NetworkCheck.h"

#include "EventIndex.h"
#include "NetworkLoop.h"
#include "NetworkLoops.h"
#include "SuccessorGraph.h"
#include "WorkCells.h"

#include <algorithm>
#include <span>

namespace {

// At most this many names in one finding's text.
constexpr int kNamesInText = 20;

QString quoted(QStringView name)
{
    QString text = QStringLiteral("«");
    text += name;
    return text += u'»';
}

bool isWholeNumber(QStringView name)
{
    return !name.isEmpty() &&
           std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// a < b for whole numbers written in digits, however long.
bool numberBelow(QStringView a, QStringView b)
{
    const auto significant = [](QStringView digits) {
        qsizetype zeros = 0;
        while (zeros + 1 < digits.size() && digits[zeros] == u'0')
            ++zeros;
        return digits.mid(zeros);
    };
    a = significant(a);
    b = significant(b);
    return a.size() != b.size() ? a.size() < b.size() : a.compare(b) < 0;
}

// Rows grouped by one of their events, in table order within each event.
class RowsByEvent
{
public:
    RowsByEvent(const SuccessorGraph& graph, bool byStart)
        : m_begin(std::size_t(graph.eventCount()) + 1, 0)
    {
        const auto eventOf = [&](int row) {
            return byStart ? graph.rowStart(row) : graph.rowEnd(row);
        };
        for (int row = 0; row < graph.rowCount(); ++row) {
            if (!graph.isBlank(row))
                ++m_begin[std::size_t(eventOf(row)) + 1];
        }
        for (std::size_t event = 1; event < m_begin.size(); ++event)
            m_begin[event] += m_begin[event - 1];
        m_rows.resize(std::size_t(m_begin.back()));
        std::vector<int> next(m_begin.begin(), m_begin.end() - 1);
        for (int row = 0; row < graph.rowCount(); ++row) {
            if (!graph.isBlank(row))
                m_rows[std::size_t(next[std::size_t(eventOf(row))]++)] = row;
        }
    }

    std::span<const int> rows(int event) const
    {
        const std::size_t from = std::size_t(m_begin[std::size_t(event)]);
        const std::size_t to = std::size_t(m_begin[std::size_t(event) + 1]);
        return {m_rows.data() + from, to - from};
    }

private:
    std::vector<int> m_begin;
    std::vector<int> m_rows;
};

class Checker
{
public:
    Checker(const WorkCells& table, const EventIndex& events, const SuccessorGraph& graph,
            const QString& startEvent, const QString& endEvent)
        : m_table(table), m_events(events), m_graph(graph), m_startName(startEvent),
          m_endName(endEvent), m_start(graph.eventId(startEvent)), m_end(graph.eventId(endEvent)),
          m_named(events.eventCount()), m_from(graph, true), m_into(graph, false),
          m_reported(std::size_t(graph.eventCount()), 0),
          m_rowOnEdge(std::size_t(graph.rowCount()), 0)
    {
        for (int edge = 0; edge < graph.edgeCount(); ++edge) {
            for (const int row : graph.edgeRows(edge))
                m_rowOnEdge[std::size_t(row)] = 1;
        }
    }

    std::vector<Finding> run()
    {
        checkRows();
        checkSelectedEvents();
        checkOpenEnds();
        checkLoops();
        checkReach();
        checkWorksOffPaths();
        checkIgnoredWorks();
        checkParallelWorks();
        checkNumbering();
        return std::move(m_findings);
    }

private:
    void add(Severity severity, QString text, std::vector<int> rows = {})
    {
        m_findings.push_back({severity, std::move(text), std::move(rows)});
    }
    static std::vector<int> rowList(std::span<const int> rows)
    {
        return {rows.begin(), rows.end()};
    }
    QString name(int event) const { return quoted(m_graph.eventName(event)); }
    QString work(int row) const
    {
        return quoted(m_table.cellView(WorkColumn::StartEvent, row)) + QStringLiteral("→") +
               quoted(m_table.cellView(WorkColumn::EndEvent, row));
    }
    bool named(int event) const { return event >= 0 && event < m_named; }
    bool hasBothEvents(int row) const
    {
        return !m_table.cellView(WorkColumn::StartEvent, row).isEmpty() &&
               !m_table.cellView(WorkColumn::EndEvent, row).isEmpty();
    }
    std::vector<int> rowsTouching(int event) const
    {
        const std::span<const int> from = m_from.rows(event);
        const std::span<const int> into = m_into.rows(event);
        std::vector<int> rows(from.begin(), from.end());
        rows.insert(rows.end(), into.begin(), into.end());
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        return rows;
    }
    // Events reached from `from` along works (against them when backwards), never leaving
    // `stop`.
    std::vector<char> reach(int from, bool backwards, int stop = -1) const
    {
        std::vector<char> reached(std::size_t(m_graph.eventCount()), 0);
        std::vector<int> pending{from};
        reached[std::size_t(from)] = 1;
        const auto visit = [&](int event) {
            if (!reached[std::size_t(event)]) {
                reached[std::size_t(event)] = 1;
                pending.push_back(event);
            }
        };
        while (!pending.empty()) {
            const int event = pending.back();
            pending.pop_back();
            if (event == stop)
                continue;
            if (backwards) {
                for (const int row : m_into.rows(event)) {
                    if (m_rowOnEdge[std::size_t(row)])
                        visit(m_graph.rowStart(row));
                }
            } else {
                for (int edge = m_graph.firstEdge(event); edge < m_graph.endEdge(event); ++edge)
                    visit(m_graph.edgeTarget(edge));
            }
        }
        return reached;
    }

    void checkRows()
    {
        for (int row = 0; row < m_graph.rowCount(); ++row) {
            if (m_graph.isBlank(row))
                continue;
            const bool noStart = m_table.cellView(WorkColumn::StartEvent, row).isEmpty();
            const bool noEnd = m_table.cellView(WorkColumn::EndEvent, row).isEmpty();
            if (noStart || noEnd)
                add(Severity::Error,
                    noStart && noEnd ? QStringLiteral("У работы не указаны начальное и конечное "
                                                      "события")
                    : noStart
                        ? QStringLiteral("У работы %1 не указано начальное событие").arg(work(row))
                        : QStringLiteral("У работы %1 не указано конечное событие").arg(work(row)),
                    {row});
            const QStringView duration = m_table.cellView(WorkColumn::Duration, row);
            if (duration.isEmpty())
                add(Severity::Error,
                    QStringLiteral("У работы %1 не указана продолжительность").arg(work(row)),
                    {row});
            else if (!m_graph.durationParses(row))
                add(Severity::Error,
                    QStringLiteral("Продолжительность %1 работы %2 не является числом")
                        .arg(quoted(duration), work(row)),
                    {row});
            else if (m_graph.duration(row) < 0)
                add(Severity::Error,
                    QStringLiteral("Продолжительность %1 работы %2 отрицательна")
                        .arg(quoted(duration), work(row)),
                    {row});
        }
    }

    void checkSelectedEvents()
    {
        if (!named(m_start))
            add(Severity::Error, QStringLiteral("Начальное событие %1 не встречается в таблице")
                                     .arg(quoted(m_startName)));
        else if (m_events.endsWork(m_start))
            add(Severity::Error,
                QStringLiteral("В начальное событие %1 входят работы").arg(name(m_start)),
                rowList(m_into.rows(m_start)));
        if (!named(m_end))
            add(Severity::Error, QStringLiteral("Конечное событие %1 не встречается в таблице")
                                     .arg(quoted(m_endName)));
        else if (m_events.startsWork(m_end))
            add(Severity::Error,
                QStringLiteral("Из конечного события %1 выходят работы").arg(name(m_end)),
                rowList(m_from.rows(m_end)));
        if (m_start == m_end)
            add(Severity::Error, QStringLiteral("Начальное и конечное события совпадают"));
    }

    void checkOpenEnds()
    {
        const auto several = [&](bool initial) {
            std::vector<int> open;
            for (int event = 0; event < m_named; ++event) {
                if (initial ? !m_events.endsWork(event) : !m_events.startsWork(event))
                    open.push_back(event);
            }
            if (open.size() < 2)
                return;
            QStringList names;
            std::vector<int> rows;
            for (const int event : open) {
                m_reported[std::size_t(event)] = 1;
                if (names.size() < kNamesInText)
                    names.append(name(event));
                if (event == (initial ? m_start : m_end))
                    continue;
                const std::span<const int> own = initial ? m_from.rows(event) : m_into.rows(event);
                rows.insert(rows.end(), own.begin(), own.end());
            }
            std::sort(rows.begin(), rows.end());
            QString list = names.join(QStringLiteral(", "));
            if (open.size() > std::size_t(kNamesInText))
                list += QStringLiteral(" … (всего %1)").arg(open.size());
            add(Severity::Error,
                (initial ? QStringLiteral("Несколько начальных событий (в них не входит ни одна "
                                          "работа): %1")
                         : QStringLiteral("Несколько конечных событий (из них не выходит ни одна "
                                          "работа): %1"))
                    .arg(list),
                std::move(rows));
        };
        several(true);
        several(false);
    }

    void checkLoops()
    {
        for (const std::vector<int>& loop : networkLoops(m_graph)) {
            QStringList names;
            std::vector<int> rows;
            for (std::size_t i = 0; i < loop.size(); ++i) {
                names.append(m_graph.eventName(loop[i]));
                if (i + 1 == loop.size())
                    break;
                for (int edge = m_graph.firstEdge(loop[i]); edge < m_graph.endEdge(loop[i]);
                     ++edge) {
                    if (m_graph.edgeTarget(edge) == loop[i + 1]) {
                        const auto own = m_graph.edgeRows(edge);
                        rows.insert(rows.end(), own.begin(), own.end());
                    }
                }
            }
            std::sort(rows.begin(), rows.end());
            add(Severity::Error, loopMessage(names), std::move(rows));
        }
    }

    void checkReach()
    {
        if (named(m_start)) {
            const std::vector<char> reached = reach(m_start, false);
            for (int event = 0; event < m_named; ++event) {
                if (reached[std::size_t(event)] || m_reported[std::size_t(event)])
                    continue;
                m_reported[std::size_t(event)] = 1;
                add(Severity::Error,
                    QStringLiteral("Событие %1 недостижимо из начального события %2")
                        .arg(name(event), name(m_start)),
                    rowsTouching(event));
            }
        }
        if (named(m_end)) {
            const std::vector<char> reaching = reach(m_end, true);
            for (int event = 0; event < m_named; ++event) {
                if (reaching[std::size_t(event)] || m_reported[std::size_t(event)])
                    continue;
                add(Severity::Error,
                    QStringLiteral("Из события %1 нельзя попасть в конечное событие %2")
                        .arg(name(event), name(m_end)),
                    rowsTouching(event));
            }
        }
    }

    void checkWorksOffPaths()
    {
        if (!named(m_start) || !named(m_end) || m_start == m_end)
            return;
        // Paths stop at the end event, and begin at the start event.
        const std::vector<char> fromStart = reach(m_start, false, m_end);
        const std::vector<char> toEnd = reach(m_end, true, m_start);
        for (int row = 0; row < m_graph.rowCount(); ++row) {
            // Rows without an event were named above; case twins are named below.
            if (!m_rowOnEdge[std::size_t(row)] || !hasBothEvents(row))
                continue;
            const int start = m_graph.rowStart(row);
            const int end = m_graph.rowEnd(row);
            if (fromStart[std::size_t(start)] && toEnd[std::size_t(end)] && start != m_end &&
                end != m_start)
                continue;
            add(Severity::Error,
                QStringLiteral("Работа %1 не лежит ни на одном пути от %2 до %3")
                    .arg(work(row), name(m_start), name(m_end)),
                {row});
        }
    }

    void checkIgnoredWorks()
    {
        for (int row = 0; row < m_graph.rowCount(); ++row) {
            if (m_graph.isBlank(row) || m_rowOnEdge[std::size_t(row)] || !hasBothEvents(row))
                continue;
            const int start = m_graph.rowStart(row);
            const int group = m_events.groupOf(m_graph.rowEnd(row));
            QString twin;
            for (int edge = m_graph.firstEdge(start); edge < m_graph.endEdge(start); ++edge) {
                if (m_events.groupOf(m_graph.edgeTarget(edge)) == group)
                    twin = name(m_graph.edgeTarget(edge));
            }
            add(Severity::Error,
                QStringLiteral("Работа %1 не учитывается в расчёте: из события %2 уже выходит "
                               "работа в %3, имя которого отличается только регистром букв")
                    .arg(work(row), name(start), twin),
                {row});
        }
    }

    void checkParallelWorks()
    {
        for (int edge = 0; edge < m_graph.edgeCount(); ++edge) {
            const auto rows = m_graph.edgeRows(edge);
            if (rows.size() < 2)
                continue;
            add(Severity::Warning,
                QStringLiteral("Параллельные работы %1: их продолжительности на пути "
                               "складываются; разделите их фиктивной работой")
                    .arg(work(rows.front())),
                {rows.begin(), rows.end()});
        }
    }

    void checkNumbering()
    {
        if (m_named == 0)
            return;
        for (int event = 0; event < m_named; ++event) {
            if (!isWholeNumber(m_events.name(event)))
                return;
        }
        for (int row = 0; row < m_graph.rowCount(); ++row) {
            if (m_graph.isBlank(row) || !hasBothEvents(row))
                continue;
            if (!numberBelow(m_table.cellView(WorkColumn::StartEvent, row),
                             m_table.cellView(WorkColumn::EndEvent, row)))
                add(Severity::Warning,
                    QStringLiteral("Номер начального события работы %1 не меньше номера "
                                   "конечного")
                        .arg(work(row)),
                    {row});
        }
    }

    const WorkCells& m_table;
    const EventIndex& m_events;
    const SuccessorGraph& m_graph;
    const QString m_startName;
    const QString m_endName;
    const int m_start;
    const int m_end;
    const int m_named; // events named by some row have the ids below this
    const RowsByEvent m_from;
    const RowsByEvent m_into;
    std::vector<char> m_reported;  // named already as initial, final or unreachable
    std::vector<char> m_rowOnEdge; // the searches take the row (no blank, no case twin)
    std::vector<Finding> m_findings;
};

} // namespace

QString severityText(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("ошибка")
                                       : QStringLiteral("предупреждение");
}

std::vector<Finding> checkNetwork(const WorkCells& table, const EventIndex& events,
                                  const SuccessorGraph& graph, const QString& startEvent,
                                  const QString& endEvent)
{
    return Checker(table, events, graph, startEvent, endEvent).run();
}
