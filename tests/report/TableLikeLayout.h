#pragma once

#include "KestrinError.h"
#include "MemoryDataSet.h"
#include "Pictures.h"
#include "ReportLayout.h"
#include "TfmReport.h"

#include <QDate>
#include <QMutex>
#include <QSet>
#include <QThread>

#include <atomic>
#include <stdexcept>

// The table report over synthetic records, for the engine's tests and the benchmark: the printed
// work table with its page header, framed column headings and ruled detail rows of eleven fields.
namespace tablelike {

using namespace report;

inline const QStringList& fieldNames()
{
    static const QStringList names = {
        QStringLiteral("PevJobs"), QStringLiteral("pFrom"),    QStringLiteral("pTo"),
        QStringLiteral("mLength"), QStringLiteral("fl1"),      QStringLiteral("fl2"),
        QStringLiteral("fl3"),     QStringLiteral("fl4"),      QStringLiteral("fl5"),
        QStringLiteral("fl6"),     QStringLiteral("BeginDate")};
    return names;
}

inline constexpr qreal kHeaderHeight = 54.50;
inline constexpr qreal kTitleHeight = 14.29;
inline constexpr qreal kDetailHeight = 6.35;
inline constexpr qreal kFooterHeight = 10.58;

// The program's own table report layout.
inline ReportLayout layout()
{
    return tableReportLayout();
}

inline QStringList record(int i)
{
    const double start = i * 2.5;
    return {QString::number(i % 4),
            QStringLiteral("Событие %1").arg(i),
            QStringLiteral("Событие %1").arg(i + 1),
            QStringLiteral("2,5"),
            QString::number(start).replace(QLatin1Char('.'), QLatin1Char(',')),
            QString::number(start + 2.5).replace(QLatin1Char('.'), QLatin1Char(',')),
            QString::number(start + 1).replace(QLatin1Char('.'), QLatin1Char(',')),
            QString::number(start + 3.5).replace(QLatin1Char('.'), QLatin1Char(',')),
            QStringLiteral("1"),
            QStringLiteral("0"),
            QDate(2026, 12, 7).addDays(i / 4).toString(QStringLiteral("dd.MM.yyyy"))};
}

// Records of the table; remembers which threads read it and can be slowed down or made to fail,
// to watch the engine's threading.
class DataSet : public MemoryDataSet
{
public:
    explicit DataSet(int records) : MemoryDataSet(fieldNames())
    {
        reserve(records);
        for (int i = 0; i < records; ++i)
            appendRecord(record(i));
    }

    QString displayText(int record, int field) const override
    {
        {
            const QMutexLocker lock(&m_mutex);
            m_threads.insert(QThread::currentThread());
        }
        ++m_reads;
        if (record == failAt && failsAsInternalFault)
            throw std::out_of_range("record out of range");
        if (record == failAt)
            throw KestrinError(QStringLiteral("Запись %1 не читается").arg(record));
        if (microsecondsPerRecord > 0 && field == 0)
            QThread::usleep(microsecondsPerRecord);
        return MemoryDataSet::displayText(record, field);
    }

    QSet<QThread*> readingThreads() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_threads;
    }
    long long reads() const { return m_reads.load(); }

    unsigned long microsecondsPerRecord = 0;
    int failAt = -1;
    // Fails with a fault of the program's own (any exception but its error type).
    bool failsAsInternalFault = false;

private:
    mutable QMutex m_mutex;
    mutable QSet<QThread*> m_threads;
    mutable std::atomic<long long> m_reads{0};
};

} // namespace tablelike
