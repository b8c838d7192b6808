#include "BackgroundSimulation.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <exception>
#include <memory>
#include <optional>

namespace {

constexpr int kShownMilliseconds = 100;

} // namespace

risk::SimulationResult simulateInBackground(const risk::RiskNetwork& network,
                                            const risk::SimulationSettings& settings,
                                            const std::atomic<bool>& cancel,
                                            const std::function<void(qint64 runsDone)>& shown)
{
    std::atomic<qint64> done{0};
    std::optional<risk::SimulationResult> result;
    std::exception_ptr failure;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            result = risk::simulate(network, settings, [&](qint64 runsDone, qint64) {
                done = runsDone;
                return !cancel.load();
            });
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer progress;
    progress.setInterval(kShownMilliseconds);
    QObject::connect(&progress, &QTimer::timeout, &loop, [&] { shown(done.load()); });
    worker->start();
    progress.start();
    loop.exec();
    worker->wait();
    if (failure)
        std::rethrow_exception(failure);
    shown(result->runs());
    return std::move(*result);
}
