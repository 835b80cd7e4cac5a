#pragma once

#include <QString>
#include <QThread>

#include <functional>
#include <vector>

class QObject;

// The threads of one worker object, and how long they live. Each runs its
// work and, once the work has returned, tells the worker on the worker's own
// thread and is deleted. A worker that goes first waits here for every thread
// it still has (having told their work to stop), so that none outlives it and
// none tells a worker that is gone. The work holds what it reads and writes
// itself, shared with the worker, never the worker.
class WorkerThreads {
  public:
    explicit WorkerThreads(QObject* worker) : m_worker(worker) {}
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs `work` on a thread named `name`; `ended` runs on the worker's
    // thread once it has returned.
    void start(const QString& name, QThread::Priority priority, std::function<void()> work,
               std::function<void()> ended);
    // The threads whose work has not yet been seen to end.
    size_t count() const { return m_threads.size(); }

  private:
    QObject* m_worker;
    std::vector<QThread*> m_threads;
};
