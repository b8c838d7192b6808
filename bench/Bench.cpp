#include "Bench.h"

#include <QTextStream>

#include <algorithm>
#include <sys/resource.h>

namespace bench {

double seconds(const std::function<void()>& fn, int repeats)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

double peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void report(const QString& name, const QString& figure)
{
    QTextStream out(stdout);
    out << name.leftJustified(60, QLatin1Char(' ')) << ' ' << figure << Qt::endl;
}

} // namespace bench
