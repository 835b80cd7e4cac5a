// What the wheel journal costs: the time a spin's commit adds to a click
// (flushed to the disk, with the write-ahead log and with the rollback
// journal), keeping the window's state after a draw, importing a long history,
// and the journal's bytes a spin. Prints figures; checks nothing.
//   bench_journal_cost [FOLDER [SPINS-FILE]]
// FOLDER (default: the current one) should be on the disk the journal lives on.
#include "journal_store.h"
#include "spins_import.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace vantel::journal;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Spread {
    double median, p90, worst;
};
Spread spread(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 9 / 10], v.back()};
}

void removeJournal(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(path + suffix);
}

std::uintmax_t journalBytes(const std::string& path) {
    std::uintmax_t bytes = 0;
    for (const char* suffix : {"", "-wal"})
        if (fs::exists(path + suffix)) bytes += fs::file_size(path + suffix);
    return bytes;
}

void clicks(const std::string& folder, bool rollback) {
    const std::string path = folder + "/bench_journal.sqlite";
    removeJournal(path);
    OpenOptions options;
    options.rollbackJournal = rollback;
    std::vector<double> spin, state;
    std::mt19937 rng(1);
    {
        auto store = openJournal(path, OpenMode::ReadWrite, options);
        const auto night = store->beginNight(store->openWheel("Bench").id, 0);
        // A night's session text grows with its spins: about 300 bytes a spin.
        std::string session;
        for (int i = 1; i <= 400; ++i) {
            auto start = Clock::now();
            store->addSpin(night, static_cast<int>(rng() % 37), i);
            spin.push_back(ms(Clock::now() - start));
            session.append(300, 'x');
            start = Clock::now();
            store->saveState(night, session, i);
            state.push_back(ms(Clock::now() - start));
        }
    }
    const Spread s = spread(spin), k = spread(state);
    std::printf("%-16s a spin's commit: median %.2f ms, 90%% %.2f ms, worst %.2f ms\n",
                rollback ? "rollback journal" : "write-ahead log", s.median, s.p90, s.worst);
    std::printf("%-16s the state after a draw (up to 120 kB): median %.2f ms, 90%% %.2f ms, "
                "worst %.2f ms\n",
                "", k.median, k.p90, k.worst);
    removeJournal(path);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    clicks(folder, false);
    clicks(folder, true);

    // Import: a spins file read, parsed and written as one night.
    std::string text;
    if (argc > 2) {
        text = readImportFile(argv[2]);
    } else {
        std::mt19937 rng(2);
        for (int i = 0; i < 1242616; ++i)
            text += std::to_string(rng() % 37) + '\n';
    }
    const std::string path = folder + "/bench_import.sqlite";
    removeJournal(path);
    const auto start = Clock::now();
    const ImportedSpins spins = parseImport(text, "spins");
    const auto parsed = Clock::now();
    auto store = openJournal(path);
    const auto wheel = store->openWheel("Bench").id;
    importSpins(*store, wheel, spins, "spins", 0);
    const auto done = Clock::now();
    const double n = static_cast<double>(spins.spins.size());
    std::printf("import of %.0f spins (%.1f MB): %.0f ms (parse %.0f ms, write %.0f ms), %.2f M "
                "spins a second\n",
                n, static_cast<double>(text.size()) / 1e6, ms(done - start), ms(parsed - start),
                ms(done - parsed), n / (ms(done - start) / 1000) / 1e6);
    store.reset();
    std::printf("journal bytes a spin: imported %.1f\n",
                static_cast<double>(journalBytes(path)) / n);
    removeJournal(path);
    {
        auto entered = openJournal(path);
        const auto night = entered->beginNight(entered->openWheel("Bench").id, 0);
        std::int64_t at = 1700000000000;
        for (int i = 0; i < 3000; ++i)
            entered->addSpin(night, i % 37, at += 45000);
    }
    std::printf("journal bytes a spin: entered (with its time, states aside) %.1f\n",
                static_cast<double>(journalBytes(path)) / 3000);
    removeJournal(path);
    const auto t0 = Clock::now();
    {
        auto again = openJournal(folder + "/bench_tallies.sqlite");
        const auto w = again->openWheel("Bench").id;
        again->importNight(w, NightSource::ImportedFile, "spins", spins.spins, 0);
        const auto t1 = Clock::now();
        const auto tallies = again->tallies(w);
        std::printf("a wheel's tallies read back (%lld spins): %.3f ms (import %.0f ms)\n",
                    static_cast<long long>(tallies.spins), ms(Clock::now() - t1), ms(t1 - t0));
    }
    removeJournal(folder + "/bench_tallies.sqlite");
}
