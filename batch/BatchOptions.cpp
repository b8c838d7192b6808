#include "BatchOptions.h"

#include "BatchFormats.h"
#include "KestrinError.h"

namespace batchoptions {

namespace {

[[noreturn]] void refuse(const QString& what)
{
    throw KestrinError(what + QStringLiteral(" (kestrin-batch --help: справка)"));
}

QString valueOf(const QStringList& arguments, qsizetype& at)
{
    const QString& option = arguments[at];
    if (at + 1 >= arguments.size())
        refuse(QStringLiteral("Для «%1» не указано значение").arg(option));
    return arguments[++at];
}

void checkSuffix(const QString& path, const QStringList& suffixes, const QString& role)
{
    if (!suffixes.contains(batchformats::suffixOf(path)))
        refuse(QStringLiteral("Вид %1 файла «%2» не известен: ожидается .%3")
                   .arg(role, path, suffixes.join(QStringLiteral(", ."))));
}

} // namespace

BatchOptions parse(const QStringList& arguments)
{
    BatchOptions options;
    for (qsizetype at = 0; at < arguments.size(); ++at) {
        const QString& argument = arguments[at];
        if (argument == u"--help" || argument == u"-h") {
            options.help = true;
            return options;
        }
        if (argument == u"--from") {
            options.startEvent = valueOf(arguments, at);
        } else if (argument == u"--to") {
            options.endEvent = valueOf(arguments, at);
        } else if (argument == u"--output" || argument == u"-o") {
            options.output = valueOf(arguments, at);
        } else if (argument == u"--level") {
            options.level = true;
        } else if (argument == u"--start") {
            const QString text = valueOf(arguments, at);
            const QDate date = QDate::fromString(text, Qt::ISODate);
            if (!date.isValid())
                refuse(QStringLiteral("Дата начала «%1» не в виде ГГГГ-ММ-ДД").arg(text));
            options.startDate = date;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            refuse(QStringLiteral("Неизвестный параметр «%1»").arg(argument));
        } else if (options.input.isEmpty()) {
            options.input = argument;
        } else {
            refuse(QStringLiteral("Лишний параметр «%1»: входной файл уже указан").arg(argument));
        }
    }
    if (options.input.isEmpty())
        refuse(QStringLiteral("Не указан входной файл"));
    if (options.output.isEmpty())
        refuse(QStringLiteral("Не указан выходной файл (--output)"));
    if (options.startEvent.has_value() != options.endEvent.has_value())
        refuse(QStringLiteral("Начальное и конечное события задаются вместе: --from и --to"));
    checkSuffix(options.input, batchformats::inputSuffixes(), QStringLiteral("входного"));
    checkSuffix(options.output, batchformats::outputSuffixes(), QStringLiteral("выходного"));
    return options;
}

QString helpText()
{
    return QStringLiteral(
        "Использование: kestrin-batch ВХОД [--from С --to С] [--start ГГГГ-ММ-ДД] [--level]\n"
        "                             --output ВЫХОД\n"
        "Читает сетевой график (.kdf, .kpl, .csv или MS Project XML .xml), рассчитывает его\n"
        "так же, как главное окно программы, и записывает результат в файл, вид которого\n"
        "задаёт расширение: .csv, .dbf, .xlsx, .xml (MS Project), .tjp (TaskJuggler), .kpl\n"
        "или .pdf (отчёт-таблица). В стандартный вывод печатается строка критического пути.\n"
        "  --from С, --to С      начальное и конечное события (без них они выбираются\n"
        "                        автоматически, как кнопкой «Автоматически»)\n"
        "  --start ГГГГ-ММ-ДД    дата начала работ\n"
        "  --level               выровнять загрузку ресурсов и напечатать второй строкой\n"
        "                        «Выровненная длина: N»\n"
        "  --output ВЫХОД        выходной файл\n"
        "  --help                эта справка\n"
        "При ошибке её текст печатается в стандартный поток ошибок, код завершения 1\n"
        "(2 при неверных параметрах).\n"
        "\n"
        "Usage: kestrin-batch INPUT [--from E --to E] [--start YYYY-MM-DD] [--level]\n"
        "                     --output OUTPUT\n"
        "Reads a network (.kdf, .kpl, .csv or MS Project XML .xml), calculates it exactly as the\n"
        "program's main window does and writes the result in the format the output's suffix\n"
        "names: .csv, .dbf, .xlsx, .xml (MS Project), .tjp (TaskJuggler), .kpl or .pdf (the\n"
        "table report). The critical path line is printed on standard output.\n"
        "  --from E, --to E      the start and end events (chosen automatically without them)\n"
        "  --start YYYY-MM-DD    the start date of the works\n"
        "  --level               level the resources and print \"Выровненная длина: N\" (the\n"
        "                        levelled length) as a second line\n"
        "  --output OUTPUT       the output file\n"
        "  --help                this help\n"
        "On failure the error text goes to standard error and the exit status is 1 (2 for\n"
        "wrong options).\n");
}

} // namespace batchoptions
