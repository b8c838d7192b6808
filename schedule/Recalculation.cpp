#include "Recalculation.h"

#include "BackwardSearches.h"
#include "CheckedArithmetic.h"
#include "CriticalPath.h"
#include "DateFormat.h"
#include "ForwardSearches.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Progress.h"
#include "SuccessorGraph.h"
#include "WorkCells.h"

#include <QHash>
#include <QThread>

#include <cmath>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr char16_t kStage[] = u"Пересчёт графика";

// Texts kept back to back in one block: half a million events' texts without as many strings.
class TextArena
{
public:
    explicit TextArena(std::size_t count) : m_start(count, 0), m_length(count, 0) {}
    void set(std::size_t index, QStringView text)
    {
        m_start[index] = std::uint32_t(m_chars.size());
        m_length[index] = std::uint32_t(text.size());
        m_chars.insert(m_chars.end(), text.utf16(), text.utf16() + text.size());
    }
    QStringView get(std::size_t index) const
    {
        return QStringView(m_chars.data() + m_start[index], qsizetype(m_length[index]));
    }

private:
    std::vector<char16_t> m_chars;
    std::vector<std::uint32_t> m_start;
    std::vector<std::uint32_t> m_length;
};

} // namespace

struct Recalculation::EventTexts
{
    explicit EventTexts(std::size_t events) : earlyText(events), lateText(events) {}
    TextArena earlyText;
    std::vector<long double> earlyValue;
    std::vector<char> earlyKnown;
    TextArena lateText;
    std::vector<long double> lateValue;
    std::vector<char> lateKnown;
    std::vector<int> rowsEndingAt;        // non-blank rows whose end event is the event
    std::vector<char> rowsStartHere;      // some non-blank row starts at the event
    std::vector<long double> earlyFinish; // per row, parsed from column 5
};

Recalculation::Recalculation(WorkCells& table, QString startEvent, QString endEvent,
                             double startDate, const NumberFormat& numbers, const DateFormat& dates,
                             const NameCollation& names)
    : m_table(table), m_startEvent(std::move(startEvent)), m_endEvent(std::move(endEvent)),
      m_startDate(startDate), m_numbers(numbers), m_dates(dates), m_names(names)
{
}

Recalculation::Recalculation(WorkCells& table, const EventIndex& events, QString startEvent,
                             QString endEvent, double startDate, const NumberFormat& numbers,
                             const DateFormat& dates, const NameCollation& names)
    : Recalculation(table, std::move(startEvent), std::move(endEvent), startDate, numbers, dates,
                    names)
{
    m_events = &events;
}

Recalculation::~Recalculation() = default;

void Recalculation::prepare()
{
    if (m_graph)
        return;
    const QStringList ends{m_startEvent, m_endEvent};
    m_graph = m_events ? std::make_unique<SuccessorGraph>(m_table, *m_events, ends, m_numbers)
                       : std::make_unique<SuccessorGraph>(m_table, ends, m_numbers, m_names);
    m_start = m_graph->eventId(m_startEvent);
    m_end = m_graph->eventId(m_endEvent);
    m_fromStart = std::make_unique<ForwardSearches>(*m_graph, m_start);
}

BackwardSearches& Recalculation::toEnd()
{
    if (!m_toEnd)
        m_toEnd = std::make_unique<BackwardSearches>(*m_graph, m_end);
    return *m_toEnd;
}

long double Recalculation::criticalLength(QStringList& criticalPath)
{
    prepare();
    const long double length = m_fromStart->lengthTo(m_end);
    m_length = length;
    criticalPath =
        length > 0 ? criticalPathEvents(*m_graph, toEnd(), m_start, m_end, length) : QStringList();
    return length;
}

void Recalculation::fillComputedColumns()
{
    prepare();
    if (!m_length)
        m_length = m_fromStart->lengthTo(m_end);

    const std::size_t events = std::size_t(m_graph->eventCount());
    m_texts = std::make_unique<EventTexts>(events);
    EventTexts& texts = *m_texts;
    texts.earlyValue.assign(events, 0.0L);
    texts.earlyKnown.assign(events, 0);
    texts.lateValue.assign(events, 0.0L);
    texts.lateKnown.assign(events, 0);
    texts.rowsEndingAt.assign(events, 0);
    texts.rowsStartHere.assign(events, 0);
    texts.earlyFinish.assign(std::size_t(m_graph->rowCount()), 0.0L);
    for (int row = 0; row < m_graph->rowCount(); ++row) {
        if (m_graph->isBlank(row))
            continue;
        ++texts.rowsEndingAt[std::size_t(m_graph->rowEnd(row))];
        texts.rowsStartHere[std::size_t(m_graph->rowStart(row))] = 1;
    }

    if (fillAtOnce(*m_length))
        return;
    firstPass(*m_length);
    secondPass(*m_length);
    thirdPass();
}

