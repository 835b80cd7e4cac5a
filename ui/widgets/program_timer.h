#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// The window's timer: an on/off flag and an interval. Switching it on, or
// giving it a new interval while on, restarts the count; setting the state or
// interval it already has changes nothing (QTimer would restart on every
// setInterval). It ticks only while on with an interval above 0.
class ProgramTimer : public QObject {
    Q_OBJECT
  public:
    ProgramTimer(int interval, bool enabled, QObject* parent);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    int interval() const { return m_interval; }
    void setInterval(int ms);

    std::function<void()> OnTimer;

    // Runs one tick now, as the timer would (for tests).
    void fire();
    // Milliseconds until the next tick, or -1 when it does not tick.
    int remainingTime() const { return m_timer.remainingTime(); }

  private:
    void restart();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};
