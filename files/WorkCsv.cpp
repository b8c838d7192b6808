#include "WorkCsv.h"

#include "AtomicFile.h"
#include "DelimitedText.h"
#include "DetailRules.h"
#include "InputFile.h"
#include "IoError.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "Progress.h"
#include "Windows1251.h"
#include "WorkCells.h"
#include "WorkInputCheck.h"
#include "WorkTable.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

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

// Whether the works' text carries the details: only when there are any to carry.
bool carriesDetails(const WorkTable& table, const Plan& plan)
{
    return table.rowsWithDetails() > 0 || !plan.resources().empty();
}

// The grid's captions, then the details' when they are carried.
void appendHeading(QString& line, QChar separator, const Plan* plan)
{
    for (int column = 0; column < kWorkColumnCount; ++column) {
        if (column > 0)
            line.append(separator);
        delimitedtext::appendField(line, workColumnCaption(static_cast<WorkColumn>(column)),
                                   separator);
    }
    if (!plan)
        return;
    const auto append = [&](const QString& caption) {
        line.append(separator);
        delimitedtext::appendField(line, caption, separator);
    };
    append(detailrules::nameCaption());
    for (int k = 0; k < kDetailNumberCount; ++k)
        append(detailrules::numberCaption(DetailNumber(k)));
    for (const Resource& resource : plan->resources())
        append(resource.name);
}

// A detail's number as the shortest text that reads back to the same double, in the user's
// decimal separator: the general number text keeps 15 digits, and a value that went out through
// a spreadsheet file must come back exactly (the program's own parser reads both forms).
QString exactNumberText(double value, const NumberFormat& numbers)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    text.replace(u'.', numbers.decimalSeparator());
    return text;
}

