#include "sim_options.h"

#include "sim_help.h"
#include "spins_file.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <sstream>

namespace vantel::sim {

namespace {

// An option that takes an integer within a range.
template <class T>
void rangeOption(CLI::App& app, const SettingName& name, int64_t min, int64_t max, T& value) {
    app.add_option(std::string(name.option), value, std::string(name.help))
        ->check(CLI::Range(static_cast<T>(min), static_cast<T>(max)))
        ->capture_default_str();
}

template <class T> void rangeOption(CLI::App& app, const RangeSetting& setting, T& value) {
    rangeOption(app, setting.name, setting.min, setting.max, value);
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
    app.footer(simHelpFooter());

    Config& config = options.config;
    Settings& s = config.settings;
    // A setting's option each, from the field table: a choice by its name, a
    // range as a number within it, a flag on its own.
    std::array<std::string, kSettingFields.size()> choices;
    for (size_t i = 0; i < kSettingFields.size(); ++i) {
        const SettingField& f = kSettingFields[i];
        const std::string option(f.name.option), help(f.name.help);
        switch (f.kind) {
        case SettingKind::Choice: {
            choices[i] = f.text ? s.*f.text : std::string(f.choiceName(s.*f.number));
            std::vector<std::string> names;
            for (int c = 0; c < f.choiceCount; ++c)
                names.emplace_back(f.choiceName(c));
            app.add_option(option, choices[i], help)
                ->check(CLI::IsMember(names))
                ->capture_default_str();
            break;
        }
        case SettingKind::Range:
            rangeOption(app, f.name, f.min, f.max, s.*f.number);
            break;
        case SettingKind::Flag:
            app.add_flag(option, s.*f.flag, help);
            break;
        }
    }

    std::optional<uint64_t> spins;
    std::string chartSize = "1200x800";
    double spinInterval = 45;
    config.threads = std::max(1u, cores);
    rangeOption(app, kSessions, config.sessions);
    app.add_option(std::string(kSpins.name.option), spins, std::string(kSpins.name.help))
        ->check(CLI::Range(uint64_t(kSpins.min), uint64_t(kSpins.max)));
    app.add_option("--seed", config.seed, "Seed of the wheel and of the sessions' clocks")
        ->check(CLI::Validator(
            [](std::string& v) {
                if (!v.empty() && v[0] == '-') return "Value " + v + " is negative";
                // Read as a whole number, a seed past the largest would be
                // taken as the largest.
                std::string digits = v;
                if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) return std::string();
                digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
                const std::string largest = "18446744073709551615";
                if (digits.find_first_not_of("0123456789") == std::string::npos &&
                    (digits.size() > largest.size() ||
                     (digits.size() == largest.size() && digits > largest)))
                    return "Value " + v + " is more than " + largest + ", the largest seed";
                return std::string();
            },
            "UINT64"))
        ->capture_default_str();
    app.add_option("--threads", config.threads, "Threads (default: every core)")
        ->check(CLI::Range(1u, 1024u));
    app.add_option("--spins-file", options.spinsFile,
                   "Recorded spins, one number a line, replayed in every session");
    CLI::Option* wheel = app.add_option("--wheel", options.wheelName, "The --journal's wheel");
    wheel->needs(app.add_option("--journal", options.journalFile,
                                "A wheel journal: its --wheel's spins replayed in every session")
                     ->needs(wheel)
                     ->excludes("--spins-file"));
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

    // An empty path names no file: it would read the wheel or write nothing.
    for (const auto& [option, path] :
         {std::pair<const char*, const std::string*>{"--spins-file", &options.spinsFile},
          {"--csv", &options.csvFile},
          {"--chart", &options.chartFile}})
        if (app.count(option) > 0 && path->empty())
            return badInput(std::string(option) + ": the path is empty; give a file name");
    if (options.exact) {
        // The exact figures weigh every session a fair wheel can give;
        // --sessions sizes the sessions played should they be out of reach.
        if (app.count("--spins-file") > 0 || !options.journalFile.empty())
            return badInput("--exact: recorded spins are not a fair wheel; --exact computes "
                            "for the wheel only");
        if (app.count("--csv") > 0)
            return badInput("--exact: --csv writes one row per played session; none is played");
    }
    for (size_t i = 0; i < kSettingFields.size(); ++i)
        if (kSettingFields[i].kind == SettingKind::Choice)
            kSettingFields[i].setValue(s, kSettingFields[i].indexOf(choices[i]));
    config.spinIntervalMs = std::max<int64_t>(1, std::llround(spinInterval * 1000));
    if (app.count("--spins-file") > 0) {
        try {
            config.recorded = readSpins(options.spinsFile);
        } catch (const SpinsFileError& e) {
            return badInput(e.what());
        }
    }
    if (!options.journalFile.empty()) {
        try {
            config.recorded = options.readJournal(options.journalFile, options.wheelName);
        } catch (const std::exception& e) {
            return badInput(e.what());
        }
    }
    config.spins = spins                     ? *spins
                   : config.recorded.empty() ? static_cast<uint64_t>(kSpins.defaultValue)
                                             : config.recorded.size();
    if (app.count("--chart") > 0) {
        if (!endsWithNoCase(options.chartFile, ".png") &&
            !endsWithNoCase(options.chartFile, ".svg"))
            return badInput("--chart: '" + options.chartFile + "' must end in .png or .svg");
        if (!readSize(chartSize, options.chartWidth, options.chartHeight) ||
            options.chartWidth < 400 || options.chartWidth > 8000 || options.chartHeight < 300 ||
            options.chartHeight > 8000)
            return badInput("--chart-size: '" + chartSize +
                            "' is not WIDTHxHEIGHT within 400x300 to 8000x8000");
    }
    options.sessionsGiven = app.count("--sessions") > 0;
    SimCommand c;
    c.run = true;
    return c;
}

} // namespace vantel::sim