void Recalculation::firstPass(long double length)
{
    EventTexts& texts = *m_texts;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(kStage, row, 3 * qint64(rows));
        if (m_graph->isBlank(row)) {
            for (const WorkColumn column :
                 {WorkColumn::PrecedingWorks, WorkColumn::EarlyStart, WorkColumn::EarlyFinish,
                  WorkColumn::LateFinish, WorkColumn::LateStart, WorkColumn::TotalFloat})
                m_table.setCell(column, row, QStringView());
            continue;
        }
        const std::size_t start = std::size_t(m_graph->rowStart(row));
        const std::size_t end = std::size_t(m_graph->rowEnd(row));

        // A count is a whole number well below 10^15: its general number text is its digits.
        m_table.setCell(WorkColumn::PrecedingWorks, row,
                        m_numbers.text(texts.rowsEndingAt[start]).view());

        // Searches depend on their two events only, so each event's texts are made once.
        if (!texts.earlyKnown[start]) {
            const NumberText early = m_numbers.text(m_fromStart->lengthTo(int(start)));
            texts.earlyText.set(start, early.view());
            texts.earlyValue[start] = m_numbers.parse(early.view());
            texts.earlyKnown[start] = 1;
        }
        const long double earlyStart = texts.earlyValue[start];
        m_table.setCell(WorkColumn::EarlyStart, row, texts.earlyText.get(start));

        if (!m_graph->durationParses(row))
            throw KestrinError(m_graph->badDurationMessage(row));
        const long double duration = m_graph->duration(row);
        const NumberText earlyFinish = m_numbers.text(checked::add(duration, earlyStart));
        m_table.setCell(WorkColumn::EarlyFinish, row, earlyFinish.view());
        texts.earlyFinish[std::size_t(row)] = m_numbers.parse(earlyFinish.view());

        if (!texts.lateKnown[end]) {
            const QString late = toEnd().remainderText(int(end), length, m_numbers);
            texts.lateText.set(end, late);
            texts.lateValue[end] = m_numbers.parse(late);
            texts.lateKnown[end] = 1;
        }
        m_table.setCell(WorkColumn::LateFinish, row, texts.lateText.get(end));

        const NumberText lateStart =
            m_numbers.text(checked::subtract(texts.lateValue[end], duration));
        m_table.setCell(WorkColumn::LateStart, row, lateStart.view());

        m_table.setCell(
            WorkColumn::TotalFloat, row,
            m_numbers.text(checked::subtract(m_numbers.parse(lateStart.view()), earlyStart))
                .view());
    }
}

bool Recalculation::fillAtOnce(long double length)
{
    // Sums of durations whose magnitudes stay far below the long double limit never overflow,
    // and a duration that does not parse is the only other failure of a row's own arithmetic.
    if (m_graph->totalsMayOverflow())
        return false;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        if (!m_graph->isBlank(row) && !m_graph->durationParses(row))
            return false;
    }
    // The searches, which may fail: their texts are kept for the passes, which raise their
    // failures again in their own order.
    EventTexts& texts = *m_texts;
    const auto ensureEarly = [&](std::size_t event) {
        if (!texts.earlyKnown[event]) {
            const NumberText early =
                m_numbers.text(m_fromStart->lengthTo(int(event)), texts.earlyValue[event]);
            texts.earlyText.set(event, early.view());
            texts.earlyKnown[event] = 1;
        }
    };
    std::optional<QString> startDateText;
    std::vector<QString> dayText(std::size_t(m_graph->eventCount()));
    try {
        for (int row = 0; row < rows; ++row) {
            progress::step(kStage, row, rows);
            if (m_graph->isBlank(row))
                continue;
            ensureEarly(std::size_t(m_graph->rowStart(row)));
            const std::size_t end = std::size_t(m_graph->rowEnd(row));
            if (!texts.lateKnown[end]) {
                const QString late = toEnd().remainderText(int(end), length, m_numbers);
                texts.lateText.set(end, late);
                texts.lateValue[end] = m_numbers.parse(late);
                texts.lateKnown[end] = 1;
            }
            if (texts.rowsStartHere[end])
                ensureEarly(end);
        }
        // Begin dates, by start event: beyond the calendar they fail.
        QHash<qint64, QString> dayTexts;
        for (int row = 0; row < rows; ++row) {
            if (m_graph->isBlank(row))
                continue;
            const std::size_t start = std::size_t(m_graph->rowStart(row));
            if (texts.rowsEndingAt[start] == 0) {
                if (!startDateText)
                    startDateText = m_dates.formatDate(m_startDate);
                continue;
            }
            if (!dayText[start].isNull())
                continue;
            const double days =
                checked::toDouble(checked::add(m_startDate, texts.earlyValue[start]));
            const qint64 day = static_cast<qint64>(std::trunc(days));
            auto text = dayTexts.find(day);
            if (text == dayTexts.end())
                text = dayTexts.insert(day, m_dates.formatDate(days));
            dayText[start] = *text;
        }
    } catch (const KestrinError&) {
        return false;
    }

    // Nothing below can fail: every total stays far inside the range. Rows are independent, so
    // a table that allows it takes them on several threads, a slice at a time; between slices
    // the progress is reported (and the windows repainted) with no thread writing.
    const auto writeRow = [&](int row) {
        if (m_graph->isBlank(row)) {
            m_table.setComputedCells(row, {});
            return;
        }
        const std::size_t start = std::size_t(m_graph->rowStart(row));
        const std::size_t end = std::size_t(m_graph->rowEnd(row));
        const long double duration = m_graph->duration(row);
        const long double earlyStart = texts.earlyValue[start];
        const NumberText count = m_numbers.text(texts.rowsEndingAt[start]);
        long double earlyFinishValue = 0;
        const NumberText earlyFinish = m_numbers.text(duration + earlyStart, earlyFinishValue);
        long double lateStartValue = 0;
        const NumberText lateStart =
            m_numbers.text(texts.lateValue[end] - duration, lateStartValue);
        const NumberText totalFloat = m_numbers.text(lateStartValue - earlyStart);
        const long double following = texts.rowsStartHere[end] ? texts.earlyValue[end] : length;
        const NumberText freeFloat = m_numbers.text(following - earlyFinishValue);
        m_table.setComputedCells(
            row, {count.view(), texts.earlyText.get(start), earlyFinish.view(), lateStart.view(),
                  texts.lateText.get(end), totalFloat.view(), freeFloat.view(),
                  texts.rowsEndingAt[start] == 0 ? QStringView(*startDateText)
                                                 : QStringView(dayText[start])});
    };
    const int threads =
        m_table.takesRowsConcurrently() ? std::clamp(QThread::idealThreadCount(), 1, 8) : 1;
    constexpr int kSlice = 1 << 16;
    for (int from = 0; from < rows; from += kSlice) {
        progress::step(kStage, from, rows);
        const int to = std::min(rows, from + kSlice);
        const auto writeRows = [&](int part) {
            const qint64 length = to - from;
            const int first = from + int(length * part / threads);
            const int last = from + int(length * (part + 1) / threads);
            for (int row = first; row < last; ++row)
                writeRow(row);
        };
        std::vector<std::thread> helpers;
        for (int part = 1; part < threads && to - from > 1024; ++part)
            helpers.emplace_back(writeRows, part);
        if (helpers.empty()) {
            for (int row = from; row < to; ++row)
                writeRow(row);
        } else {
            writeRows(0);
        }
        for (std::thread& helper : helpers)
            helper.join();
    }
    return true;
}

