#include "WorkCsv.h"

#include "AtomicFile.h"
#include "DelimitedText.h"
#include "InputFile.h"
#include "IoError.h"
#include "KestrinError.h"
#include "Progress.h"
#include "Windows1251.h"
#include "WorkCells.h"
#include "WorkInputCheck.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr QChar kCsvSeparator = u';';
constexpr QChar kTab = u'\t';
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr WorkColumn kInputColumns[] = {WorkColumn::StartEvent, WorkColumn::EndEvent,
                                        WorkColumn::Duration};

bool isInputColumn(int column)
{
    return column >= columnIndex(WorkColumn::StartEvent) &&
           column <= columnIndex(WorkColumn::Duration);
}

// The computed columns hold the program's own numbers and dates, never guarded.
enum class Formulas { AsTheyStand, Guarded };

void appendRow(QString& line, const WorkCells& table, int row, QChar separator, Formulas formulas)
{
    for (int column = 0; column < kWorkColumnCount; ++column) {
        if (column > 0)
            line.append(separator);
        const QStringView cell = table.cellView(static_cast<WorkColumn>(column), row);
        if (formulas == Formulas::Guarded && isInputColumn(column) &&
            delimitedtext::needsFormulaGuard(cell))
            delimitedtext::appendField(line, delimitedtext::formulaGuarded(cell), separator);
        else
            delimitedtext::appendField(line, cell, separator);
    }
}

// Where a line's start event, end event and duration stand, by field number.
using Layout = std::array<qsizetype, 3>;
constexpr Layout kThreeColumns{0, 1, 2};
constexpr Layout kTableColumns{1, 2, 3};

// The places of the input columns' captions in a heading line, if the line is one.
std::optional<Layout> headingLayout(const QStringList& fields)
{
    Layout layout{-1, -1, -1};
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString field = fields[i].trimmed();
        for (std::size_t k = 0; k < layout.size(); ++k) {
            if (layout[k] < 0 &&
                field.compare(workColumnCaption(kInputColumns[k]), Qt::CaseInsensitive) == 0)
                layout[k] = i;
        }
    }
    for (qsizetype place : layout) {
        if (place < 0)
            return std::nullopt;
    }
    return layout;
}

QStringView fieldAt(const QStringList& fields, qsizetype place)
{
    return place < fields.size() ? QStringView(fields[place]) : QStringView();
}

bool allEmpty(const QStringList& fields)
{
    for (const QString& field : fields) {
        if (!field.isEmpty())
            return false;
    }
    return true;
}

// The works of delimited text (see the header). failure(line, problem) makes the message.
WorkInputs worksOf(QStringView text, QChar separator, Formulas formulas,
                   const NumberFormat& numbers,
                   const std::function<QString(int line, const QString& problem)>& failure)
{
    WorkInputs works;
    std::optional<Layout> heading;
    bool first = true;
    QString unguarded[3];
    const int unclosed =
        delimitedtext::forEachRecord(text, separator, [&](const QStringList& fields, int line) {
            progress::step(u"Чтение работ", line, -1);
            if (first) {
                first = false;
                heading = headingLayout(fields);
                if (heading)
                    return;
            }
            if (allEmpty(fields))
                return;
            const Layout& layout =
                heading ? *heading
                        : (fields.size() == kWorkColumnCount ? kTableColumns : kThreeColumns);
            QStringView inputs[3];
            for (std::size_t k = 0; k < layout.size(); ++k) {
                inputs[k] = fieldAt(fields, layout[k]);
                if (formulas == Formulas::Guarded && !inputs[k].isEmpty() &&
                    inputs[k].front() == u'\'') {
                    unguarded[k] = delimitedtext::formulaUnguarded(inputs[k]);
                    inputs[k] = unguarded[k];
                }
            }
            const WorkInputCheck check(inputs[0], inputs[1], inputs[2], numbers);
            if (!check.accepted())
                throw KestrinError(failure(line, check.problem()));
            works.append(inputs[0], inputs[1], inputs[2]);
        });
    if (unclosed > 0)
        throw KestrinError(failure(unclosed, QStringLiteral("кавычка не закрыта")));
    works.squeeze();
    return works;
}

QString decodeText(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView(kByteOrderMark)))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return windows1251::decode(bytes);
}

QByteArray readFile(const QString& path)
{
    InputFile file(path, workcsv::kMaxBytes, [&path](const InputFile::Failure& failure) {
        return ioerror::inputFailureMessage(failure, path);
    });
    file.open();
    return file.readAll();
}

} // namespace

namespace workcsv {

QByteArray encode(const WorkCells& table)
{
    QString line;
    for (int column = 0; column < kWorkColumnCount; ++column) {
        if (column > 0)
            line.append(kCsvSeparator);
        delimitedtext::appendField(line, workColumnCaption(static_cast<WorkColumn>(column)),
                                   kCsvSeparator);
    }
    QByteArray bytes(kByteOrderMark);
    bytes.append(line.toUtf8());
    bytes.append("\r\n");
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Запись файла CSV", row, rows);
        line.clear();
        appendRow(line, table, row, kCsvSeparator, Formulas::Guarded);
        bytes.append(line.toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

void write(const QString& path, const WorkCells& table)
{
    const QByteArray bytes = encode(table);
    AtomicFile file(path);
    file.open();
    file.write(bytes);
    file.commit();
}

WorkInputs decode(QByteArrayView bytes, const NumberFormat& numbers, const QString& fileName)
{
    WorkInputs works =
        worksOf(decodeText(bytes), kCsvSeparator, Formulas::Guarded, numbers,
                [&fileName](int line, const QString& problem) {
                    return QStringLiteral("Файл «%1», строка %2: %3; работы не прочитаны")
                        .arg(fileName, QString::number(line), problem);
                });
    if (works.rowCount() == 0)
        throw KestrinError(QStringLiteral("В файле «%1» нет элементов графика; работы не прочитаны")
                               .arg(fileName));
    return works;
}

WorkInputs read(const QString& path, const NumberFormat& numbers)
{
    return decode(readFile(path), numbers, QFileInfo(path).fileName());
}

QString clipboardText(const WorkCells& table, int first, int count)
{
    QString text;
    for (int row = first; row < first + count; ++row) {
        progress::step(u"Копирование работ", row - first, count);
        appendRow(text, table, row, kTab, Formulas::AsTheyStand);
        text.append(u'\n');
    }
    return text;
}

WorkInputs pastedWorks(QStringView text, const NumberFormat& numbers)
{
    const QChar separator = text.contains(kTab) ? kTab : kCsvSeparator;
    return worksOf(
        text, separator, Formulas::AsTheyStand, numbers, [](int line, const QString& problem) {
            return QStringLiteral("Строка %1 вставляемого текста: %2; ничего не вставлено")
                .arg(QString::number(line), problem);
        });
}

} // namespace workcsv
