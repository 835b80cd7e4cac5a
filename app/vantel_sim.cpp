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
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vantel::sim;

// An input that stops the run before it starts: one line, exit status 2.
struct BadInput {
    std::string message;
};

int fail(const std::string& message) {
    std::string line = message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "vantel-sim: %s\n", line.c_str());
    return kExitBadInput;
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
        std::ofstream probe(path, std::ios::app);
        if (!probe) throw BadInput{option + ": cannot write '" + path + "'"};
        if (!existed) m_created.push_back(path);
    }
    void keep() { m_keep = true; }

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
    void update(uint64_t done) {
        if (!m_enabled) return;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        if (seconds < 1.0) return;
        const double share =
            std::min(1.0, static_cast<double>(done) / static_cast<double>(m_total));
        const double rate = static_cast<double>(done) / seconds;
        const double left =
            rate > 0 ? static_cast<double>(m_total - std::min(done, m_total)) / rate : 0;
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

nlohmann::ordered_json reportJson(const Config& c, const Report& r) {
    const Settings& s = c.settings;
    nlohmann::ordered_json j;
    j["method"] = r.exact ? "exact" : "monte carlo";
    j["settings"] = {
        {"mode", gameModeName(s.gameMode)}, {"system", s.bettingSystem},
        {"initial_bet", s.initialBet},      {"safe_level", s.safeLevel},
        {"fixed_matrix", s.fixedMatrix},    {"reset_on", mode3ResetName(s.mode3Reset)},
        {"increase_till", s.increaseTill},  {"progression", progressionName(s.progression)},
        {"m_count", s.sequentialLosses},    {"w_count", s.sequentialWins}};
    j["seed"] = c.seed;
    j["recorded_spins"] = c.recorded.size();
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
    j["return_to_player"] = estimateJson(r.returnToPlayer);
    j["house_return"] = 36.0 / 37.0;
    nlohmann::ordered_json hit = estimateJson(r.hitRate);
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
    j["net_min_probability"] = f.lowestProbability;
    j["net_max_probability"] = f.highestProbability;
    j["largest_outlay_probability"] = f.largestOutlayProbability;
    if (f.longestRun.empty())
        j["longest_lit_miss_run"] = nullptr;
    else
        j["longest_lit_miss_run"] = f.longestRun;
    j["longest_lit_miss_run_last_bucket_or_more"] = kRunBuckets;
    nlohmann::ordered_json net = nlohmann::ordered_json::array();
    for (const auto& [value, p] : f.net)
        net.push_back({value, p});
    j["net_distribution"] = net;
    return j;
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
    if (!command.run) {
        if (!command.error.empty()) return fail(command.error);
        std::cout << command.output;
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
            std::fprintf(stderr, "vantel-sim: --exact: %s; playing %llu sessions instead\n",
                         exact->reason.c_str(), static_cast<unsigned long long>(config.sessions));
            exact.reset();
        }
    }

    const uint64_t perSession = config.recorded.empty()
                                    ? config.spins
                                    : std::min<uint64_t>(config.spins, config.recorded.size());
    std::vector<SessionResult> results;
    if (!exact) {
        ProgressBar bar(config.sessions * perSession, !options.quiet);
        results = runSessions(config, [&bar](uint64_t done) { bar.update(done); });
        bar.finish();
    }
    const Report report = exact ? exact->report : summarize(config, results);
    outputs.keep();

    int status = 0;
    if (options.json) {
        nlohmann::ordered_json j = reportJson(config, report);
        if (exact) j["exact"] = exactJson(exact->figures);
        std::cout << j.dump(2) << '\n';
    } else {
        std::cout << formatReport(config, report);
        if (exact) std::cout << formatExactFigures(config, *exact);
    }
    std::cout.flush();

    if (!csvFile.empty()) {
        std::ofstream csv(csvFile, std::ios::trunc);
        writeCsv(csv, results);
        csv.flush();
        if (!csv) {
            std::fprintf(stderr, "vantel-sim: cannot write '%s'\n", csvFile.c_str());
            status = 1;
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
        QString error;
        if (!vantel::saveSimChart(QString::fromStdString(chartFile),
                                  QSize(options.chartWidth, options.chartHeight), chart, &error)) {
            std::fprintf(stderr, "vantel-sim: cannot write '%s': %s\n", chartFile.c_str(),
                         error.toStdString().c_str());
            status = 1;
        }
    }
    return status;
}
