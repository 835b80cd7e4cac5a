#include "simulate/worker_threads.h"

#include <QObject>

#include <algorithm>

void WorkerThreads::start(const QString& name, QThread::Priority priority,
                          std::function<void()> work, std::function<void()> ended) {
    QThread* thread = QThread::create(std::move(work));
    thread->setObjectName(name);
    m_threads.push_back(thread);
    QObject::connect(thread, &QThread::finished, m_worker,
                     [this, thread, ended = std::move(ended)] {
                         m_threads.erase(std::remove(m_threads.begin(), m_threads.end(), thread),
                                         m_threads.end());
                         // Told from the thread as its work returned: it ends
                         // in a moment.
                         thread->wait();
                         delete thread;
                         ended();
                     });
    thread->start(priority);
}

WorkerThreads::~WorkerThreads() {
    for (QThread* thread : m_threads) {
        QObject::disconnect(thread, nullptr, m_worker, nullptr);
        thread->wait();
        delete thread;
    }
}
