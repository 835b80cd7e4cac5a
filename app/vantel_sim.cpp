// vantel-sim: plays many sessions of the window's exact rules and reports
// what they come to. Parses the options, checks every input before a single
// spin is played, runs the engine and writes the report, the CSV and the chart.
#include "chart/sim_chart.h"
#include "engine.h"
#include "exact.h"
#include "report.h"
#include "sim_options.h"
#include "spins_file.h"
#include "spins_import.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vantel::sim;

// An input that stops the run before it starts: one line, exit status 2.
struct BadInput {
    std::string message;
};

int fail(const std::string& message, int status = kExitBadInput) {
    std::string line = message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "vantel-sim: %s\n", line.c_str());
    return status;
}

// A run that could not write what it was asked for ends with this status.
constexpr int kExitWriteFailed = 1;

// Writes text to standard output and flushes it; false, with the reason in
// *error, when any of it did not get there (a full disk, a closed pipe).
bool writeOut(const std::string& text, std::string* error) {
    errno = 0;
    const bool ok = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                    std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!ok) *error = errno != 0 ? std::strerror(errno) : "the write failed";
    return ok;
}

// Writes a file whole or not at all: a file already there is replaced only
// once the new one is complete.
bool saveWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
    QSaveFile file(QString::fromStdString(path));
    file.setDirectWriteFallback(false);
    // Unbuffered and flushed by hand: the commit does not see a refused last write.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush() || !file.commit()) {
        *error = file.errorString().toStdString();
        return false;
    }
    return true;
}

// Makes sure an output file can be written before anything is played. A file
// this check creates is removed again if the run does not happen.
class OutputFiles {
  public:
    ~OutputFiles() {
        if (!m_keep)
            for (const std::string& p : m_created)
                std::remove(p.c_str());
    }
    void check(const std::string& option, const std::string& path) {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec))
            throw BadInput{option + ": cannot write '" + path + "': it is a folder"};
        const bool existed = std::filesystem::exists(path, ec);
        // The file is replaced whole once written: a device, a pipe or a
        // socket in its place would be replaced by a plain file.
        if (existed && !std::filesystem::is_regular_file(path, ec))
            throw BadInput{option + ": cannot write '" + path + "': it is not a regular file"};
        std::ofstream probe(path, std::ios::app);
        if (!probe) throw BadInput{option + ": cannot write '" + path + "'"};
        if (!existed) m_created.push_back(path);
    }
    void keep() { m_keep = true; }
    // A file that could not be written after all: the empty one the check
    // made for it goes, one that was there before stays as it was.
    void notWritten(const std::string& path) {
        if (std::find(m_created.begin(), m_created.end(), path) != m_created.end())
            std::remove(path.c_str());
    }

  private:
    std::vector<std::string> m_created;
    bool m_keep = false;
};

// The bar on stderr: drawn only on a terminal, and only once the run has
// lasted a second.
class ProgressBar {
  public:
    ProgressBar(uint64_t total, bool enabled)
        : m_total(std::max<uint64_t>(total, 1)), m_enabled(enabled && isatty(2)),
          m_start(std::chrono::steady_clock::now()) {}
    // The share is of the spins settled (a session that stopped early counts
    // whole), the pace that of the spins played.
    void update(const RunProgress& done) {
        if (!m_enabled) return;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        if (seconds < 1.0) return;
        const double share =
            std::min(1.0, static_cast<double>(done.settled) / static_cast<double>(m_total));
        const double rate = static_cast<double>(done.played) / seconds;
        const double settledRate = static_cast<double>(done.settled) / seconds;
        const double left =
            settledRate > 0
                ? static_cast<double>(m_total - std::min(done.settled, m_total)) / settledRate
                : 0;
        constexpr int kWidth = 30;
        const int filled = static_cast<int>(share * kWidth);
        std::fprintf(stderr, "\r[%s%s] %5.1f %%  %.0f spins/s  %.0f s left ",
                     std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kWidth - filled), '.').c_str(), 100 * share,
                     rate, std::ceil(left));
        m_drawn = true;
    }
    void finish() {
        if (m_drawn) std::fprintf(stderr, "\r\033[K");
    }

  private:
    uint64_t m_total;
    bool m_enabled;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_start;
};

nlohmann::ordered_json estimateJson(const Estimate& e) {
    return {{"value", e.value}, {"low", e.low}, {"high", e.high}};
}

// A figure of the spins with a stake: none when no spin was bet.
nlohmann::ordered_json betJson(bool bet, const Estimate& e) {
    if (bet) return estimateJson(e);
    return {{"value", nullptr}, {"low", nullptr}, {"high", nullptr}};
}

const char* spreadName(Spread s) {
    switch (s) {
    case Spread::Wheel:
        return "the wheel";
    case Spread::Draws:
        return "the suggestions' draws on the recorded spins";
    case Spread::Nothing:
        return "none: every session alike";
    }
    return "";
}

