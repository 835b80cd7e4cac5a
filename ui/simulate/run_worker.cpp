#include "simulate/run_worker.h"

#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace vantel::sim;

namespace {

// The sessions are played on worker threads, each with a heap of its own
// that keeps what it freed; given back after a run, the program stays at the
// size it had before instead of growing a step with each run.
void giveBackFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

RunWorker::RunWorker(QObject* parent) : QObject(parent), m_poll(new QTimer(this)) {
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, &RunWorker::tell);
}

RunWorker::~RunWorker() {
    // Its thread is waited for as the worker goes (m_threads).
    if (m_run) m_run->cancel = true;
}

void RunWorker::start(const Config& config) {
    if (running()) return;
    auto run = std::make_shared<Run>();
    run->config = config;
    run->started = std::chrono::steady_clock::now();
    m_run = run;
    m_running = true;
    m_ended = false;
    m_threads.start(
        QStringLiteral("Simulation"), QThread::InheritPriority,
        [run] {
            try {
                run->results = runSessions(
                    run->config, [run](uint64_t done) { run->spinsDone = done; }, &run->cancel);
            } catch (const std::exception& e) {
                run->failure = e.what();
            }
        },
        [this, run] {
            if (run != m_run || !m_running) {
                // A cancelled run, wound down.
                giveBackFreedMemory();
                return;
            }
            m_poll->stop();
            m_running = false;
            m_ended = true;
            if (run->failure.empty()) tell();
            emit finished(true);
        });
    m_poll->start();
}

void RunWorker::cancel() {
    if (!running()) return;
    m_run->cancel = true;
    m_poll->stop();
    m_running = false;
    emit finished(false);
}

void RunWorker::release() {
    if (m_running) return;
    // A cancelled run's sessions are its thread's until it ends.
    if (m_run && m_ended) m_run->results.clear();
    m_run.reset();
    giveBackFreedMemory();
}

void RunWorker::tell() {
    if (!m_run) return;
    const Run& run = *m_run;
    const double total = static_cast<double>(run.config.sessions) * double(run.config.spins);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - run.started).count();
    emit progress(static_cast<double>(run.spinsDone.load()), total, seconds);
}
