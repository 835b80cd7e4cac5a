#pragma once

// A desktop of the harness's own: an X server (Xvfb) of a given screen size on
// a free display, with or without a window manager (openbox), so that the
// program is placed and focused as a desktop places and focuses it. While it
// runs, DISPLAY points at it, for the program and for xdotool alike.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>

#include <chrono>
#include <thread>

namespace e2e {

class Desktop {
  public:
    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    ~Desktop() { stop(); }

    // Starts the server on the first free display from `first` on, and the
    // window manager if asked; false if either did not come up. A loaded
    // machine may keep the window manager from coming up, or leave the server
    // it talks to unanswering: the whole desktop is then started again, on a
    // display of its own, up to three times.
    bool start(QSize screen, bool windowManager, int first) {
        m_oldDisplay = qgetenv("DISPLAY");
        m_failure.clear();
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!startServer(screen, first)) {
                m_failure += QStringLiteral("[no free display or the server did not start] ");
                continue;
            }
            if (!windowManager || startWindowManager()) return true;
            m_failure +=
                QStringLiteral("[the window manager did not come up on %1; the server %2] ")
                    .arg(m_display, answers(m_display) ? QStringLiteral("answers")
                                                       : QStringLiteral("does not answer"));
            stop();
        }
        return false;
    }

    // What the window manager said when it did not come up.
    const QString& failure() const { return m_failure; }

    void stop() {
        for (QProcess* p : {&m_wm, &m_server}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(2000);
            }
        }
        if (!m_display.isEmpty()) {
            qputenv("DISPLAY", m_oldDisplay);
            m_display.clear();
        }
    }

    const QString& display() const { return m_display; }

    // Whether a window manager has taken the screen.
    static bool managed() {
        QProcess p;
        p.start(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
        return p.waitForFinished(5000) && p.exitCode() == 0 &&
               p.readAllStandardOutput().contains("window id");
    }

  private:
    bool startServer(QSize screen, int first) {
        for (int n = first + s_next; n < first + s_next + 40; ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
                QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
                continue;
            const QString display = QStringLiteral(":%1").arg(n);
            m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            m_server.start(QStringLiteral("Xvfb"),
                           {display, "-screen", "0",
                            QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                            "-nolisten", "tcp"});
            if (!m_server.waitForStarted(5000)) return false;
            // A server that finds the display taken ends at once.
            const bool up = waitUntil(
                [&] { return m_server.state() == QProcess::NotRunning || answers(display); },
                10000);
            s_next = n - first + 1;
            if (!up || m_server.state() == QProcess::NotRunning) {
                m_server.kill();
                m_server.waitForFinished(2000);
                continue; // taken a moment ago by another server
            }
            qputenv("DISPLAY", display.toLatin1());
            m_display = display;
            return true;
        }
        return false;
    }
    bool startWindowManager() {
        m_wm.setProcessChannelMode(QProcess::MergedChannels);
        m_wm.start(QStringLiteral("openbox"), {"--sm-disable"});
        if (m_wm.waitForStarted(5000) &&
            waitUntil([&] { return m_wm.state() == QProcess::NotRunning || managed(); }, 20000) &&
            m_wm.state() == QProcess::Running)
            return true;
        m_failure += QString::fromLocal8Bit(m_wm.readAll());
        return false;
    }
    static bool answers(const QString& display) {
        QProcess p;
        p.start(QStringLiteral("xdpyinfo"), {"-display", display});
        return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }
    template <typename F> static bool waitUntil(F condition, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return condition();
    }

    QProcess m_server;
    QProcess m_wm;
    QString m_display;
    QByteArray m_oldDisplay;
    QString m_failure;
    // Each desktop of a run on a display of its own: a server just ended may
    // still hold its number for a moment.
    static inline int s_next = 0;
};

} // namespace e2e
