#pragma once

#include "PageMaker.h"
#include "ReportLayout.h"

#include <QHash>
#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

namespace report {

class DataSet;

// Makes the pages of a report on a worker thread of its own.
//
// The layout is copied when the runner is made, and the data fields are bound then, on the
// caller's thread; from then on the data set is read only by the worker, one pass at a time.
// Passes run one after another in the order they were started. Made pages come back to the
// runner's thread in batches through `pagesMade` (the first page at once, then every few dozen
// pages or tenths of a second), so a view can show and count them while the rest are made.
// Destroying the runner stops the pass under way and waits for the worker: once the destructor
// has returned, nothing reads the data set any more.
class ReportRunner : public QObject
{
    Q_OBJECT

public:
    // Raises "Поле «NAME» не найдено" when an open data set lacks a field of the layout.
    ReportRunner(const ReportLayout& layout, const DataSet* data, QObject* parent = nullptr);
    ~ReportRunner() override;

    const std::shared_ptr<const ReportLayout>& layout() const { return m_layout; }

    // Starts a pass that makes every page anew from the data set; returns its number.
    int start();
    // Stops the pass soon; it then finishes with an empty error text.
    void cancel(int pass);

signals:
    void pagesMade(int pass, const QList<report::MadePage>& pages);
    // After the pass's last pages; `error` holds the message of a failure, else it is empty.
    void finished(int pass, bool cancelled, const QString& error);

private:
    void runPass(int pass, std::shared_ptr<std::atomic_bool> cancelled);

    std::shared_ptr<const ReportLayout> m_layout;
    const DataSet* m_data;
    FieldBinding m_binding;
    QThread m_thread;
    QObject* m_worker;
    std::atomic_bool m_stopping{false};
    int m_lastPass = 0;
    QHash<int, std::shared_ptr<std::atomic_bool>> m_cancelFlags;
};

} // namespace report
