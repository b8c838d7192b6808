#include "PsplibInstance.h"

#include "KestrinError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

QList<int> numbersIn(const QString& line)
{
    QList<int> numbers;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString& word : line.split(blanks, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = word.toInt(&ok);
        if (!ok)
            return {};
        numbers.append(value);
    }
    return numbers;
}

[[noreturn]] void fail(const QString& path, const QString& what)
{
    throw KestrinError(QStringLiteral("%1: %2").arg(path, what));
}

} // namespace

LevellingProblem readPsplibInstance(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(path, QStringLiteral("cannot open"));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    enum class Part { None, Precedence, Requests, Capacities } part = Part::None;
    int jobs = 0;
    LevellingProblem problem;
    std::vector<std::vector<int>> requests;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("jobs (incl. supersource/sink )")))
            jobs = line.section(QLatin1Char(':'), 1).trimmed().toInt();
        else if (line.startsWith(QLatin1String("PRECEDENCE RELATIONS")))
            part = Part::Precedence;
        else if (line.startsWith(QLatin1String("REQUESTS/DURATIONS")))
            part = Part::Requests;
        else if (line.startsWith(QLatin1String("RESOURCEAVAILABILITIES")))
            part = Part::Capacities;
        else if (line.startsWith(QLatin1Char('*')))
            part = Part::None;
        const QList<int> numbers = numbersIn(line);
        if (numbers.isEmpty())
            continue;
        switch (part) {
        case Part::Precedence:
            // job, modes, successor count, successors
            if (numbers.size() < 3 || numbers.size() != 3 + numbers[2])
                fail(path, QStringLiteral("bad precedence line: ") + line);
            for (int i = 3; i < numbers.size(); ++i)
                problem.precedences.push_back({numbers[0] - 1, numbers[i] - 1});
            break;
        case Part::Requests:
            // job, mode, duration, requests
            if (numbers.size() < 3)
                fail(path, QStringLiteral("bad request line: ") + line);
            problem.durations.push_back(numbers[2]);
            requests.emplace_back(numbers.begin() + 3, numbers.end());
            break;
        case Part::Capacities:
            problem.capacities.assign(numbers.begin(), numbers.end());
            break;
        case Part::None:
            break;
        }
    }
    if (jobs == 0 || problem.activityCount() != jobs || problem.capacities.empty())
        fail(path, QStringLiteral("not a single-mode instance"));
    for (const std::vector<int>& request : requests) {
        if (request.size() != problem.capacities.size())
            fail(path, QStringLiteral("requests do not match the resources"));
        problem.demands.insert(problem.demands.end(), request.begin(), request.end());
    }
    for (const Precedence& link : problem.precedences)
        if (link.after < 0 || link.after >= jobs || link.before < 0 || link.before >= jobs)
            fail(path, QStringLiteral("successor out of range"));
    return problem;
}

QHash<QString, KnownLength> readKnownLengths(const QString& csvPath)
{
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw KestrinError(csvPath + QStringLiteral(": cannot open"));
    QHash<QString, KnownLength> lengths;
    QTextStream in(&file);
    in.readLine(); // header
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().trimmed().split(QLatin1Char(','));
        if (fields.size() != 2)
            continue;
        const QStringList bounds = fields[1].split(QLatin1String(".."));
        const int lower = bounds.front().toInt();
        lengths.insert(fields[0], {lower, bounds.back().toInt()});
    }
    return lengths;
}

QString psplibFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("KESTRIN_PSPLIB");
    return fromEnvironment.isEmpty() ? QStringLiteral(KESTRIN_PSPLIB_DIR) : fromEnvironment;
}
