#include "ReportRunner.h"

#include "ExceptionMessage.h"

#include <QElapsedTimer>

namespace report {

namespace {

constexpr int kBatchPages = 32;
constexpr qint64 kBatchMilliseconds = 100;

} // namespace

ReportRunner::ReportRunner(const ReportLayout& layout, const DataSet* data, QObject* parent)
    : QObject(parent), m_layout(std::make_shared<const ReportLayout>(layout)), m_data(data),
      m_binding(bindFields(*m_layout, data)), m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("report pages"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

ReportRunner::~ReportRunner()
{
    m_stopping = true;
    for (const auto& flag : std::as_const(m_cancelFlags))
        *flag = true;
    m_thread.quit();
    m_thread.wait();
}

int ReportRunner::start()
{
    const int pass = ++m_lastPass;
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    m_cancelFlags.insert(pass, cancelled);
    QMetaObject::invokeMethod(
        m_worker, [this, pass, cancelled] { runPass(pass, cancelled); }, Qt::QueuedConnection);
    return pass;
}

void ReportRunner::cancel(int pass)
{
    if (const auto flag = m_cancelFlags.value(pass))
        *flag = true;
}

// Runs on the worker thread. Results travel back as functors posted to the runner, so they are
// dropped unseen if the runner is gone by then.
void ReportRunner::runPass(int pass, std::shared_ptr<std::atomic_bool> cancelled)
{
    const auto isCancelled = [&] {
        return m_stopping.load() || cancelled->load();
    };
    QList<MadePage> batch;
    QElapsedTimer sinceFlush;
    sinceFlush.start();
    bool anySent = false;
    const auto flush = [&] {
        if (batch.isEmpty())
            return;
        QMetaObject::invokeMethod(
            this, [this, pass, pages = std::move(batch)] { emit pagesMade(pass, pages); },
            Qt::QueuedConnection);
        batch = QList<MadePage>();
        anySent = true;
        sinceFlush.restart();
    };

    QString error;
    bool completed = false;
    if (!isCancelled()) {
        try {
            PageMaker maker(*m_layout, m_data, m_binding);
            completed = maker.run(
                [&](MadePage&& page) {
                    batch.append(std::move(page));
                    if (!anySent || batch.size() >= kBatchPages ||
                        sinceFlush.elapsed() >= kBatchMilliseconds)
                        flush();
                },
                isCancelled);
        } catch (...) {
            // Nothing may escape the worker thread: it would end the program.
            error = messageOfCurrentException();
        }
    }
    flush();
    const bool wasCancelled = !completed && error.isEmpty();
    QMetaObject::invokeMethod(
        this,
        [this, pass, wasCancelled, error] {
            m_cancelFlags.remove(pass);
            emit finished(pass, wasCancelled, error);
        },
        Qt::QueuedConnection);
}

} // namespace report
