#pragma once

#include "KestrinError.h"
#include "MemoryDataSet.h"
#include "Pictures.h"
#include "ReportLayout.h"

#include <QDate>
#include <QMutex>
#include <QSet>
#include <QThread>

#include <atomic>

// A realistic band report for tests, the benchmark and the documentation picture: the printed
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

inline QFont font(const char* family, qreal points, bool bold = false, bool italic = false)
{
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

inline constexpr qreal kHeaderHeight = 54.50;
inline constexpr qreal kTitleHeight = 14.29;
inline constexpr qreal kDetailHeight = 6.35;
inline constexpr qreal kFooterHeight = 10.58;

inline ReportLayout layout()
{
    ReportLayout l;
    l.font = font("Arial", 10);

    ReportBand& header = l.addBand(BandKind::PageHeader, kHeaderHeight);
    header.add(ReportElement::picture({42.33, 5.29, 8.47, 8.47}, windowIconPixmap(32).toImage(),
                                      ImageFit::Stretch));
    header.add(
        ReportElement::label({52.12, 6.35, 0, 6.35}, QStringLiteral("Расчёт сетевых графиков"))
            .fits()
            .withFont(font("Courier New", 16, true, true)));
    header.add(ReportElement::label({79.64, 14.02, 0, 6.35}, QStringLiteral("Kestrin"))
                   .fits()
                   .withFont(font("Arial Black", 12, true)));
    header.add(ReportElement::label({100.54, 14.82, 0, 5.03}, QStringLiteral("v 2.2"))
                   .fits()
                   .withFont(font("Arial", 12, true, true))
                   .withColour(QColor(0x80, 0x80, 0x80)));
    header.add(ReportElement::shapeBox({97.37, 26.72, 91.28, 0.26}, ShapeKind::Rectangle));
    header.add(
        ReportElement::label({99.48, 27.52, 0, 4.50}, QStringLiteral("Метод критического пути"))
            .fits());
    header.add(
        ReportElement::label({99.48, 31.75, 0, 4.50}, QStringLiteral("Сетевое планирование работ"))
            .fits());
    header.add(ReportElement::shapeBox({97.37, 37.31, 91.28, 0.26}, ShapeKind::Rectangle));
    header.add(
        ReportElement::label({99.48, 38.10, 0, 4.50}, QStringLiteral("Дата печати :")).fits());
    header.add(ReportElement::systemData({160.87, 38.10, 0, 4.50}, SystemField::PrintDateTime)
                   .fits()
                   .withName(QStringLiteral("printDate")));
    header.add(ReportElement::label({99.48, 42.33, 0, 4.50}, QStringLiteral("Страница :")).fits());
    header.add(ReportElement::systemData({160.87, 42.33, 27.78, 4.50}, SystemField::PageNumber,
                                         Qt::AlignRight)
                   .withName(QStringLiteral("pageNumber")));

    ReportBand& title = l.addBand(BandKind::Title, kTitleHeight);
    title.add(ReportElement::shapeBox({1.59, 0.00, 187.06, 13.49}, ShapeKind::Rectangle));
    title.add(ReportElement::shapeBox({1.85, 14.02, 186.80, 1.06}, ShapeKind::HorizontalLine));
    const struct
    {
        const char* text;
        QRectF box;
    } headings[] = {
        {"К-во предид. работ", {2.65, 0.79, 12.96, 12.44}},
        {"Начало работы", {16.14, 5.03, 28.05, 5.82}},
        {"Конец работы", {44.45, 5.03, 27.78, 5.82}},
        {"Продолжит.", {73.82, 5.03, 19.58, 5.82}},
        {"В.Р.Н.", {94.99, 5.03, 11.91, 5.82}},
        {"В.Р.О.", {107.69, 5.03, 11.91, 5.82}},
        {"В.П.Н.", {120.65, 5.03, 11.91, 5.82}},
        {"В.П.О.", {133.09, 5.03, 11.91, 5.82}},
        {"О.З.В.", {145.79, 5.03, 11.91, 5.82}},
        {"Ч.З.В.", {158.49, 5.03, 11.91, 5.82}},
        {"Дата начала", {171.45, 2.91, 16.14, 8.73}},
    };
    for (const auto& h : headings) {
        ReportElement& e = title.add(ReportElement::label(h.box, QString::fromUtf8(h.text)));
        e.alignment = Qt::AlignHCenter;
    }

    ReportBand& detail = l.addBand(BandKind::Detail, kDetailHeight);
    detail.add(ReportElement::shapeBox({1.59, 0.00, 186.80, 6.35}, ShapeKind::LeftAndRightLines));
    detail.add(ReportElement::shapeBox({1.85, 5.56, 186.80, 1.06}, ShapeKind::HorizontalLine));
    detail.add(ReportElement::shapeBox({1.85, -0.79, 186.80, 1.06}, ShapeKind::HorizontalLine));
    for (const qreal x :
         {14.82, 44.45, 71.97, 93.13, 106.89, 119.06, 132.03, 144.46, 157.16, 169.33})
        detail.add(ReportElement::shapeBox({x, 0.00, 2.12, x == 71.97 ? 6.61 : 6.35},
                                           ShapeKind::VerticalLine));
    const struct
    {
        qreal x;
        qreal w;
        Qt::Alignment alignment;
    } fields[] = {
        {2.38, 12.70, Qt::AlignRight},   {16.67, 28.05, Qt::AlignLeft},
        {46.57, 25.66, Qt::AlignLeft},   {74.08, 19.58, Qt::AlignRight},
        {95.51, 11.91, Qt::AlignRight},  {108.21, 11.38, Qt::AlignRight},
        {120.91, 11.91, Qt::AlignRight}, {133.88, 11.38, Qt::AlignRight},
        {146.31, 11.38, Qt::AlignRight}, {159.01, 10.85, Qt::AlignRight},
        {170.92, 16.40, Qt::AlignRight},
    };
    for (int i = 0; i < 11; ++i) {
        ReportElement& e =
            detail.add(ReportElement::dataField({fields[i].x, 1.06, fields[i].w, 4.50},
                                                fieldNames()[i].toUpper(), fields[i].alignment));
        if (i == 10) {
            e.font = font("Arial", 10, false, true);
            // Four-digit years are wider than the column.
            e.shrinkToFit = true;
        }
    }

    l.addBand(BandKind::PageFooter, kFooterHeight);
    return l;
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

private:
    mutable QMutex m_mutex;
    mutable QSet<QThread*> m_threads;
    mutable std::atomic<long long> m_reads{0};
};

} // namespace tablelike
