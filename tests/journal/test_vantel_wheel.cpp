// vantel-wheel and vantel-sim --journal as a user runs them.
#include "wheel_stats.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <random>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome run(const std::string& command) {
    // Per process: ctest runs this file's tests side by side.
    const std::string errFile =
        fs::temp_directory_path() / ("vantel_wheel_test_err_" + std::to_string(getpid()));
    Outcome r;
    FILE* p = popen((command + " 2>" + errFile).c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;)
        r.out.append(buffer, n);
    r.status = WEXITSTATUS(pclose(p));
    std::ifstream in(errFile);
    r.err.assign(std::istreambuf_iterator<char>(in), {});
    fs::remove(errFile);
    return r;
}

} // namespace

TEST(VantelWheel, ImportsListsExportsAndRefusesBadInputInOneLine) {
    const fs::path dir = fs::temp_directory_path() / "vantel_wheel_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string wheel = VANTEL_WHEEL_BINARY, sim = VANTEL_SIM_BINARY;
    const std::string j = (dir / "j.sqlite").string();
    std::ofstream(dir / "a.txt") << "# night one\n1\n2\n3\n";
    std::ofstream(dir / "b.csv") << "4,5;6 7\n";
    std::ofstream(dir / "bad.csv") << "1,2\n3;99\n";
    const auto file = [&](const char* name) { return (dir / name).string(); };
    ASSERT_EQ(mkfifo(file("pipe").c_str(), 0600), 0);

    Outcome r = run(wheel + " import --journal " + j + " --wheel 'Table 3' " + file("a.txt") + " " +
                    file("b.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    // A bad line refuses the whole import, the good file with it.
    // Where the system's SQLite cannot be loaded, the journal is refused and
    // nothing is made (a file in its name on the library path).
    fs::create_directories(dir / "libs");
    std::ofstream(dir / "libs" / "libsqlite3.so.0") << "not a library\n";
    const struct {
        std::string args, says, env = "";
    } bad[] = {
        {"import --journal " + j + " --wheel 'Table 3' " + file("a.txt") + " " + file("bad.csv"),
         "bad.csv:2: '99' is not a number from 0 to 36"},
        {"import --journal " + j + " --wheel W " + file("missing"), "missing: cannot be read"},
        {"stats " + file("pipe"), "pipe: it is not a regular file"},
        {"list --journal " + file("pipe"), "pipe is not a wheel journal"},
        {"import --journal " + file("a.txt") + " --wheel W " + file("b.csv"),
         "a.txt is not a wheel journal"},
        {"export --journal " + j + " --wheel Nope --csv " + file("o.csv"), "has no wheel 'Nope'"},
        {"list --journal " + file("none.sqlite"), "does not exist"},
        {"list", "--journal is required"},
        {"", "A subcommand is required"},
        {"import --journal " + file("new.sqlite") + " --wheel W " + file("a.txt"),
         "SQLite, which keeps the journal, could not be loaded", "LD_LIBRARY_PATH=" + file("libs")},
    };
    for (const auto& b : bad) {
        r = run(b.env + " " + wheel + " " + b.args);
        EXPECT_EQ(r.status, 2) << b.args;
        EXPECT_NE(r.err.find(b.says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_FALSE(fs::exists(file("new.sqlite")));
    r = run(wheel + " list --nights --journal " + j);
    EXPECT_NE(r.out.find("Table 3\t2 nights\t7 spins"), std::string::npos) << r.out;
    ASSERT_EQ(
        run(wheel + " export --journal " + j + " --wheel 'Table 3' --csv " + file("o.csv")).status,
        0);
    std::ifstream csv(dir / "o.csv");
    const std::string text(std::istreambuf_iterator<char>(csv), {});
    EXPECT_EQ(text, "night,order,number,entered_utc_ms,taken_back\n1,1,1,,0\n1,2,2,,0\n1,3,3,,0\n"
                    "2,1,4,,0\n2,2,5,,0\n2,3,6,,0\n2,4,7,,0\n");
    // vantel-sim plays the wheel's spins as it plays a spins file of them.
    std::ofstream(dir / "all.txt") << "1\n2\n3\n4\n5\n6\n7\n";
    const std::string common = " --sessions 2 --quiet --json --seed 5";
    r = run(sim + " --journal " + j + " --wheel 'Table 3'" + common);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, run(sim + " --spins-file " + file("all.txt") + common).out);
    fs::remove_all(dir);
}

namespace {

// The chance a chi-square of even degrees of freedom k reaches x:
// exp(-x/2) times the sum of (x/2)^i / i! for i below k/2.
double evenChiSquareP(double x, int k) {
    double term = 1, sum = 1;
    for (int i = 1; i < k / 2; ++i)
        sum += term *= x / 2 / i;
    return std::exp(-x / 2) * sum;
}

} // namespace

// The figures of two nights, from the files and from the journal they were
// imported into, against counts, chi-squares and p-values computed here.
TEST(VantelWheel, StatsAgreeWithAnIndependentCalculation) {
    const fs::path dir = fs::temp_directory_path() / "vantel_wheel_stats_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::mt19937 rng(7);
    std::vector<std::vector<int>> nights(2);
    std::array<double, 37> counts{};
    std::array<double, 19> distances{};
    for (std::size_t n = 0; n < nights.size(); ++n) {
        std::ofstream out(dir / ("night" + std::to_string(n) + ".txt"));
        for (int i = 0; i < 3000; ++i) {
            // A wheel that favours 17 and its right-hand neighbour a little.
            const int x = rng() % 10 == 0 ? 17 + static_cast<int>(rng() % 2) * 17 : rng() % 37;
            if (!nights[n].empty()) ++distances[vantel::sim::wheelDistance(nights[n].back(), x)];
            nights[n].push_back(x);
            ++counts[x];
            out << x << (i % 7 == 0 ? "\n" : ",");
        }
    }
    const std::string files = (dir / "night0.txt").string() + " " + (dir / "night1.txt").string();
    const std::string j = (dir / "j.sqlite").string();
    ASSERT_EQ(
        run(std::string(VANTEL_WHEEL_BINARY) + " import --journal " + j + " --wheel W " + files)
            .status,
        0);
    const Outcome fromFiles = run(std::string(VANTEL_WHEEL_BINARY) + " stats --json " + files);
    const Outcome fromJournal =
        run(std::string(VANTEL_WHEEL_BINARY) + " stats --json --journal " + j + " --wheel W");
    ASSERT_EQ(fromFiles.status, 0) << fromFiles.err;
    EXPECT_EQ(fromFiles.out, fromJournal.out);
    const nlohmann::json f = nlohmann::json::parse(fromFiles.out);
    EXPECT_EQ(f["spins"], 6000);
    double chi = 0;
    for (int x = 0; x < 37; ++x) {
        EXPECT_EQ(f["pockets"]["counts"][x].get<double>(), counts[x]);
        chi += (counts[x] - 6000.0 / 37) * (counts[x] - 6000.0 / 37) / (6000.0 / 37);
    }
    EXPECT_NEAR(f["pockets"]["chi_square"].get<double>(), chi, 1e-9);
    EXPECT_NEAR(f["pockets"]["p"].get<double>(), evenChiSquareP(chi, 36), 1e-9);
    // Distances within each night only: 2 x 2999 of them.
    double dchi = 0;
    for (int d = 0; d < 19; ++d) {
        const double expected = 5998.0 * (d == 0 ? 1.0 : 2.0) / 37;
        EXPECT_EQ(f["distances"]["counts"][d].get<double>(), distances[d]);
        dchi += (distances[d] - expected) * (distances[d] - expected) / expected;
    }
    EXPECT_NEAR(f["distances"]["chi_square"].get<double>(), dchi, 1e-9);
    EXPECT_NEAR(f["distances"]["p"].get<double>(), evenChiSquareP(dchi, 18), 1e-9);
    EXPECT_NEAR(f["arcs"]["p"].get<double>(),
                evenChiSquareP(f["arcs"]["chi_square"].get<double>(), 6), 1e-9);
    EXPECT_EQ(f["pockets"]["largest"]["number"], 17);
    fs::remove_all(dir);
}
