#include "CommandProgress.h"

#include "ErrorBox.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

// The modal progress window: a stage line and a bar, and no way to close it by hand.
class ProgressWindow : public QDialog
{
public:
    explicit ProgressWindow(QWidget* parent)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
          m_stage(new QLabel(this)), m_bar(new QProgressBar(this))
    {
        setObjectName(QStringLiteral("fmProgress"));
        setWindowTitle(applicationTitle());
        setModal(true);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_stage);
        layout->addWidget(m_bar);
        m_bar->setRange(0, kSteps);
        m_stage->setMinimumWidth(320);
    }

    void show(const QString& stage, qint64 done, qint64 total)
    {
        if (m_stage->text() != stage)
            m_stage->setText(stage);
        if (total > 0) {
            m_bar->setRange(0, kSteps);
            m_bar->setValue(int(kSteps * std::min(done, total) / total));
        } else {
            m_bar->setRange(0, 0); // how far is not known: a busy bar
        }
        if (!isVisible())
            QDialog::show();
    }

    void reject() override {} // Escape does not end a running command

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }

private:
    static constexpr int kSteps = 1000;
    QLabel* m_stage;
    QProgressBar* m_bar;
};

CommandProgress::CommandProgress(QWidget* parent, int quietMilliseconds)
    : m_parent(parent), m_quietMilliseconds(quietMilliseconds)
{
    m_scope.emplace(
        [this](const QString& stage, qint64 done, qint64 total) { report(stage, done, total); });
    m_clock.start();
}

CommandProgress::~CommandProgress() = default;

void CommandProgress::finish()
{
    m_scope.reset();
    m_window.reset();
}

void CommandProgress::report(const QString& stage, qint64 done, qint64 total)
{
    if (!m_window) {
        if (m_clock.elapsed() < m_quietMilliseconds || !m_parent)
            return;
        m_window = std::make_unique<ProgressWindow>(m_parent);
    }
    m_window->show(stage, done, total);
    // Paints, and user input, which the modal window keeps from the other windows.
    QCoreApplication::processEvents();
}
