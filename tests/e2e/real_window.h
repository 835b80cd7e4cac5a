#pragma once

// The real program in a real X server, started as a user starts it, with an
// environment the harness sets itself, and closed as a window manager closes
// it. Every test ends by checking that the program exited with status 0 and
// wrote no sanitizer report.
#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "window/board_geometry.h"
#include "x_close.h"

namespace e2e {

using Clock = std::chrono::steady_clock;

inline std::string run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000)) return {};
    return p.readAllStandardOutput().trimmed().toStdString();
}

using vantel::cellRect;

// Colours as 0xRRGGBB, compared with screenshot pixels stripped of their alpha.
constexpr QRgb kLit = 0x81A82D;
constexpr QRgb kMaroon = 0x800000;
constexpr QRgb kGreen = 0x008000;
constexpr QRgb kNearBlack = 0x202020;
constexpr QRgb kBlack = 0x000000;

// The program's environment: the display and the sanitizer settings of the
// harness, nothing else that could change how it runs (a QT_QPA_PLATFORM of
// the caller would keep it from opening an X window at all).
inline QProcessEnvironment programEnvironment() {
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment env;
    for (const char* name : {"DISPLAY", "XAUTHORITY", "HOME", "PATH", "ASAN_OPTIONS",
                             "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        const QString key = QString::fromLatin1(name);
        if (own.contains(key)) env.insert(key, own.value(key));
    }
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

// The lines of a program's output that belong to a sanitizer report.
inline QStringList sanitizerReport(const QString& output) {
    static const QRegularExpression pattern(
        QStringLiteral("(ERROR|WARNING|SUMMARY): \\w*Sanitizer|runtime error:"));
    QStringList lines;
    for (const QString& line : output.split('\n'))
        if (pattern.match(line).hasMatch()) lines << line;
    return lines;
}

class RealWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QProcessEnvironment env = programEnvironment();
        // The program's settings and data (a journal it records to) stay the test's.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        for (const auto& [name, value] : m_env)
            env.insert(name, value);
        if (m_scale != 1) env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(m_scale));
        m_app.setProcessEnvironment(env);
        m_app.setProcessChannelMode(QProcess::MergedChannels);
        // A file, not a pipe: a harness busy with xdotool never blocks the program.
        m_app.setStandardOutputFile(m_dir.filePath("program.log"));
        m_app.start(QStringLiteral(VANTEL_BINARY), m_args);
        ASSERT_TRUE(m_app.waitForStarted(10000));
        m_window = run("timeout", {"30", "xdotool", "search", "--sync", "--onlyvisible", "--name",
                                   "^Vantel 2\\.0$"});
        const auto newline = m_window.find('\n');
        if (newline != std::string::npos) m_window.resize(newline);
        ASSERT_FALSE(m_window.empty()) << "no window titled Vantel 2.0\n"
                                       << programOutput().toStdString();
        // Let the first frames reach the screen; a window manager may still
        // be placing the window, so its place is read again meanwhile.
        ASSERT_TRUE(waitFor(
            [&] {
                readGeometry();
                return pixel(160 * m_scale, 28 * m_scale) == kBlack;
            },
            10000));
    }

    // The client area's place on the screen, as xwininfo gives it (xdotool's
    // geometry counts a window manager's frame twice).
    void readGeometry() { m_geometry = clientGeometry(QString::fromStdString(m_window)); }

    static std::map<std::string, int> clientGeometry(const QString& id) {
        std::map<std::string, int> g;
        static const std::pair<const char*, const char*> fields[] = {
            {"Absolute upper-left X:", "X"},
            {"Absolute upper-left Y:", "Y"},
            {"Width:", "WIDTH"},
            {"Height:", "HEIGHT"}};
        for (const QString& line : QString::fromStdString(run("xwininfo", {"-id", id})).split('\n'))
            for (const auto& [label, key] : fields)
                if (line.trimmed().startsWith(QLatin1String(label)))
                    g[key] = line.trimmed().mid(int(qstrlen(label))).trimmed().toInt();
        return g;
    }

    // Closes the window as a window manager would, and requires a clean exit.
    void TearDown() override {
        if (m_app.state() == QProcess::NotRunning) {
            ADD_FAILURE() << "the program ended before the test did\n"
                          << programOutput().toStdString();
            return;
        }
        if (m_window.empty()) {
            m_app.kill();
            m_app.waitForFinished(5000);
            return;
        }
        EXPECT_TRUE(sendCloseRequest(std::stoul(m_window)));
        // The leak check at exit takes a while in the sanitizer build.
        if (!m_app.waitForFinished(60000)) {
            ADD_FAILURE() << "the program did not end on the close request";
            m_app.kill();
            m_app.waitForFinished(5000);
            return;
        }
        const QString output = programOutput();
        EXPECT_EQ(m_app.exitStatus(), QProcess::NormalExit) << output.toStdString();
        EXPECT_EQ(m_app.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(sanitizerReport(output).isEmpty()) << output.toStdString();
    }

    QString programOutput() {
        QFile file(m_dir.filePath("program.log"));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll());
    }

    void click(int x, int y) {
        run("xdotool", {"mousemove", "--window", QString::fromStdString(m_window),
                        QString::number(x), QString::number(y), "click", "1"});
    }
    void clickNumber(int n) {
        const QRect r = cellRect(n);
        click(r.x() + 16, r.y() + 16);
    }

    QImage shot() {
        const QString file = m_dir.filePath("shot.png");
        run("import", {"-silent", "-window", "root", file});
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }
    QRgb pixel(int x, int y) {
        return shot().pixel(m_geometry["X"] + x, m_geometry["Y"] + y) & 0xFFFFFF;
    }

    bool waitFor(const std::function<bool()>& condition, int ms) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return condition();
    }

    std::vector<int> litNumbers(const QImage& image) {
        std::vector<int> lit;
        for (int n = 0; n <= 36; ++n) {
            const QRect r = cellRect(n);
            if ((image.pixel(m_geometry["X"] + r.x() + 5, m_geometry["Y"] + r.y() + 27) &
                 0xFFFFFF) == kLit)
                lit.push_back(n);
        }
        return lit;
    }

    bool progressShown() { return pixel(140, 197) != kBlack; }

    // A draw has ended once 18 numbers are lit and the progress bar is empty again.
    bool waitForDrawEnd(std::vector<int>* lit = nullptr) {
        return waitFor(
            [&] {
                const QImage image = shot();
                const auto numbers = litNumbers(image);
                const QRgb bar =
                    image.pixel(m_geometry["X"] + 140, m_geometry["Y"] + 197) & 0xFFFFFF;
                if (lit) *lit = numbers;
                return numbers.size() == 18 && bar == kBlack;
            },
            10000);
    }

    QRgb historyColour(int cell) { return pixel(154 + 24 * (cell - 1) + 1, 24); }
    QRgb historyColour(const QImage& image, int cell) {
        return image.pixel(m_geometry["X"] + 154 + 24 * (cell - 1) + 1, m_geometry["Y"] + 24) &
               0xFFFFFF;
    }

    void focusWindow() {
        run("xdotool", {"windowfocus", "--sync", QString::fromStdString(m_window)});
    }
    void key(const QString& name) { run("xdotool", {"key", name}); }
    void wheelAt(int x, int y, int button) {
        run("xdotool", {"mousemove", "--window", QString::fromStdString(m_window),
                        QString::number(x), QString::number(y), "click", QString::number(button)});
    }
    int clientHeight() {
        for (const QString& line :
             QString::fromStdString(
                 run("xdotool", {"getwindowgeometry", "--shell", QString::fromStdString(m_window)}))
                 .split('\n'))
            if (line.startsWith("HEIGHT=")) return line.mid(7).toInt();
        return -1;
    }
    // The indicator's fill, below the left of its digit.
    QRgb indicator() { return pixel(283, 246); }

    int m_scale = 1;                  // QT_SCALE_FACTOR of the program
    QStringList m_args;               // the program's command line
    std::map<QString, QString> m_env; // added to its environment
    QTemporaryDir m_dir;
    QProcess m_app;
    std::string m_window;
    std::map<std::string, int> m_geometry;
};

} // namespace e2e