// A probability as JSON: a number, or below the range of a double when the
// computation's double ran out (it is then not 0: the net can happen).
nlohmann::ordered_json probabilityJson(double p) {
    if (p < std::numeric_limits<double>::min()) return "below 1e-308";
    return p;
}

nlohmann::ordered_json reportJson(const Config& c, const Report& r) {
    nlohmann::ordered_json j;
    j["method"] = r.exact ? "exact" : "monte carlo";
    // The settings by the field table: a choice by its name.
    nlohmann::ordered_json settings = nlohmann::ordered_json::object();
    for (const vantel::SettingField& f : vantel::kSettingFields) {
        const std::string key(f.jsonKey);
        if (f.text)
            settings[key] = c.settings.*f.text;
        else if (f.flag)
            settings[key] = c.settings.*f.flag;
        else if (f.kind == vantel::SettingKind::Choice)
            settings[key] = std::string(f.choiceName(c.settings.*f.number));
        else
            settings[key] = c.settings.*f.number;
    }
    j["settings"] = std::move(settings);
    j["seed"] = c.seed;
    j["recorded_spins"] = c.recorded.size();
    j["spins_per_session"] = spinsPerSession(c);
    j["intervals_over"] = r.exact ? "none: exact" : spreadName(r.spread);
    j["spin_interval_s"] = static_cast<double>(c.spinIntervalMs) / 1000;
    j["bankroll"] = c.bankroll ? nlohmann::ordered_json(*c.bankroll) : nullptr;
    j["table_limit"] = c.tableLimit ? nlohmann::ordered_json(*c.tableLimit) : nullptr;
    // Exact figures are a session's expectations: no session count.
    const auto count = [&r](uint64_t sampled, double expected) {
        return r.exact ? nlohmann::ordered_json(expected) : nlohmann::ordered_json(sampled);
    };
    j["sessions"] = r.exact ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(r.sessions);
    j["spins"] = count(r.spins, r.expectedSpins);
    nlohmann::ordered_json pct;
    for (size_t i = 0; i < kNetPercentiles.size(); ++i)
        pct[std::to_string(kNetPercentiles[i])] = r.netPercentiles[i];
    j["net"] = {{"mean", r.netMean},
                {"sd", r.netSd},
                {"percentiles", pct},
                {"min", r.netMin},
                {"max", r.netMax}};
    j["drawdown"] = r.drawdownKnown ? nlohmann::ordered_json{{"mean", r.meanDrawdown},
                                                             {"deepest", r.deepestDrawdown}}
                                    : nlohmann::ordered_json(nullptr);
    j["largest_outlay"] = r.largestOutlay;
    nlohmann::ordered_json endings;
    for (size_t e = 0; e < kEndingCount; ++e) {
        nlohmann::ordered_json one = estimateJson(r.endingRates[e]);
        one["sessions"] =
            r.exact ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(r.endings[e]);
        endings[endingName(static_cast<Ending>(e))] = one;
    }
    j["endings"] = endings;
    j["staked"] =
        r.exact ? nlohmann::ordered_json(r.expectedStaked) : nlohmann::ordered_json(r.staked);
    j["returned"] =
        r.exact ? nlohmann::ordered_json(r.expectedReturned) : nlohmann::ordered_json(r.returned);
    const bool bet = r.exact ? r.expectedBetSpins > 0 : r.betSpins > 0;
    j["no_spin_bet"] = !bet;
    j["return_to_player"] = betJson(bet, r.returnToPlayer);
    j["house_return"] = 36.0 / 37.0;
    nlohmann::ordered_json hit = betJson(bet, r.hitRate);
    hit["bet_spins"] = count(r.betSpins, r.expectedBetSpins);
    hit["random_bet"] = r.randomHitRate;
    j["hit_rate"] = hit;
    return j;
}

// What an exact computation adds: each ending by spin, the net's full
// distribution, the longest run of lit misses, the extremes' probabilities.
nlohmann::ordered_json exactJson(const ExactFigures& f) {
    nlohmann::ordered_json j;
    nlohmann::ordered_json endings;
    for (size_t e = 0; e < kEndingCount; ++e) {
        nlohmann::ordered_json at = nlohmann::ordered_json::object();
        for (size_t t = 0; t < f.endingAtSpin[e].size(); ++t)
            if (f.endingAtSpin[e][t] > 0) at[std::to_string(t)] = f.endingAtSpin[e][t];
        if (e > 0) endings[endingName(static_cast<Ending>(e))] = at;
    }
    j["endings_at_spin"] = endings;
    j["net_min_probability"] = probabilityJson(f.lowestProbability);
    j["net_max_probability"] = probabilityJson(f.highestProbability);
    j["largest_outlay_probability"] = f.largestOutlayProbability;
    if (f.longestRun.empty())
        j["longest_lit_miss_run"] = nullptr;
    else
        j["longest_lit_miss_run"] = f.longestRun;
    j["longest_lit_miss_run_note"] = f.runsNote;
    j["longest_lit_miss_run_last_bucket_or_more"] = kRunBuckets;
    nlohmann::ordered_json net = nlohmann::ordered_json::array();
    for (const auto& [value, p] : f.net)
        net.push_back({value, probabilityJson(p)});
    j["net_distribution"] = net;
    return j;
}

