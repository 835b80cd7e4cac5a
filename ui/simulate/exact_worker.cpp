#include "simulate/exact_worker.h"

#include <QTimer>

using namespace vantel::sim;

namespace {

// The exact computations of every worker still running.
std::atomic<int> g_workers{0};

} // namespace

ExactWorker::ExactWorker(QObject* parent) : QObject(parent), m_poll(new QTimer(this)) {
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &ExactWorker::tell);
}

void ExactWorker::tell() {
    if (!m_job) return;
    const int pass = m_job->progress.pass.load(std::memory_order_relaxed);
    if (pass == 0) return;
    emit progress(pass, static_cast<double>(m_job->progress.spin.load(std::memory_order_relaxed)),
                  static_cast<double>(m_job->config.spins));
}

ExactWorker::~ExactWorker() {
    // A computation stops within a spin once told; its thread is waited for
    // as the worker goes (m_threads).
    drop();
}

int ExactWorker::workers() {
    return g_workers.load();
}

void ExactWorker::drop() {
    if (!m_job) return;
    m_job->cancel = true;
    m_job.reset();
    m_poll->stop();
}

void ExactWorker::compute(const Config& config, const ExactLimits& limits, int deadlineMs) {
    drop();
    auto job = std::make_shared<Job>();
    job->config = config;
    m_job = job;
    ++g_workers;
    m_threads.start(
        QStringLiteral("Exact figures"), QThread::LowPriority,
        [job, limits] {
            try {
                job->result = exactRisk(job->config, &job->cancel, limits, &job->progress);
            } catch (const std::exception& e) {
                job->result = {};
                job->result.reason = e.what();
            }
            --g_workers;
        },
        [this, job] {
            if (job != m_job) return; // stale: other settings are on show
            m_job.reset();
            m_poll->stop();
            emit finished(job->config, job->result, job->timedOut);
        });
    m_poll->start();
    // Settings the bounds let through may still cost more than they say;
    // past the deadline they are out of reach as well.
    QTimer::singleShot(deadlineMs, this, [job] {
        job->timedOut = true;
        job->cancel = true;
    });
}