void appendDetails(QString& line, const WorkTable& table, int row, const Plan& plan,
                   const NumberFormat& numbers, QChar separator, Formulas formulas)
{
    const QStringView encoded = table.detailsText(row);
    const WorkDetails details = encoded.isEmpty() ? WorkDetails() : WorkDetails::decode(encoded);
    line.append(separator);
    if (formulas == Formulas::Guarded && delimitedtext::needsFormulaGuard(details.name))
        delimitedtext::appendField(line, delimitedtext::formulaGuarded(details.name), separator);
    else
        delimitedtext::appendField(line, details.name, separator);
    const auto appendNumber = [&](std::optional<double> value) {
        line.append(separator);
        if (value)
            delimitedtext::appendField(line, exactNumberText(*value, numbers), separator);
    };
    for (int k = 0; k < kDetailNumberCount; ++k)
        appendNumber(details.number(DetailNumber(k)));
    for (const Resource& resource : plan.resources())
        appendNumber(details.demand(resource.id));
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

// Where the details stand in a line, by field number; -1 where a detail has no column.
struct DetailPlaces
{
    qsizetype name = -1;
    std::array<qsizetype, kDetailNumberCount> numbers{-1, -1, -1, -1, -1};
    std::vector<std::pair<ResourceId, qsizetype>> demands;

    bool any() const
    {
        if (name >= 0 || !demands.empty())
            return true;
        for (qsizetype place : numbers) {
            if (place >= 0)
                return true;
        }
        return false;
    }
};

bool sameCaption(const QString& field, const QString& caption)
{
    return field.compare(caption, Qt::CaseInsensitive) == 0;
}

// The places of the detail columns of a heading line: the details' captions, then the names of
// the plan's resources, each taken once; the input columns' places are not looked at again.
DetailPlaces detailPlaces(const QStringList& fields, const Layout& inputs, const Plan& plan)
{
    DetailPlaces places;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (std::find(inputs.begin(), inputs.end(), i) != inputs.end())
            continue;
        const QString field = fields[i].trimmed();
        if (places.name < 0 && sameCaption(field, detailrules::nameCaption())) {
            places.name = i;
            continue;
        }
        bool taken = false;
        for (int k = 0; k < kDetailNumberCount && !taken; ++k) {
            if (places.numbers[std::size_t(k)] < 0 &&
                sameCaption(field, detailrules::numberCaption(DetailNumber(k)))) {
                places.numbers[std::size_t(k)] = i;
                taken = true;
            }
        }
        for (const Resource& resource : plan.resources()) {
            if (taken)
                break;
            const bool placed =
                std::any_of(places.demands.begin(), places.demands.end(),
                            [&](const auto& demand) { return demand.first == resource.id; });
            if (!placed && field == resource.name.trimmed()) {
                places.demands.emplace_back(resource.id, i);
                taken = true;
            }
        }
    }
    return places;
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

QString unguardedText(QStringView text, Formulas formulas)
{
    if (formulas == Formulas::Guarded && !text.isEmpty() && text.front() == u'\'')
        return delimitedtext::formulaUnguarded(text);
    return text.toString();
}

// The details of a line by the places of the heading; raises the first value that is not a
// number or the first rule of the details broken.
WorkDetails detailsOf(const QStringList& fields, const DetailPlaces& places, Formulas formulas,
                      const Plan& plan, const NumberFormat& numbers)
{
    WorkDetails details;
    if (places.name >= 0)
        details.name = unguardedText(fieldAt(fields, places.name), formulas);
    for (int k = 0; k < kDetailNumberCount; ++k) {
        if (const qsizetype place = places.numbers[std::size_t(k)]; place >= 0)
            details.setNumber(DetailNumber(k),
                              detailrules::parseNumber(fieldAt(fields, place).trimmed(),
                                                       detailrules::numberWord(DetailNumber(k)),
                                                       numbers));
    }
    for (const auto& [resource, place] : places.demands) {
        details.setDemand(resource,
                          detailrules::parseNumber(
                              fieldAt(fields, place).trimmed(),
                              detailrules::demandWord(plan.resource(resource)->name), numbers));
    }
    if (const QString problem = detailrules::ownProblem(details, plan); !problem.isEmpty())
        throw KestrinError(problem);
    return details;
}

// The works of delimited text (see the header). failure(line, problem) makes the message.
WorkInputs worksOf(QStringView text, QChar separator, Formulas formulas,
                   const NumberFormat& numbers, const Plan& plan,
                   const std::function<QString(int line, const QString& problem)>& failure)
{
    WorkInputs works;
    std::optional<Layout> heading;
    DetailPlaces places;
    bool first = true;
    QString unguarded[3];
    const int unclosed =
        delimitedtext::forEachRecord(text, separator, [&](const QStringList& fields, int line) {
            progress::step(u"Чтение работ", line, -1);
            if (first) {
                first = false;
                heading = headingLayout(fields);
                if (heading) {
                    places = detailPlaces(fields, *heading, plan);
                    return;
                }
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
            if (!places.any()) {
                works.append(inputs[0], inputs[1], inputs[2]);
                return;
            }
            WorkDetails details;
            try {
                details = detailsOf(fields, places, formulas, plan, numbers);
            } catch (const KestrinError& error) {
                throw KestrinError(failure(line, error.message()));
            }
            works.append(inputs[0], inputs[1], inputs[2], details);
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
    appendHeading(line, kCsvSeparator, nullptr);
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

QByteArray encode(const WorkTable& table, const Plan& plan, const NumberFormat& numbers)
{
    if (!carriesDetails(table, plan))
        return encode(static_cast<const WorkCells&>(table));
    QString line;
    appendHeading(line, kCsvSeparator, &plan);
    QByteArray bytes(kByteOrderMark);
    bytes.append(line.toUtf8());
    bytes.append("\r\n");
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Запись файла CSV", row, rows);
        line.clear();
        appendRow(line, table, row, kCsvSeparator, Formulas::Guarded);
        appendDetails(line, table, row, plan, numbers, kCsvSeparator, Formulas::Guarded);
        bytes.append(line.toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    AtomicFile file(path);
    file.open();
    file.write(bytes);
    file.commit();
}

void write(const QString& path, const WorkCells& table)
{
    writeBytes(path, encode(table));
}

void write(const QString& path, const WorkTable& table, const Plan& plan,
           const NumberFormat& numbers)
{
    writeBytes(path, encode(table, plan, numbers));
}

WorkInputs decode(QByteArrayView bytes, const NumberFormat& numbers, const QString& fileName)
{
    return decode(bytes, numbers, fileName, Plan());
}

WorkInputs decode(QByteArrayView bytes, const NumberFormat& numbers, const QString& fileName,
                  const Plan& plan)
{
    WorkInputs works =
        worksOf(decodeText(bytes), kCsvSeparator, Formulas::Guarded, numbers, plan,
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

WorkInputs read(const QString& path, const NumberFormat& numbers, const Plan& plan)
{
    return decode(readFile(path), numbers, QFileInfo(path).fileName(), plan);
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

QString clipboardText(const WorkTable& table, const Plan& plan, const NumberFormat& numbers,
                      int first, int count)
{
    if (!carriesDetails(table, plan))
        return clipboardText(static_cast<const WorkCells&>(table), first, count);
    QString text;
    appendHeading(text, kTab, &plan);
    text.append(u'\n');
    for (int row = first; row < first + count; ++row) {
        progress::step(u"Копирование работ", row - first, count);
        appendRow(text, table, row, kTab, Formulas::AsTheyStand);
        appendDetails(text, table, row, plan, numbers, kTab, Formulas::AsTheyStand);
        text.append(u'\n');
    }
    return text;
}

WorkInputs pastedWorks(QStringView text, const NumberFormat& numbers)
{
    return pastedWorks(text, numbers, Plan());
}

WorkInputs pastedWorks(QStringView text, const NumberFormat& numbers, const Plan& plan)
{
    const QChar separator = text.contains(kTab) ? kTab : kCsvSeparator;
    return worksOf(text, separator, Formulas::AsTheyStand, numbers, plan,
                   [](int line, const QString& problem) {
                       return QStringLiteral(
                                  "Строка %1 вставляемого текста: %2; ничего не вставлено")
                           .arg(QString::number(line), problem);
                   });
}

} // namespace workcsv