// How long sessions of these settings take to play here: one short session
// is timed and the rest reckoned from it.
double secondsToPlay(const Config& config) {
    Config probe = config;
    probe.spins = std::min<uint64_t>(config.spins, 2000);
    probe.pathPoints = 0;
    const auto start = std::chrono::steady_clock::now();
    const SessionResult r = playSession(probe, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perSpin = seconds / static_cast<double>(std::max<uint64_t>(r.spins, 1));
    return perSpin * static_cast<double>(config.sessions) *
           static_cast<double>(spinsPerSession(config)) /
           static_cast<double>(std::max(1u, config.threads));
}

void writeCsv(std::ostream& out, const std::vector<SessionResult>& results) {
    out << "session,net,staked,returned,drawdown,largest_outlay,spins,ending,bet_spins,hits\n";
    for (size_t i = 0; i < results.size(); ++i) {
        const SessionResult& r = results[i];
        out << i << ',' << r.net << ',' << r.staked << ',' << r.returned << ',' << r.drawdown << ','
            << r.largestOutlay << ',' << r.spins << ',' << endingName(r.ending) << ',' << r.betSpins
            << ',' << r.hits << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    options.readJournal = vantel::journal::recordedSpins;
    const SimCommand command = parseSimOptions(
        argc, argv, std::thread::hardware_concurrency(),
        [](const std::string& path) { return readSpinsFile(path); }, options);
    std::string error;
    if (!command.run) {
        if (!command.error.empty()) return fail(command.error);
        if (!writeOut(command.output, &error))
            return fail("cannot write the help to standard output: " + error, kExitWriteFailed);
        return command.status;
    }
    Config& config = options.config;
    const std::string& csvFile = options.csvFile;
    const std::string& chartFile = options.chartFile;
    if (!chartFile.empty()) config.pathPoints = vantel::kSimChartPoints;

    OutputFiles outputs;
    try {
        if (!csvFile.empty()) outputs.check("--csv", csvFile);
        if (!chartFile.empty()) outputs.check("--chart", chartFile);
    } catch (const BadInput& e) {
        return fail(e.message);
    }

    std::optional<ExactResult> exact;
    if (options.exact) {
        exact = exactRisk(config);
        if (!exact->exact) {
            const double seconds = secondsToPlay(config);
            std::fprintf(stderr,
                         "vantel-sim: --exact: %s; playing %llu sessions instead, about %.0f s "
                         "on %u threads%s\n",
                         exact->reason.c_str(), static_cast<unsigned long long>(config.sessions),
                         std::ceil(seconds), config.threads,
                         options.sessionsGiven ? "" : " (--sessions sets how many)");
            exact.reset();
        }
    }

    std::vector<SessionResult> results;
    if (!exact) {
        ProgressBar bar(config.sessions * spinsPerSession(config), !options.quiet);
        results = runSessionsTracked(config, [&bar](const RunProgress& done) { bar.update(done); });
        bar.finish();
    }
    const Report report = exact ? exact->report : summarize(config, results);
    outputs.keep();

    int status = 0;
    std::string text;
    if (options.json) {
        nlohmann::ordered_json j = reportJson(config, report);
        if (exact) j["exact"] = exactJson(exact->figures);
        text = j.dump(2) + '\n';
    } else {
        text = formatReport(config, report);
        if (exact) text += formatExactFigures(config, *exact);
    }
    if (!writeOut(text, &error))
        status = fail(std::string("cannot write the ") + (options.json ? "JSON" : "report") +
                          " to standard output: " + error,
                      kExitWriteFailed);

    if (!csvFile.empty()) {
        std::ostringstream csv;
        writeCsv(csv, results);
        if (!saveWholeFile(csvFile, csv.str(), &error)) {
            status = fail("cannot write '" + csvFile + "': " + error, kExitWriteFailed);
            outputs.notWritten(csvFile);
        }
    }
    if (!chartFile.empty()) {
        // Fonts without a display, and none of the platform's chatter on stderr.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "vantel-sim: %s\n", text.toLocal8Bit().constData());
        });
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        int qargc = 1;
        char* qargv[] = {argv[0], nullptr};
        QGuiApplication gui(qargc, qargv);
        const vantel::SimChartData chart = vantel::simChartData(config, report);
        QString chartError;
        if (!vantel::saveSimChart(QString::fromStdString(chartFile),
                                  QSize(options.chartWidth, options.chartHeight), chart,
                                  &chartError)) {
            status = fail("cannot write '" + chartFile + "': " + chartError.toStdString(),
                          kExitWriteFailed);
            outputs.notWritten(chartFile);
        }
    }
    return status;
}
