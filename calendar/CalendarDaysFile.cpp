#include "CalendarDaysFile.h"

#include "AtomicFile.h"
#include "InputFile.h"
#include "KestrinError.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

const QString kDayOff = QStringLiteral("выходной");
const QString kWorkingDay = QStringLiteral("рабочий");
constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
// Enough of a bad line to recognise it in the file.
constexpr qsizetype kShownLineLength = 60;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char(';') || c == QLatin1Char(',');
}

// Reads 'least' to 'most' digits at pos; -1 when there are fewer, or more follow.
int readNumber(QStringView text, qsizetype& pos, int least, int most)
{
    int value = 0;
    int digits = 0;
    while (pos < text.size() && isDigit(text[pos]) && digits < most) {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++digits;
        ++pos;
    }
    if (digits < least || (pos < text.size() && isDigit(text[pos])))
        return -1;
    return value;
}

void skipBlanks(QStringView text, qsizetype& pos)
{
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
}

struct Line
{
    QDate date;
    bool working = false;
};

enum class Problem { None, Format, NoSuchDate };

// One line without its comment, trimmed and not empty.
Problem parseLine(QStringView text, Line& line)
{
    qsizetype pos = 0;
    const int day = readNumber(text, pos, 1, 2);
    if (day < 0 || pos >= text.size() || text[pos++] != QLatin1Char('.'))
        return Problem::Format;
    const int month = readNumber(text, pos, 1, 2);
    if (month < 0 || pos >= text.size() || text[pos++] != QLatin1Char('.'))
        return Problem::Format;
    const int year = readNumber(text, pos, 4, 4);
    if (year < 0)
        return Problem::Format;

    const qsizetype dateEnd = pos;
    skipBlanks(text, pos);
    if (pos < text.size() && isSeparator(text[pos]))
        ++pos;
    skipBlanks(text, pos);
    if (pos == dateEnd)
        return Problem::Format;
    const qsizetype wordStart = pos;
    while (pos < text.size() && text[pos].isLetter())
        ++pos;
    const QStringView word = text.sliced(wordStart, pos - wordStart);
    if (word.compare(kDayOff, Qt::CaseInsensitive) == 0)
        line.working = false;
    else if (word.compare(kWorkingDay, Qt::CaseInsensitive) == 0)
        line.working = true;
    else
        return Problem::Format;
    for (; pos < text.size(); ++pos) {
        if (!text[pos].isSpace() && !isSeparator(text[pos]))
            return Problem::Format;
    }
    line.date = QDate(year, month, day);
    return year > 0 && line.date.isValid() ? Problem::None : Problem::NoSuchDate;
}

[[noreturn]] void raiseBadLine(const QString& fileName, int number, const QString& problem)
{
    throw KestrinError(QStringLiteral("Файл «%1», строка %2: %3; дни не загружены")
                           .arg(fileName, QString::number(number), problem));
}

QString shownLine(QStringView text)
{
    if (text.size() <= kShownLineLength)
        return text.toString();
    return text.first(kShownLineLength).toString() + QStringLiteral("…");
}

// The reader's own words for a file it does not read: a list of days never needs more than a
// megabyte.
QString unreadMessage(const InputFile::Failure& failure)
{
    QString reason = InputFile::reason(failure);
    if (failure.kind == InputFile::Failure::Kind::NotRegular)
        reason = QStringLiteral("это не обычный файл");
    else if (failure.kind == InputFile::Failure::Kind::TooLarge)
        reason = QStringLiteral("он больше 1 МБ, а выходные и рабочие дни даже многих лет "
                                "занимают несколько килобайт");
    return QStringLiteral("Файл «%1» не прочитан: %2").arg(failure.path, reason);
}

} // namespace

namespace calendardays {

CalendarExceptions decode(QByteArrayView bytes, const QString& fileName)
{
    if (bytes.startsWith(kByteOrderMark))
        bytes = bytes.sliced(kByteOrderMark.size());
    CalendarExceptions exceptions;
    int number = 0;
    while (!bytes.empty()) {
        ++number;
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView bytesOfLine = end < 0 ? bytes : bytes.first(end);
        bytes = end < 0 ? QByteArrayView() : bytes.sliced(end + 1);

        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(bytesOfLine);
        if (utf8.hasError())
            raiseBadLine(fileName, number, QStringLiteral("текст не в кодировке UTF-8"));
        QStringView content(text);
        if (const qsizetype comment = content.indexOf(QLatin1Char('#')); comment >= 0)
            content = content.first(comment);
        content = content.trimmed();
        if (content.isEmpty())
            continue;

        Line line;
        switch (parseLine(content, line)) {
        case Problem::Format:
            raiseBadLine(fileName, number,
                         QStringLiteral("«%1» — ожидается дата ДД.ММ.ГГГГ и слово «%2» или «%3»")
                             .arg(shownLine(content), kDayOff, kWorkingDay));
        case Problem::NoSuchDate:
            raiseBadLine(fileName, number,
                         QStringLiteral("«%1» — такой даты нет").arg(shownLine(content)));
        case Problem::None:
            break;
        }
        const auto [known, added] = exceptions.emplace(line.date, line.working);
        if (!added && known->second != line.working)
            raiseBadLine(fileName, number,
                         QStringLiteral("день %1 уже назван в файле как %2")
                             .arg(line.date.toString(QStringLiteral("dd.MM.yyyy")),
                                  known->second ? kWorkingDay : kDayOff));
    }
    return exceptions;
}

CalendarExceptions read(const QString& path)
{
    // Opened without waiting, so that a pipe with no writer is refused rather than waited for.
    InputFile file(path, kLargestFile, unreadMessage);
    file.open();
    const QByteArray bytes = file.readAll();
    return decode(bytes, QFileInfo(path).fileName());
}

QByteArray encode(const CalendarExceptions& exceptions)
{
    QString text = QStringLiteral("# Рабочий календарь: дата ДД.ММ.ГГГГ и «%1» или «%2»\n")
                       .arg(kDayOff, kWorkingDay);
    for (const auto& [date, working] : exceptions) {
        text += date.toString(QStringLiteral("dd.MM.yyyy"));
        text += QLatin1Char(' ');
        text += working ? kWorkingDay : kDayOff;
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

void write(const QString& path, const CalendarExceptions& exceptions)
{
    const QByteArray bytes = encode(exceptions);
    AtomicFile file(path);
    file.open();
    file.write(bytes);
    file.commit();
}

} // namespace calendardays
