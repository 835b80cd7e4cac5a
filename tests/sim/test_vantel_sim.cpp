// The vantel-sim command, run as a user runs it: bad input ends it with one
// line and status 2 before anything is played; the chart has the asked size.
#include "spins_file.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Test processes run side by side: each keeps its files apart by its process id.
std::string tempPrefix() {
    return ::testing::TempDir() + "vsim_" + std::to_string(::getpid()) + "_";
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs vantel-sim with its standard output into `into` (a file of its own
// unless given, /dev/full for a disk that is full).
CommandRun run(const std::string& args, std::string into = "") {
    const std::string out = tempPrefix() + "out.txt", err = tempPrefix() + "err.txt";
    if (into.empty()) into = out;
    std::remove(out.c_str());
    const std::string cmd = std::string(VANTEL_SIM_BINARY) + " " + args + " >" + into + " 2>" + err;
    const int raw = std::system(cmd.c_str());
    CommandRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
}

int lines(const std::string& s) {
    int n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

TEST(VantelSim, EveryBadInputExitsTwoWithOneLineAndPlaysNothing) {
    const std::string bad = tempPrefix() + "bad3.txt";
    std::ofstream(bad) << "5\n# next\n37\n1\n";
    const std::string csv = tempPrefix() + "never.csv";
    std::remove(csv.c_str());
    // A session whose contents were changed after it was saved.
    const std::string damaged = tempPrefix() + "damaged.vantel";
    std::ofstream(damaged) << "{\"format\": \"vantel-session\", \"version\": 1, \"checksum\": "
                              "\"fnv1a64:0000000000000000\", \"content\": {}}";
    const std::string cases[][2] = {
        {"--initial-bet 0", "0"},
        {"--initial-bet 10001", "10001"},
        {"--safe-level 11", "11"},
        {"--increase-till 36", "36"},
        {"--m-count 0", "0"},
        {"--w-count 10001", "10001"},
        {"--mode Mode4", "Mode4"},
        {"--system Fibonacci", "Fibonacci"},
        {"--reset-on Never", "Never"},
        {"--progression Triple", "Triple"},
        {"--sessions 0", "0"},
        {"--spins x", "x"},
        {"--seed -1", "-1"},
        {"--threads 0", "0"},
        {"--bankroll 0", "0"},
        {"--table-limit abc", "abc"},
        {"--spin-interval 0", "0"},
        {"--no-such-option", "--no-such-option"},
        {"--mode", "--mode"},
        {"--spins-file /nonexistent/spins.txt", "/nonexistent/spins.txt"},
        {"--spins-file " + bad + " --csv " + csv, ":3:"},
        {"--spins-file " + damaged + " --csv " + csv, damaged + ": not opened, it is damaged"},
        {"--chart out.gif", "out.gif"},
        {"--chart /tmp/x.png --chart-size 10x10", "10x10"},
        {"--csv /nonexistent/dir/a.csv", "/nonexistent/dir/a.csv"},
    };
    for (const auto& c : cases) {
        const CommandRun r = run(c[0]);
        EXPECT_EQ(r.status, 2) << c[0];
        EXPECT_EQ(lines(r.err), 1) << c[0] << ": " << r.err;
        EXPECT_NE(r.err.find(c[1]), std::string::npos) << c[0] << ": " << r.err;
        EXPECT_EQ(r.out, "") << c[0];
    }
    EXPECT_FALSE(std::ifstream(csv).good()) << "a refused run left its CSV behind";
    std::remove(bad.c_str());
}

TEST(VantelSim, EmptyPathsHugeSeedsAndEveryFailedWriteEndWithOneLineAndAFailure) {
    // No SVG writer to load: an SVG chart fails, and the empty file the
    // output check made for it goes.
    const std::string svg = tempPrefix() + "alone.svg";
    std::remove(svg.c_str());
    ::setenv("VANTEL_SVG_MODULE", "/nonexistent/vantel-svg.so", 1);
    const struct {
        std::string args;
        const char* out;
        int status;
        const char* says;
    } cases[] = {
        {"--spins-file ''", "", 2, "--spins-file: the path is empty"},
        {"--csv ''", "", 2, "--csv: the path is empty"},
        {"--chart '' --spins 20 --sessions 2", "", 2, "--chart: the path is empty"},
        {"--seed 18446744073709551616", "", 2, "18446744073709551616 is more than"},
        {"--seed 000099999999999999999999", "", 2, "is more than"},
        {"--sessions 10 --spins 50 --json", "/dev/full", 1, "cannot write the JSON"},
        {"--sessions 10 --spins 50", "/dev/full", 1, "cannot write the report"},
        {"--exact --spins 50 --json", "/dev/full", 1, "cannot write the JSON"},
        {"--help", "/dev/full", 1, "cannot write the help"},
        // Written whole by replacing the old file: never a device in its place.
        {"--sessions 2 --spins 20 --csv /dev/full", "", 2, "'/dev/full': it is not a regular"},
        {"--sessions 2 --spins 20 --chart " + svg, "", 1, "the SVG writer could not be loaded"},
    };
    for (const auto& c : cases) {
        const CommandRun r = run(c.args, c.out);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(lines(r.err), 1) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    }
    ::unsetenv("VANTEL_SVG_MODULE");
    EXPECT_FALSE(std::ifstream(svg).good());
    const CommandRun largest = run("--seed 18446744073709551615 --sessions 1 --spins 10");
    EXPECT_EQ(largest.status, 0) << largest.err;
    EXPECT_NE(largest.out.find("seed 18446744073709551615"), std::string::npos);
}

TEST(VantelSim, HelpAndVersionExitZero) {
    const CommandRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--initial-bet"), std::string::npos);
    const CommandRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("vantel-sim 2.0"), std::string::npos);
}

TEST(VantelSim, SameSeedSameReportWhateverTheThreadsAndNothingOnStderr) {
    const CommandRun one = run("--sessions 30 --spins 200 --seed 5 --threads 1");
    const CommandRun two = run("--sessions 30 --spins 200 --seed 5 --threads 2");
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, two.out);
    EXPECT_EQ(one.err, "");
    EXPECT_NE(one.out.find("Spins played   6000"), std::string::npos) << one.out;
}

TEST(VantelSim, RecordedSpinsGiveTheHandCheckedNetAndOneCsvRowPerSession) {
    const std::string spins = tempPrefix() + "hand.txt";
    std::ofstream(spins) << "10\n11\n12\n13\n5\n7\n8\n1\n0\n2\n4\n";
    const std::string csv = tempPrefix() + "hand.csv";
    const CommandRun r =
        run("--mode Sequential --sessions 3 --spins-file " + spins + " --csv " + csv + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"mean\": 135.0"), std::string::npos) << r.out;
    const std::string rows = slurp(csv);
    EXPECT_EQ(lines(rows), 4);
    EXPECT_NE(rows.find("\n2,135,9,144,2,4,11,all spins played,6,3\n"), std::string::npos) << rows;
}

