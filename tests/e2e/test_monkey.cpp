// A seeded stream of random input in the real window: clicks anywhere, right
// clicks, wheel turns, drags, keys, press-and-hold on the arrows and pastes of
// odd text. Every so often the program must still answer: a board click
// changes the history strip. At the end it closes normally, exit status 0,
// and (in the sanitizer build) with no sanitizer report.
//   VANTEL_MONKEY_SEED   the seed (default: from the clock; printed either way)
//   VANTEL_MONKEY_EVENTS how many events (default 3000)
#include "real_window.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

using namespace e2e;

constexpr int kCheckEvery = 250;
constexpr int kBatch = 25;
// xdotool waits 100 ms after every click and 12 ms after every key unless told
// otherwise; the monkey sends its events back to back.
const QStringList kNoDelay = {QStringLiteral("--delay"), QStringLiteral("0")};

uint64_t envNumber(const char* name, uint64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

// The texts pasted into the stake edit.
std::vector<QByteArray> oddTexts() {
    return {"-2147483649",
            "$FFFFFFFF",
            QByteArray(5000, '9'),
            QByteArray("\xC3\x28\xFF\xFE\x80"),
            "0x",
            "  -0",
            "2147483648",
            "\t1",
            "$",
            "99999",
            QByteArray("1\0"
                       "2",
                       3)};
}

class Monkey : public RealWindow {
  protected:
    std::string winId() const { return m_window; }

    // The program's other windows: its message boxes (captioned with its file
    // name), About, Statistics, the Simulate dialog, recording to a wheel,
    // importing spins and their file dialogs,
    // which the menu's entries open and which may cover the board.
    int closeMessageBoxes() {
        int closed = 0;
        for (int round = 0; round < 10; ++round) {
            const QString found = QString::fromStdString(
                run("xdotool", {"search", "--onlyvisible", "--name",
                                "^(vantel|About Vantel|Statistics.*|Simulate these settings.*|"
                                "Save (spins|chart|report)|Could not save .*|Seed not accepted|"
                                "Simulation failed|Record to a wheel|Import spins|Journal|"
                                "Resume the night|Recording stopped|Not recording|"
                                "Spins (not )?imported)$"}));
            if (found.isEmpty()) break;
            for (const QString& id : found.split('\n')) {
                // Which of the program's windows the input reached, by the start of the title.
                QString name = QString::fromStdString(run("xdotool", {"getwindowname", id}));
                name = name.section(':', 0, 0);
                ++m_reached[name.toStdString()];
                m_lately << name;
                if (sendCloseRequest(id.toULong())) ++closed;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return closed;
    }

    // Resident memory of the program in kB.
    long rssKb() {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_app.processId()));
        if (!status.open(QIODevice::ReadOnly)) return -1;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toLong();
        return -1;
    }

    // Brings the window back to a state where the board takes a click, then
    // clicks a number whose colour differs from the newest strip cell and
    // waits for the strip to show it.
    bool answersABoardClick() {
        const auto deadline = Clock::now() + std::chrono::seconds(40);
        while (Clock::now() < deadline) {
            m_boxes += closeMessageBoxes();
            run("xdotool", {"mouseup", "1", "mouseup", "3", "key", "Escape"});
            const QImage image = shot();
            if ((image.pixel(m_geometry["X"] + 140, m_geometry["Y"] + 197) & 0xFFFFFF) != kBlack) {
                // Locked by a draw or the recalculation: its progress bar is showing.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                continue;
            }
            // 1 is red, 2 black; 0 green.
            const int number = historyColour(image, 1) == kMaroon ? 2 : 1;
            const QRgb expected = number == 1 ? kMaroon : kNearBlack;
            clickNumber(number);
            if (waitFor([&] { return historyColour(shot(), 1) == expected; }, 1500)) return true;
        }
        return false;
    }

    int m_boxes = 0;
    QSize m_screen{1024, 768};
    std::map<std::string, int> m_reached;
    QStringList m_lately; // closed since the last memory figure
};

TEST_F(Monkey, StaysAliveAndAnswersUnderRandomInput) {
    const uint64_t seed =
        envNumber("VANTEL_MONKEY_SEED",
                  static_cast<uint64_t>(Clock::now().time_since_epoch().count()) % 1000000007);
    const int events = static_cast<int>(envNumber("VANTEL_MONKEY_EVENTS", 3000));
    std::printf("monkey seed %llu, %d events\n", static_cast<unsigned long long>(seed), events);
    std::fflush(stdout);
    std::mt19937_64 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint64_t>(n)); };

    const QString w = QString::fromStdString(winId());
    const int width = m_geometry["WIDTH"];
    const int height = m_geometry["HEIGHT"];
    const QStringList keys = {"Up", "Down", "Left", "Right", "Return", "Escape", "Tab", "space",
                              "Delete", "BackSpace", "Home", "End", "0", "5", "9", "minus", "plus",
                              "dollar", "period", "comma", "a", "x", "ctrl+a", "ctrl+z", "ctrl+x",
                              "ctrl+c", "shift+Tab", "Page_Up", "F4", "alt+Down",
                              // The side windows and the number entry, from whichever
                              // window is active.
                              "ctrl+i", "ctrl+r", "ctrl+e", "ctrl+shift+z"};
    const std::vector<QByteArray> texts = oddTexts();
    int pastes = 0;
    int holds = 0;

    const auto start = Clock::now();
    int sent = 0;
    while (sent < events) {
        QStringList batch;
        const auto moveTo = [&](int x, int y) {
            batch << "mousemove"
                  << "--window" << w << QString::number(x) << QString::number(y);
        };
        for (int i = 0; i < kBatch && sent < events; ++i, ++sent) {
            const int kind = pick(100);
            const int x = pick(width);
            const int y = pick(height);
            if (kind < 35) { // a click anywhere, the board most of the time
                if (pick(8) == 0) {
                    // Anywhere on the screen: the side windows beside the board too.
                    batch << "mousemove" << QString::number(pick(m_screen.width()))
                          << QString::number(pick(m_screen.height()));
                } else if (pick(2)) {
                    const QRect r = cellRect(pick(37));
                    moveTo(r.x() + pick(r.width()), r.y() + pick(r.height()));
                } else {
                    moveTo(x, y);
                }
                batch << "click" << kNoDelay << "1";
            } else if (kind < 45) {
                moveTo(x, y);
                batch << "click" << kNoDelay << "3";
            } else if (kind < 55) {
                moveTo(x, y);
                batch << "click" << kNoDelay << (pick(2) ? "4" : "5");
            } else if (kind < 63) { // a drag
                moveTo(x, y);
                batch << "mousedown"
                      << "1";
                moveTo(pick(width), pick(height));
                batch << "mouseup"
                      << "1";
            } else if (kind < 90) {
                batch << "key" << kNoDelay << keys[pick(keys.size())];
            } else if (kind < 92) { // a double click
                moveTo(x, y);
                batch << "click"
                      << "--repeat"
                      << "2"
                      << "--delay"
                      << "60"
                      << "1";
            } else if (kind < 98) { // a paste into the stake edit
                const QByteArray& text = texts[pick(static_cast<int>(texts.size()))];
                const QString file = m_dir.filePath("paste.txt");
                QFile out(file);
                if (out.open(QIODevice::WriteOnly)) out.write(text);
                out.close();
                // xclip serves the selection from the background until the next one.
                run("xclip", {"-selection", "clipboard", "-i", file});
                moveTo(12 + pick(14), 190 + pick(10));
                batch << "click" << kNoDelay << "1"
                      << "key" << kNoDelay << (pick(3) ? "ctrl+v" : "shift+Insert");
                ++pastes;
            } else { // press and hold on an arrow of the stake edit
                moveTo(33 + pick(11), pick(2) ? 189 + pick(5) : 197 + pick(5));
                batch << "mousedown"
                      << "1"
                      << "sleep" << QString::number(0.1 + 0.1 * pick(5), 'f', 1);
                if (pick(4) == 0) moveTo(pick(width), pick(height)); // off and released
                batch << "mouseup"
                      << "1";
                ++holds;
            }
            if ((sent + 1) % kCheckEvery == 0) {
                ++sent;
                break;
            }
        }
        run("xdotool", batch);
        if (sent % kCheckEvery == 0 || sent == events) {
            ASSERT_EQ(m_app.state(), QProcess::Running)
                << "the program ended after " << sent << " events\n"
                << programOutput().toStdString();
            ASSERT_TRUE(answersABoardClick())
                << "no answer to a board click after " << sent << " events";
            m_lately.removeDuplicates();
            std::printf(
                "events %d at %.0f s, message boxes %d, resident memory %ld kB%s%s\n", sent,
                std::chrono::duration<double>(Clock::now() - start).count(), m_boxes, rssKb(),
                m_lately.isEmpty() ? "" : "; closed: ", m_lately.join(", ").toStdString().c_str());
            m_lately.clear();
            std::fflush(stdout);
        }
    }
    m_boxes += closeMessageBoxes();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("monkey seed %llu: %d events (%d pastes, %d holds) in %.0f s, %d message boxes\n",
                static_cast<unsigned long long>(seed), sent, pastes, holds, seconds, m_boxes);
    for (const auto& [name, count] : m_reached)
        std::printf("  closed %d times: %s\n", count, name.c_str());
}

} // namespace
