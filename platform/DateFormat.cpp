#include "DateFormat.h"

#include "KestrinError.h"

#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace {

// The short date pattern as the table writes it: numbers only (a month name would not read back
// through the numeric parser) and four-digit years.
QString numericShortDate(QString pattern)
{
    static const QRegularExpression monthName(QStringLiteral("M{3,4}"));
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    pattern.replace(monthName, QStringLiteral("MM"));
    pattern.replace(shortYear, QStringLiteral("yyyy"));
    return pattern;
}

// Times carry no time zone here: the zone field of the locale's long format is dropped.
QString timeWithoutZone(QString pattern)
{
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?\\bt\\b\\)?\\s*"));
    return pattern.replace(zone, QStringLiteral(" ")).trimmed();
}

QString shortDatePatternOf(const QLocale& locale)
{
    // The C locale's short format spells the month out; its users get the ISO order instead.
    if (locale.language() == QLocale::C)
        return QStringLiteral("yyyy-MM-dd");
    return locale.dateFormat(QLocale::ShortFormat);
}

constexpr double kMillisecondsPerDay = 86'400'000.0;
// Room for a short date written the short way.
constexpr qsizetype kLongestNumericDate = 64;
// Day counts beyond this are refused before any calendar arithmetic (they lie past year 9999).
constexpr double kLargestDayCount = 3'000'000.0;
// 30 December 1899, the day count's day 0, counted from 1 January 1970.
constexpr qint64 kEpochFromUnixDays = -25569;

struct Civil
{
    int year;
    int month;
    int day;
};

// The proleptic Gregorian date of a day counted from 1 January 1970, as QDate reckons it
// (H. Hinnant's civil_from_days): integer arithmetic only.
Civil civilFromDays(qint64 z)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const int year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

} // namespace

DateFormat::DateFormat(const QLocale& locale)
    : DateFormat(shortDatePatternOf(locale), locale.timeFormat(QLocale::LongFormat))
{
    m_timeLocale = locale;
}

DateFormat::DateFormat(QString shortDatePattern, QString longTimePattern)
    : m_shortDate(numericShortDate(std::move(shortDatePattern))),
      m_longTime(timeWithoutZone(std::move(longTimePattern)))

{
    int found = 0;
    for (QChar c : std::as_const(m_shortDate)) {
        const char field = static_cast<char>(c.toLatin1());
        if (field != 'd' && field != 'M' && field != 'y')
            continue;
        bool seen = false;
        for (int i = 0; i < found; ++i)
            seen = seen || m_order[i] == field;
        if (!seen && found < 3)
            m_order[found++] = field;
    }
    if (found != 3) {
        m_order[0] = 'd';
        m_order[1] = 'M';
        m_order[2] = 'y';
    }

    m_numericOnly = true;
    for (qsizetype i = 0; i < m_shortDate.size() && m_numericOnly;) {
        const QChar c = m_shortDate[i];
        qsizetype run = 1;
        while (i + run < m_shortDate.size() && m_shortDate[i + run] == c)
            ++run;
        const char letter = c.toLatin1();
        if ((letter == 'd' || letter == 'M') && run <= 2) {
            m_pieces.push_back({letter, int(run), {}});
        } else if (letter == 'y' && run == 4) {
            m_pieces.push_back({letter, 4, {}});
        } else if (c.isLetter() || c == QLatin1Char('\'')) {
            m_numericOnly = false; // names, quoted text: left to Qt
        } else {
            if (m_pieces.empty() || m_pieces.back().field != 0)
                m_pieces.push_back({});
            m_pieces.back().literal += m_shortDate.mid(i, run);
        }
        i += run;
    }
    // Every field takes at most 8 digits; a pattern with long literal text is left to Qt.
    qsizetype longest = 0;
    for (const Piece& piece : m_pieces)
        longest += piece.field == 0 ? piece.literal.size() : 8;
    m_numericOnly = m_numericOnly && longest <= kLongestNumericDate;
}

const DateFormat& DateFormat::system()
{
    static const DateFormat format{QLocale::system()};
    return format;
}

void DateFormat::raiseBeyondCalendar()
{
    throw KestrinError(QStringLiteral("Invalid argument to date encode"));
}

QString DateFormat::conversionMessage(QStringView text)
{
    return QStringLiteral("'%1' is not a valid date and time").arg(text);
}

QDate DateFormat::dateOf(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > kLargestDayCount)
        raiseBeyondCalendar();
    const QDate date = epoch().addDays(static_cast<qint64>(std::trunc(days)));
    if (date.year() < 1 || date.year() > 9999)
        raiseBeyondCalendar();
    return date;
}

double DateFormat::daysOf(QDate date)
{
    return static_cast<double>(epoch().daysTo(date));
}

