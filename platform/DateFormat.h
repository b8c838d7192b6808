#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <vector>

// Date-time values as the work table knows them: a day count from 30 December 1899 (day 0) whose
// fraction is the time of day, shown in the user's short date format. The year is always written
// with four digits: some locales' short formats have two, and "30.12.99" would read back as 1999.
class DateFormat
{
public:
    explicit DateFormat(const QLocale& locale);
    // A format from an explicit Qt date pattern ("dd.MM.yyyy"); handy for tests.
    explicit DateFormat(QString shortDatePattern,
                        QString longTimePattern = QStringLiteral("HH:mm:ss"));

    static const DateFormat& system();

    // The Qt pattern in use, years widened to four digits.
    const QString& shortDatePattern() const { return m_shortDate; }

    static QDate epoch() { return QDate(1899, 12, 30); }
    // The calendar day that holds the value: day counts run from the epoch, the fraction is the
    // time of day (a negative value still counts its fraction forwards from its whole day, as the
    // day count convention has it). Raises "Invalid argument to date encode" beyond years 1..9999.
    static QDate dateOf(double days);
    static double daysOf(QDate date);

    // Short date text of the day that holds the value.
    QString formatDate(double days) const;
    // Short date text, a blank and the long time text; the time is left out at exactly midnight.
    QString formatDateTime(double days) const;

    // A date in the short date order, optionally followed by a time (h:mm or h:mm:ss). Raises
    // "'%s' is not a valid date and time" for anything else.
    double parse(QStringView text) const;

    static QString conversionMessage(QStringView text);
    // The error of a day beyond years 1..9999, for whoever finds such a day first.
    [[noreturn]] static void raiseBeyondCalendar();

private:
    // The short date pattern split into fields and literal text, when it holds nothing but
    // numeric day, month and year fields: the table's dates are then written without the
    // general pattern machinery.
    struct Piece
    {
        char field = 0; // 'd', 'M', 'y', or 0 for literal text
        int width = 0;  // digits of the field (at least)
        QString literal;
    };
    std::vector<Piece> m_pieces;
    bool m_numericOnly = false;

    QString m_shortDate;
    QString m_longTime;
    // Writes the time's words (AM and PM in some locales); numbers come out the same in any.
    QLocale m_timeLocale = QLocale::c();
    // Field order of the short date pattern: indices 0..2 hold 'd', 'M', 'y' in pattern order.
    char m_order[3] = {'d', 'M', 'y'};
};
