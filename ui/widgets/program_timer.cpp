#include "widgets/program_timer.h"

ProgramTimer::ProgramTimer(int interval, bool enabled, QObject* parent)
    : QObject(parent), m_interval(interval), m_enabled(enabled) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ProgramTimer::fire);
    restart();
}

void ProgramTimer::setEnabled(bool on) {
    if (on == m_enabled) return;
    m_enabled = on;
    restart();
}

void ProgramTimer::setInterval(int ms) {
    if (ms == m_interval) return;
    m_interval = ms;
    restart();
}

void ProgramTimer::restart() {
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

void ProgramTimer::fire() {
    if (OnTimer) OnTimer();
}