QString DateFormat::formatDate(double days) const
{
    if (!m_numericOnly)
        return QLocale::c().toString(dateOf(days), m_shortDate);
    if (!std::isfinite(days) || std::fabs(days) > kLargestDayCount)
        raiseBeyondCalendar();
    const auto [year, month, day] =
        civilFromDays(static_cast<qint64>(std::trunc(days)) + kEpochFromUnixDays);
    if (year < 1 || year > 9999)
        raiseBeyondCalendar();
    char16_t text[kLongestNumericDate];
    qsizetype length = 0;
    for (const Piece& piece : m_pieces) {
        if (piece.field == 0) {
            std::copy_n(piece.literal.utf16(), piece.literal.size(), text + length);
            length += piece.literal.size();
            continue;
        }
        int value = piece.field == 'd' ? day : piece.field == 'M' ? month : year;
        char16_t digits[8];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0 && count < 8);
        for (int pad = count; pad < piece.width; ++pad)
            text[length++] = u'0';
        while (count > 0)
            text[length++] = digits[--count];
    }
    return QString::fromUtf16(text, length);
}

QString DateFormat::formatDateTime(double days) const
{
    const QString date = formatDate(days);
    const double fraction = std::fabs(days - std::trunc(days));
    const int milliseconds = static_cast<int>(std::lround(fraction * kMillisecondsPerDay));
    if (milliseconds == 0 || milliseconds >= 86'400'000)
        return date;
    return date + QLatin1Char(' ') +
           m_timeLocale.toString(QTime::fromMSecsSinceStartOfDay(milliseconds), m_longTime);
}

double DateFormat::parse(QStringView text) const
{
    // Lenient like the usual short-date readers: three numbers in pattern order separated by
    // any non-digit characters, then an optional time of day.
    int numbers[3] = {0, 0, 0};
    int widths[3] = {0, 0, 0};
    qsizetype pos = 0;
    const qsizetype end = text.size();
    const auto isDigit = [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    };
    const auto fail = [&]() -> double {
        throw KestrinError(conversionMessage(text));
    };

    while (pos < end && text[pos] == QLatin1Char(' '))
        ++pos;
    for (int field = 0; field < 3; ++field) {
        if (field > 0) {
            const qsizetype separatorStart = pos;
            while (pos < end && !isDigit(text[pos]) && text[pos] != QLatin1Char(' '))
                ++pos;
            while (pos < end && text[pos] == QLatin1Char(' ') && field < 3)
                ++pos;
            if (pos == separatorStart)
                return fail();
        }
        while (pos < end && isDigit(text[pos]) && widths[field] < 5) {
            numbers[field] = numbers[field] * 10 + (text[pos].unicode() - '0');
            ++widths[field];
            ++pos;
        }
        if (widths[field] == 0 || (pos < end && isDigit(text[pos])))
            return fail();
    }
    // A trailing separator that belongs to the pattern ("yyyy." in some locales) is allowed.
    while (pos < end && text[pos] != QLatin1Char(' ') && !isDigit(text[pos]))
        ++pos;

    int day = 0, month = 0, year = 0, yearWidth = 0;
    for (int i = 0; i < 3; ++i) {
        switch (m_order[i]) {
        case 'd':
            day = numbers[i];
            break;
        case 'M':
            month = numbers[i];
            break;
        default:
            year = numbers[i];
            yearWidth = widths[i];
            break;
        }
    }
    if (yearWidth <= 2) {
        // Two-digit years fall into the century window of the next 50 years around today.
        const int thisYear = QDate::currentDate().year();
        const int century = thisYear / 100 * 100;
        year += century;
        if (year > thisYear + 50)
            year -= 100;
        else if (year <= thisYear - 50)
            year += 100;
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return fail();
    double result = daysOf(date);

    while (pos < end && text[pos] == QLatin1Char(' '))
        ++pos;
    if (pos < end) {
        int parts[3] = {0, 0, 0};
        int count = 0;
        while (count < 3) {
            int width = 0;
            while (pos < end && isDigit(text[pos]) && width < 3) {
                parts[count] = parts[count] * 10 + (text[pos].unicode() - '0');
                ++width;
                ++pos;
            }
            if (width == 0)
                return fail();
            ++count;
            if (pos < end && text[pos] == QLatin1Char(':') && count < 3)
                ++pos;
            else
                break;
        }
        while (pos < end && text[pos] == QLatin1Char(' '))
            ++pos;
        // A twelve-hour clock ends in AM or PM, as the time is written.
        const QStringView rest = text.mid(pos);
        const bool am = rest.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0;
        const bool pm = rest.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
        if (am || pm) {
            if (parts[0] < 1 || parts[0] > 12)
                return fail();
            parts[0] = parts[0] % 12 + (pm ? 12 : 0);
            pos = end;
        }
        if (count < 2 || pos != end || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
            return fail();

        const double fraction = (parts[0] * 3600.0 + parts[1] * 60.0 + parts[2]) / 86400.0;
        result = result >= 0 ? result + fraction : result - fraction;
    }
    return result;
}
