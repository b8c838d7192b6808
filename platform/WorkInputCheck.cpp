#include "WorkInputCheck.h"

#include "NumberFormat.h"
#include "Windows1251.h"

#include <optional>

namespace {

// Stands for "no valid duration"; being negative, it fails the test.
constexpr double kInvalidDurationMarker = -29.0678;

constexpr WorkColumn kFields[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                  WorkColumn::Duration};

QString character(QStringView text, qsizetype at)
{
    const qsizetype length = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    return text.mid(at, length).toString();
}

QString unstorableWords(QStringView text, qsizetype at)
{
    return QStringLiteral("символ «%1» нельзя сохранить в файле данных (кодировка Windows-1251)")
        .arg(character(text, at));
}

} // namespace

WorkInputCheck::WorkInputCheck(QStringView startEvent, QStringView endEvent, QStringView duration,
                               const NumberFormat& numbers)
    : m_texts{startEvent, endEvent, duration}
{
    // The duration is held as a double, as the dialog always held it: a text beyond the double
    // range but within extended precision (1e400) becomes infinity and counts as positive.
    double value = kInvalidDurationMarker;
    if (const std::optional<long double> parsed = numbers.tryParse(duration))
        value = static_cast<double>(*parsed);
    m_durationValid = value >= 0;
    for (std::size_t i = 0; i < m_texts.size(); ++i)
        m_unstorable[i] = windows1251::firstUnencodable(m_texts[i]);
}

int WorkInputCheck::slot(WorkColumn field)
{
    return columnIndex(field) - columnIndex(WorkColumn::StartEvent);
}

bool WorkInputCheck::accepted() const
{
    for (qsizetype at : m_unstorable) {
        if (at >= 0)
            return false;
    }
    return !m_texts[0].isEmpty() && !m_texts[1].isEmpty() && m_durationValid;
}

qsizetype WorkInputCheck::unstorableAt(WorkColumn field) const
{
    return m_unstorable[static_cast<std::size_t>(slot(field))];
}

QString WorkInputCheck::problem() const
{
    for (WorkColumn field : kFields) {
        const auto i = static_cast<std::size_t>(slot(field));
        if (m_unstorable[i] >= 0)
            return unstorableWords(m_texts[i], m_unstorable[i]);
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
                    .arg(m_texts[i]);
            break;
        }
    }
    return {};
}

QString WorkInputCheck::unstorableMessage(QStringView text, qsizetype at)
{
    QString message = unstorableWords(text, at);
    message[0] = message[0].toUpper();
    return message;
}
