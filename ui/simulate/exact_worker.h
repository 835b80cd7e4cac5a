#pragma once

#include "exact.h"
#include "simulate/worker_threads.h"

#include <QObject>

class QTimer;

#include <atomic>
#include <memory>

// The exact figures of the Simulate dialog's settings on a fair wheel, made
// on a thread of their own at low priority. Only the latest settings' figures
// are told: a computation of settings that changed since is told to stop, and
// its thread kept until it has. Past its deadline a computation is told to
// stop as well, and its end told as timed out. While it runs, how far it has
// come is told every 100 ms.
class ExactWorker : public QObject {
    Q_OBJECT
  public:
    explicit ExactWorker(QObject* parent);
    ~ExactWorker() override;

    // Computes the figures of `config` within `limits` and `deadlineMs`,
    // dropping the computation on hand.
    void compute(const vantel::sim::Config& config, const vantel::sim::ExactLimits& limits,
                 int deadlineMs);
    // Tells the computation on hand to stop; its figures are never told.
    void drop();
    // The figures of the latest settings are being made.
    bool running() const { return m_job != nullptr; }
    // The computations still running, of this worker and any other.
    static int workers();

  signals:
    // The latest settings' computation is at `spin` of `total` in `pass` of
    // its passes (ExactProgress).
    void progress(int pass, double spin, double total);
    // The figures of the latest settings: exact, or why not; timedOut when
    // the deadline stopped them.
    void finished(const vantel::sim::Config& config, const vantel::sim::ExactResult& result,
                  bool timedOut);

  private:
    struct Job {
        vantel::sim::Config config;
        std::atomic<bool> cancel{false};
        bool timedOut = false; // told to stop by the deadline (this thread only)
        vantel::sim::ExactResult result;
        vantel::sim::ExactProgress progress;
    };
    void tell();
    std::shared_ptr<Job> m_job;
    QTimer* m_poll = nullptr;
    WorkerThreads m_threads{this};
};
