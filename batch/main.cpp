#include "BatchFormats.h"
#include "BatchOptions.h"
#include "BatchRun.h"

#include "ExceptionMessage.h"
#include "KestrinError.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

// kestrin-batch: the calculation of the main window for scripts, without a window. Exit status 0
// on success, 1 when the work fails, 2 when the arguments are wrong.
namespace {

void print(std::FILE* stream, const QString& line)
{
    std::fputs(line.toUtf8().constData(), stream);
    std::fputc('\n', stream);
}

enum ExitStatus { kSuccess = 0, kFailure = 1, kWrongArguments = 2 };

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    BatchOptions options;
    try {
        options = batchoptions::parse(arguments);
    } catch (const KestrinError& error) {
        print(stderr, error.message());
        return kWrongArguments;
    }
    if (options.help) {
        std::fputs(batchoptions::helpText().toUtf8().constData(), stdout);
        return kSuccess;
    }

    // The table report is painted with fonts, which only a QGuiApplication has; off screen, so
    // that the program needs no display. Everything else needs only the core of Qt, which starts
    // quicker.
    std::unique_ptr<QCoreApplication> application;
    if (batchformats::suffixOf(options.output) == u"pdf") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    try {
        const BatchReport report = runBatch(options);
        for (const QString& note : report.notes)
            print(stderr, note);
        for (const QString& line : report.output)
            print(stdout, line);
        return kSuccess;
    } catch (...) {
        print(stderr, messageOfCurrentException());
        return kFailure;
    }
}
