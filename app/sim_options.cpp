#include "sim_options.h"

#include "spins_file.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

namespace vantel::sim {

namespace {

int indexOf(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
}

SimCommand badInput(std::string message) {
    std::replace(message.begin(), message.end(), '\n', ' ');
    std::replace(message.begin(), message.end(), '\r', ' ');
    SimCommand c;
    c.status = kExitBadInput;
    c.error = message;
    return c;
}

bool endsWithNoCase(const std::string& text, const std::string& tail) {
    if (text.size() <= tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

// WIDTHxHEIGHT, each of one to five decimal digits.
bool readSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const auto number = [](const std::string& digits, int& value) {
        if (digits.empty() || digits.size() > 5) return false;
        value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + (c - '0');
        }
        return true;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

} // namespace

SimCommand parseSimOptions(int argc, const char* const* argv, unsigned cores,
                           const std::function<std::vector<int>(const std::string&)>& readSpins,
                           SimOptions& options) {
    CLI::App app{"Plays many sessions of the tracker's exact rules on a seeded wheel or on "
                 "recorded spins, and reports what a player following the window would have "
                 "won or lost.",
                 "vantel-sim"};
    app.set_version_flag("--version", std::string("vantel-sim ") + VANTEL_VERSION);

    const std::vector<std::string> modes = {"Mode1", "Mode2", "Sequential"};
    const std::vector<std::string> systems = {"Martingale", "Donald"};
    const std::vector<std::string> resets = {"+ OR =", "ONLY +", "Manual"};
    const std::vector<std::string> progressions = {"Double", "+ Init. Bet"};

    Config& config = options.config;
    Settings& s = config.settings;
    std::string mode = "Mode1", reset = "+ OR =", progression = "Double";
    app.add_option("--mode", mode, "Game Mode")->check(CLI::IsMember(modes))->capture_default_str();
    app.add_option("--system", s.bettingSystem, "Betting System")
        ->check(CLI::IsMember(systems))
        ->capture_default_str();
    app.add_option("--initial-bet", s.initialBet, "Init. Bet")
        ->check(CLI::Range(1, 10000))
        ->capture_default_str();
    app.add_option("--safe-level", s.safeLevel, "Safe Level")
        ->check(CLI::Range(0, 10))
        ->capture_default_str();
    app.add_flag("--fixed-matrix", s.fixedMatrix, "Fixed Matrix");
    app.add_option("--reset-on", reset, "Sequential: when the sequence starts over")
        ->check(CLI::IsMember(resets))
        ->capture_default_str();
    app.add_option("--increase-till", s.increaseTill, "Sequential: most numbers covered")
        ->check(CLI::Range(1, 35))
        ->capture_default_str();
    app.add_option("--progression", progression, "Sequential: how the stake rises")
        ->check(CLI::IsMember(progressions))
        ->capture_default_str();
    app.add_option("--m-count", s.sequentialLosses, "Sequential: misses that add a number")
        ->check(CLI::Range(1, 10000))
        ->capture_default_str();
    app.add_option("--w-count", s.sequentialWins, "Sequential: hits that take one away")
        ->check(CLI::Range(1, 10000))
        ->capture_default_str();

    std::optional<uint64_t> spins;
    std::string chartSize = "1200x800";
    double spinInterval = 45;
    config.threads = std::max(1u, cores);
    app.add_option("--sessions", config.sessions, "Sessions to play")
        ->check(CLI::Range(uint64_t{1}, uint64_t{1000000}))
        ->capture_default_str();
    app.add_option("--spins", spins,
                   "Spins per session (default 1000; with --spins-file, the whole file)")
        ->check(CLI::Range(uint64_t{1}, uint64_t{1000000}));
    app.add_option("--seed", config.seed, "Seed of the wheel and of the sessions' clocks")
        ->check(CLI::Validator(
            [](std::string& v) {
                return !v.empty() && v[0] == '-' ? "Value " + v + " is negative" : std::string();
            },
            "UINT64"))
        ->capture_default_str();
    app.add_option("--threads", config.threads, "Threads (default: every core)")
        ->check(CLI::Range(1u, 1024u));
    app.add_option("--spins-file", options.spinsFile,
                   "Recorded spins, one number a line, replayed in every session");
    app.add_option("--bankroll", config.bankroll,
                   "Stop a session when the next outlay is more than is left")
        ->check(CLI::Range(int64_t{1}, int64_t{1000000000000000}));
    app.add_option("--table-limit", config.tableLimit,
                   "Stop a session when the stake on one number exceeds it")
        ->check(CLI::Range(int64_t{1}, int64_t{1000000000000000}));
    app.add_option("--spin-interval", spinInterval, "Seconds between spins")
        ->check(CLI::Range(0.001, 86400.0))
        ->capture_default_str();
    app.add_flag("--json", options.json, "Write the report as JSON");
    app.add_option("--csv", options.csvFile, "Write one row per session to FILE");
    app.add_option("--chart", options.chartFile, "Draw the chart into FILE.png or FILE.svg");
    app.add_option("--chart-size", chartSize, "Chart size in pixels, WIDTHxHEIGHT")
        ->capture_default_str();
    app.add_flag("--quiet", options.quiet, "No progress bar");
    app.add_flag("--exact", options.exact,
                 "Compute the figures exactly for a fair wheel instead of playing sessions");

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        std::ostringstream out, err;
        SimCommand c;
        c.status = app.exit(e, out, err);
        c.output = out.str();
        return c;
    } catch (const CLI::ParseError& e) {
        return badInput(e.what());
    }

    if (options.exact) {
        // The exact figures weigh every session a fair wheel can give.
        if (!options.spinsFile.empty())
            return badInput("--exact: recorded spins are not a fair wheel; --exact computes "
                            "for the wheel only");
        if (app.count("--sessions") > 0)
            return badInput("--exact: --sessions does not apply, every possible session is "
                            "counted by its probability");
        if (!options.csvFile.empty())
            return badInput("--exact: --csv writes one row per played session; none is played");
    }
    s.gameMode = indexOf(modes, mode);
    s.mode3Reset = indexOf(resets, reset);
    s.progression = indexOf(progressions, progression);
    config.spinIntervalMs = std::max<int64_t>(1, std::llround(spinInterval * 1000));
    if (!options.spinsFile.empty()) {
        try {
            config.recorded = readSpins(options.spinsFile);
        } catch (const SpinsFileError& e) {
            return badInput(e.what());
        }
    }
    config.spins = spins ? *spins : config.recorded.empty() ? 1000 : config.recorded.size();
    if (!options.chartFile.empty()) {
        if (!endsWithNoCase(options.chartFile, ".png") &&
            !endsWithNoCase(options.chartFile, ".svg"))
            return badInput("--chart: '" + options.chartFile + "' must end in .png or .svg");
        if (!readSize(chartSize, options.chartWidth, options.chartHeight) ||
            options.chartWidth < 400 || options.chartWidth > 8000 || options.chartHeight < 300 ||
            options.chartHeight > 8000)
            return badInput("--chart-size: '" + chartSize +
                            "' is not WIDTHxHEIGHT within 400x300 to 8000x8000");
    }
    SimCommand c;
    c.run = true;
    return c;
}

} // namespace vantel::sim