void Recalculation::secondPass(long double length)
{
    const EventTexts& texts = *m_texts;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(kStage, rows + qint64(row), 3 * qint64(rows));
        if (m_graph->isBlank(row)) {
            m_table.setCell(WorkColumn::FreeFloat, row, QStringView());
            continue;
        }
        // The following works all start at this work's end event and so share one early start;
        // no following work leaves the marker, which gives way to L.
        const std::size_t end = std::size_t(m_graph->rowEnd(row));
        const long double following = texts.rowsStartHere[end] ? texts.earlyValue[end] : length;
        m_table.setCell(
            WorkColumn::FreeFloat, row,
            m_numbers.text(checked::subtract(following, texts.earlyFinish[std::size_t(row)]))
                .view());
    }
}

void Recalculation::thirdPass()
{
    const EventTexts& texts = *m_texts;
    std::optional<QString> startDateText;
    // The date of a work depends on its start event alone, and its text on the calendar day.
    std::vector<int> dayTextOfEvent(std::size_t(m_graph->eventCount()), -1);
    std::vector<QString> dayTexts;
    QHash<qint64, int> dayTextOfDay;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(kStage, 2 * qint64(rows) + row, 3 * qint64(rows));
        if (m_graph->isBlank(row)) {
            m_table.setCell(WorkColumn::BeginDate, row, QStringView());
            continue;
        }
        const std::size_t start = std::size_t(m_graph->rowStart(row));
        if (texts.rowsEndingAt[start] == 0) {
            if (!startDateText)
                startDateText = m_dates.formatDate(m_startDate);
            m_table.setCell(WorkColumn::BeginDate, row, *startDateText);
            continue;
        }
        int& known = dayTextOfEvent[start];
        if (known < 0) {
            const double days =
                checked::toDouble(checked::add(m_startDate, texts.earlyValue[start]));
            // The text is made (and a day beyond the calendar refused) for each day once.
            const qint64 day = std::isfinite(days) ? static_cast<qint64>(std::trunc(days)) : 0;
            auto text = dayTextOfDay.find(day);
            if (text == dayTextOfDay.end()) {
                dayTexts.push_back(m_dates.formatDate(days));
                text = dayTextOfDay.insert(day, int(dayTexts.size()) - 1);
            }
            known = *text;
        }
        m_table.setCell(WorkColumn::BeginDate, row, dayTexts[std::size_t(known)]);
    }
}

QString criticalPathLine(const NumberFormat& numbers, long double length, const QStringList& path)
{
    QString line =
        QStringLiteral("    Критический путь [L=") + numbers.format(length) + QStringLiteral("]: ");
    for (qsizetype i = 0; i < path.size(); ++i) {
        line += QStringLiteral(" ' ") + path[i] + QStringLiteral(" ' ");
        if (i + 1 < path.size())
            line += QStringLiteral(" -> ");
    }
    return line;
}
