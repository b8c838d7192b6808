#include "WorkInputCheck.h"

#include "NumberFormat.h"
#include "WorkFieldRule.h"

#include <optional>

namespace {

// Stands for "no valid duration"; being negative, it fails the test.
constexpr double kInvalidDurationMarker = -29.0678;

constexpr WorkColumn kFields[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                  WorkColumn::Duration};

QString capitalised(QString words)
{
    if (!words.isEmpty())
        words[0] = words[0].toUpper();
    return words;
}

} // namespace

WorkInputCheck::WorkInputCheck(QStringView startEvent, QStringView endEvent, QStringView duration,
                               const NumberFormat& numbers)
    : m_texts{startEvent, endEvent, duration}
{
    // The duration is held as a double, as the dialog always held it: a text beyond the double
    // range but within extended precision (1e400) becomes infinity and counts as positive.
    // A text beyond the length limit is refused unread: parsing megabytes took minutes.
    double value = kInvalidDurationMarker;
    if (duration.size() <= workfield::kMaxLength) {
        if (const std::optional<long double> parsed = numbers.tryParse(duration))
            value = static_cast<double>(*parsed);
    }
    m_durationValid = value >= 0;
    for (std::size_t i = 0; i < m_texts.size(); ++i)
        m_problems[i] = workfield::problem(
            m_texts[i], QStringView(kWorkColumnCaptions[columnIndex(kFields[i])]));
}

int WorkInputCheck::slot(WorkColumn field)
{
    return columnIndex(field) - columnIndex(WorkColumn::StartEvent);
}

bool WorkInputCheck::accepted() const
{
    for (const QString& problem : m_problems) {
        if (!problem.isEmpty())
            return false;
    }
    return !m_texts[0].isEmpty() && !m_texts[1].isEmpty() && m_durationValid;
}

QString WorkInputCheck::fieldProblem(WorkColumn field) const
{
    return capitalised(m_problems[static_cast<std::size_t>(slot(field))]);
}

QString WorkInputCheck::problem() const
{
    for (WorkColumn field : kFields) {
        const auto i = static_cast<std::size_t>(slot(field));
        if (!m_problems[i].isEmpty())
            return m_problems[i];
        switch (field) {
        case WorkColumn::StartEvent:
            if (m_texts[i].isEmpty())
                return QStringLiteral("не задано начало элемента");
            break;
        case WorkColumn::EndEvent:
            if (m_texts[i].isEmpty())
                return QStringLiteral("не задан конец элемента");
            break;
        default:
            if (!m_durationValid)
                return QStringLiteral("длина элемента «%1» не является неотрицательным числом")
                    .arg(workfield::quotedBeginning(m_texts[i]));
            break;
        }
    }
    return {};
}
