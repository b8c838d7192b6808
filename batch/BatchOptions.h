#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// What one run of the command-line program is asked to do:
//   kestrin-batch INPUT [--from E --to E] [--start YYYY-MM-DD] [--level] --output OUTPUT
struct BatchOptions
{
    QString input;
    QString output;
    // Both or neither: without them the ends are chosen as the window's automatic mode does.
    std::optional<QString> startEvent;
    std::optional<QString> endEvent;
    std::optional<QDate> startDate;
    bool level = false;
    bool help = false;
};

namespace batchoptions {

// The options of the arguments (without the program's name). Raises a message saying what is
// wrong for an unknown option, a missing value or file, an unreadable date, one end without the
// other, or a suffix of the input or output that the program does not read or write.
BatchOptions parse(const QStringList& arguments);

// The text of --help: the usage in Russian, then in English.
QString helpText();

} // namespace batchoptions
