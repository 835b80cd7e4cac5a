#pragma once

#include "engine.h"
#include "simulate/worker_threads.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

class QTimer;

// The Simulate dialog's Monte Carlo run: the backtest engine plays the
// sessions on a thread of its own while this tells how far it has come every
// 50 ms. Cancel lets the run go at once: it ends by itself within moments (a
// run of many sessions may still be setting up), and its thread is kept until
// it has.
class RunWorker : public QObject {
    Q_OBJECT
  public:
    explicit RunWorker(QObject* parent);
    ~RunWorker() override;

    // Starts a run of `config`; does nothing while one is running.
    void start(const vantel::sim::Config& config);
    // Tells the run to stop and lets it go; finished(false) is told at once.
    void cancel();
    bool running() const { return m_running; }

    // The run that was started last, until release().
    const vantel::sim::Config& config() const { return m_run->config; }
    const std::vector<vantel::sim::SessionResult>& results() const { return m_run->results; }
    // What stopped a run that failed; empty when it did not.
    const std::string& failure() const { return m_run->failure; }
    // Lets go of the last run (once it ended or was cancelled) and gives the
    // memory of its sessions back.
    void release();

  signals:
    // The spins played of the run's `total`, and the seconds since it started.
    void progress(double spins, double total, double seconds);
    // The run has ended: completed (it may have failed), or cancelled.
    void finished(bool completed);

  private:
    void tell();

    // The run, shared with its thread.
    struct Run {
        vantel::sim::Config config;
        std::atomic<bool> cancel{false};
        std::atomic<uint64_t> spinsDone{0};
        std::vector<vantel::sim::SessionResult> results;
        std::chrono::steady_clock::time_point started;
        std::string failure; // what stopped the run, if it failed
    };
    std::shared_ptr<Run> m_run;
    bool m_running = false; // the run on show has neither ended nor been cancelled
    bool m_ended = false;   // the run on show has ended: its sessions are the dialog's to read
    QTimer* m_poll = nullptr;
    WorkerThreads m_threads{this};
};