TEST(VantelSim, ASavedSessionPlaysTheSpinsEnteredInIt) {
    // A session saved by the window, and its spins as a plain file.
    const std::string session = std::string(VANTEL_SESSION_SAMPLE);
    const std::string plain = tempPrefix() + "session_spins.txt";
    {
        std::ofstream out(plain);
        for (int n : vantel::sim::readSpinsFile(session))
            out << n << "\n";
    }
    const CommandRun fromSession = run("--mode Mode2 --sessions 2 --spins-file " + session);
    const CommandRun fromPlain = run("--mode Mode2 --sessions 2 --spins-file " + plain);
    ASSERT_EQ(fromSession.status, 0) << fromSession.err;
    EXPECT_EQ(fromSession.out, fromPlain.out);
    EXPECT_NE(fromSession.out.find("Spins played   46"), std::string::npos) << fromSession.out;
    std::remove(plain.c_str());
}

uint32_t bigEndian(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

TEST(VantelSim, ChartIsAPngOrSvgOfTheAskedSizeWithAxisTitles) {
    const std::string png = tempPrefix() + "chart.png";
    const std::string svg = tempPrefix() + "chart.svg";
    ASSERT_EQ(run("--sessions 20 --spins 100 --chart " + png + " --chart-size 900x640").status, 0);
    const std::string p = slurp(png);
    ASSERT_GT(p.size(), 33u);
    EXPECT_EQ(p.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(p.substr(12, 4), "IHDR");
    EXPECT_EQ(bigEndian(p, 16), 900u);
    EXPECT_EQ(bigEndian(p, 20), 640u);

    const CommandRun r = run("--sessions 20 --spins 100 --chart " + svg + " --chart-size 1000x700");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string s = slurp(svg);
    EXPECT_NE(s.find("<svg width=\"1000\" height=\"700\""), std::string::npos);
    EXPECT_NE(s.find("viewBox=\"0 0 1000 700\""), std::string::npos);
    for (const char* title : {">Spin<", ">Net result<", ">Sessions<"})
        EXPECT_NE(s.find(title), std::string::npos) << title;
    EXPECT_NE(s.find("</svg>"), std::string::npos);
}

// Every key of a JSON object and of the objects within it, as paths.
void keysOf(const nlohmann::json& j, const std::string& at, std::set<std::string>& keys) {
    if (!j.is_object()) return;
    for (const auto& [key, value] : j.items()) {
        keys.insert(at + "/" + key);
        keysOf(value, at + "/" + key, keys);
    }
}

TEST(VantelSim, ExactPrintsTheReportWithExactFiguresAndTheSameJsonKeysPlusMethod) {
    const CommandRun text = run("--exact --spins 300 --safe-level 1 --bankroll 2000");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.err, "");
    for (const char* line :
         {"Spins from     a fair single-zero wheel, computed exactly", "Endings        probability",
          "Return to player  97.297 %  [97.297, 97.297]", "Longest run of lit misses",
          "Hit rate        48.649 %  [48.649, 48.649]"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;

    const CommandRun exact = run("--exact --spins 300 --json");
    const CommandRun sampled = run("--sessions 20 --spins 300 --json");
    ASSERT_EQ(exact.status, 0) << exact.err;
    ASSERT_EQ(sampled.status, 0) << sampled.err;
    const nlohmann::json e = nlohmann::json::parse(exact.out);
    const nlohmann::json s = nlohmann::json::parse(sampled.out);
    EXPECT_EQ(e["method"], "exact");
    EXPECT_EQ(s["method"], "monte carlo");
    std::set<std::string> exactKeys, sampledKeys;
    keysOf(e, "", exactKeys);
    keysOf(s, "", sampledKeys);
    for (const std::string& key : sampledKeys)
        EXPECT_EQ(exactKeys.count(key), 1u) << key;
    EXPECT_DOUBLE_EQ(e["return_to_player"]["low"].get<double>(),
                     e["return_to_player"]["high"].get<double>());
    EXPECT_NEAR(e["return_to_player"]["value"].get<double>(), 36.0 / 37, 1e-12);
    EXPECT_TRUE(e["exact"]["longest_lit_miss_run"].is_array());
}

TEST(VantelSim, ExactRefusesRecordedSpinsSessionsAndCsvWithOneLine) {
    const std::string spins = tempPrefix() + "exact_spins.txt";
    std::ofstream(spins) << "1\n2\n3\n";
    const std::string cases[][2] = {
        {"--exact --spins-file " + spins, "fair wheel"},
        {"--exact --csv " + tempPrefix() + "exact.csv", "--csv"},
    };
    for (const auto& c : cases) {
        const CommandRun r = run(c[0]);
        EXPECT_EQ(r.status, 2) << c[0];
        EXPECT_EQ(lines(r.err), 1) << c[0] << ": " << r.err;
        EXPECT_NE(r.err.find(c[1]), std::string::npos) << c[0] << ": " << r.err;
        EXPECT_EQ(r.out, "") << c[0];
    }
    std::remove(spins.c_str());
}

TEST(VantelSim, ExactOutOfReachSaysWhyAndHowLongAndPlaysTheSessionsAsked) {
    const CommandRun r =
        run("--exact --mode Sequential --reset-on Manual --spins 50 --sessions 300 --quiet");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_EQ(r.err.find("vantel-sim: --exact: Sequential is computed exactly up to about "), 0u)
        << r.err;
    EXPECT_NE(r.err.find("; shorten the session or run Monte Carlo; playing 300 sessions "
                         "instead, about "),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("Sessions       300\n"), std::string::npos) << r.out;
}

TEST(VantelSim, ExactNetsTooUnlikelyForADoubleAreWrittenAsSuchNeverAsZero) {
    const CommandRun r = run("--exact --spins 2000 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    int below = 0;
    for (const auto& entry : j["exact"]["net_distribution"]) {
        if (entry[1].is_string()) {
            EXPECT_EQ(entry[1], "below 1e-308");
            ++below;
        } else {
            ASSERT_GT(entry[1].get<double>(), 0.0) << entry;
        }
    }
    EXPECT_GT(below, 0);
    EXPECT_EQ(j["exact"]["net_max_probability"], "below 1e-308");
    EXPECT_EQ(j["exact"]["longest_lit_miss_run_note"], "");
}

TEST(VantelSim, ExactChartIsDrawnFromTheDistribution) {
    const std::string svg = tempPrefix() + "exact.svg";
    const CommandRun r = run("--exact --spins 200 --chart " + svg + " --chart-size 800x600");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string s = slurp(svg);
    EXPECT_NE(s.find(">% of sessions<"), std::string::npos);
    EXPECT_NE(s.find("exact"), std::string::npos);
    std::remove(svg.c_str());
}

// --help, and so the manual page, explains every line the report begins: a
// line's name is one of the glossary's, for a sampled, a recorded and an
// exact run.
TEST(VantelSim, HelpExplainsEveryLineOfTheReport) {
    const std::string help = run("--help").out;
    std::vector<std::string> names;
    std::istringstream glossary(help.substr(help.find("The report:")));
    for (std::string line; std::getline(glossary, line) && line.rfind("Exit status", 0) != 0;) {
        if (line.size() < 3 || line.rfind("  ", 0) != 0 || line[2] == ' ') continue;
        // "  Staked, Returned  all that..." names two lines.
        std::string name = line.substr(2, line.find("  ", 2) - 2);
        for (size_t comma; (comma = name.find(", ")) != std::string::npos; name.erase(0, comma + 2))
            names.push_back(name.substr(0, comma));
        names.push_back(name);
    }
    ASSERT_GE(names.size(), 20u) << help;
    const std::string spins = tempPrefix() + "glossary.txt";
    std::ofstream(spins) << "1\n2\n3\n4\n5\n6\n";
    for (const std::string& args : std::vector<std::string>{
             "--mode Sequential --sessions 20 --spins 50 --bankroll 100",
             "--sessions 2 --spins 9 --spins-file " + spins, "--exact --spins 40"}) {
        std::istringstream report(run(args).out);
        for (std::string line; std::getline(report, line);) {
            if (line.empty() || line[0] == ' ') continue;
            EXPECT_TRUE(std::any_of(names.begin(), names.end(),
                                    [&](const std::string& n) { return line.rfind(n, 0) == 0; }))
                << args << ": " << line;
        }
    }
    std::remove(spins.c_str());
}

} // namespace
