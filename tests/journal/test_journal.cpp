// The wheel journal: its tallies against its spins, persistence, refusals,
// the faults of a real disk, and a kill in the middle of a write.
#include "journal_store.h"
#include "spins_file.h"
#include "spins_import.h"
#include "wheel_stats.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace vantel;
using namespace vantel::journal;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        char name[] = "/tmp/vantel_journal_XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The tallies recomputed from the spins the journal hands back, independently
// of the running tallies: each night's live spins in order.
sim::WheelTallies recount(JournalStore& store, std::int64_t wheel) {
    sim::WheelTallies t;
    std::int64_t night = -1;
    int previous = -1;
    store.forEachSpin(wheel, 0, [&](const SpinRecord& r) {
        if (r.night != night) night = r.night, previous = -1;
        if (r.takenBack) return;
        t.add(previous, r.number);
        previous = r.number;
    });
    return t;
}

void expectSame(const sim::WheelTallies& a, const sim::WheelTallies& b) {
    EXPECT_EQ(a.spins, b.spins);
    EXPECT_EQ(a.counts, b.counts);
    EXPECT_EQ(a.distances, b.distances);
}

std::string integrity(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string result;
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "";
            return 0;
        },
        &result, nullptr);
    sqlite3_close(db);
    return result;
}

} // namespace

// Random nights of spins entered, taken back and imported: the running tallies
// stay those of the live spins, over the whole wheel and over a date range,
// after the file is closed and opened again.
TEST(Journal, RunningTalliesAreThoseOfTheLiveSpins) {
    TempDir dir;
    const std::string path = dir.file("journal.sqlite");
    std::mt19937 rng(34);
    sim::WheelTallies early;
    {
        auto store = openJournal(path);
        const auto wheel = store->openWheel("Table 3", "Casino X, table 3").id;
        store->openWheel("Table 6");
        for (int n = 0; n < 6; ++n) {
            const std::int64_t night = store->beginNight(wheel, 1000 * n);
            for (int i = 0; i < 60; ++i) {
                if (rng() % 4 == 0)
                    store->takeBack(night, std::nullopt);
                else
                    store->addSpin(night, static_cast<int>(rng() % 37), i);
            }
            if (n < 3) early += store->nightTallies(night);
        }
        std::vector<int> imported(500);
        for (int& x : imported)
            x = static_cast<int>(rng() % 37);
        store->importNight(wheel, NightSource::ImportedFile, "a.txt", imported, 9000);
        expectSame(store->tallies(wheel), recount(*store, wheel));
        EXPECT_GT(store->tallies(wheel).spins, 600);
    }
    auto store = openJournal(path, OpenMode::ReadOnly);
    const WheelInfo wheel = *store->findWheel("Table 3");
    EXPECT_EQ(wheel.note, "Casino X, table 3");
    EXPECT_EQ(wheel.nights, 7);
    expectSame(store->tallies(wheel.id), recount(*store, wheel.id));
    EXPECT_EQ(wheel.spins, store->tallies(wheel.id).spins);
    expectSame(store->tallies(wheel.id, {0, 2000}), early);
    EXPECT_EQ(store->wheels().size(), 2u);
    EXPECT_EQ(store->findWheel("Table 6")->spins, 0);
    ASSERT_TRUE(store->openNight(wheel.id));
    EXPECT_EQ(store->openNight(wheel.id)->began, 5000); // the last entered night never ended
}

TEST(Journal, NightStateAndTakingBack) {
    TempDir dir;
    auto store = openJournal(dir.file("j.sqlite"));
    const auto wheel = store->openWheel("T").id;
    const auto night = store->beginNight(wheel, 5);
    for (int n : {7, 7, 25})
        store->addSpin(night, n, 0);
    store->saveState(night, "{a}", 3);
    store->takeBack(night, std::string("{b}"));
    EXPECT_EQ(store->state(night)->state, "{b}");
    EXPECT_EQ(store->state(night)->throughOrder, 3);
    EXPECT_EQ(store->addSpin(night, 0, 0), 4); // the taken back spin keeps its place
    std::vector<std::pair<int, bool>> spins;
    store->forEachSpin(wheel, night, [&](const SpinRecord& r) {
        spins.push_back({r.number, r.takenBack});
    });
    EXPECT_EQ(spins,
              (std::vector<std::pair<int, bool>>{{7, false}, {7, false}, {25, true}, {0, false}}));
    store->endNight(night, 9);
    EXPECT_FALSE(store->openNight(wheel));
    EXPECT_THROW(store->addSpin(night, 37, 0), JournalError);
    EXPECT_THROW(store->addSpin(night + 1, 1, 0), JournalError);
}

// Files that are not a journal of this version are refused, byte for byte
// untouched; an empty file or an empty database becomes one.
TEST(Journal, ForeignAndNewerFilesAreRefusedUntouched) {
    TempDir dir;
    const auto sqlite = [&](const char* name, const char* sql) {
        const std::string path = dir.file(name);
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return path;
    };
    const std::string newer = dir.file("newer.sqlite");
    { openJournal(newer)->openWheel("T"); }
    sqlite(newer.c_str() + dir.path.string().size() + 1, "PRAGMA user_version = 2");
    std::ofstream(dir.file("text.txt")) << "1\n2\n3\n";
    std::ofstream(dir.file("short")) << "SQLite format 3";
    const std::vector<std::string> refused = {
        dir.file("text.txt"), dir.file("short"), newer,
        sqlite("other.db", "CREATE TABLE t(x); INSERT INTO t VALUES(1)"),
        sqlite("otherapp.db", "PRAGMA application_id = 7; CREATE TABLE t(x)")};
    for (const std::string& path : refused) {
        const std::string before = bytesOf(path);
        try {
            openJournal(path);
            ADD_FAILURE() << path << " was opened";
        } catch (const JournalError& e) {
            EXPECT_EQ(e.kind(), JournalError::Kind::Refused) << e.what();
            EXPECT_NE(std::string(e.what()).find(fs::path(path).filename().string()),
                      std::string::npos);
        }
        EXPECT_EQ(bytesOf(path), before) << path;
        EXPECT_FALSE(fs::exists(path + "-wal")) << path;
    }
    std::ofstream(dir.file("empty"));
    EXPECT_NO_THROW(openJournal(dir.file("empty"))->openWheel("T"));
    EXPECT_NO_THROW(openJournal(sqlite("blank.db", "PRAGMA user_version = 0"))->openWheel("T"));
    EXPECT_THROW(openJournal(dir.file("missing"), OpenMode::ReadOnly), JournalError);
}

// A full disk, a read-only or locked journal, a damaged file: one fault of its
// kind, nothing half written, and the journal goes on once the cause is gone.
TEST(Journal, FaultsOfTheDiskAreSaidAndLeaveTheFileWhole) {
    TempDir dir;
    const std::string path = dir.file("j.sqlite");
    std::int64_t wheel = 0, night = 0;
    {
        auto store = openJournal(path);
        wheel = store->openWheel("T").id;
        night = store->beginNight(wheel, 1);
        store->addSpin(night, 1, 0);
    }
    const auto kindOf = [&](const std::function<void()>& write) {
        try {
            write();
        } catch (const JournalError& e) {
            return e.kind();
        }
        return JournalError::Kind::NotFound;
    };
    { // full: the file may not grow past its pages
        auto store = openJournal(path, OpenMode::ReadWrite, {8});
        EXPECT_EQ(kindOf([&] {
                      store->importNight(wheel, NightSource::ImportedFile, "big",
                                         std::vector<int>(200000, 5), 2);
                  }),
                  JournalError::Kind::Full);
        EXPECT_EQ(store->tallies(wheel).spins, 1);
    }
    { // read-only
        auto store = openJournal(path, OpenMode::ReadOnly);
        EXPECT_EQ(kindOf([&] { store->addSpin(night, 2, 0); }), JournalError::Kind::ReadOnly);
    }
    { // locked by a second program
        sqlite3* other = nullptr;
        sqlite3_open(path.c_str(), &other);
        sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        auto store = openJournal(path);
        EXPECT_EQ(kindOf([&] { store->addSpin(night, 2, 0); }), JournalError::Kind::Locked);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        store->addSpin(night, 3, 0);
        EXPECT_EQ(store->tallies(wheel).spins, 2);
    }
    EXPECT_EQ(integrity(path), "ok");
    { // damaged: pages past the header overwritten
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 + 100);
        const std::string junk(3 * 4096, '\x5a');
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    EXPECT_EQ(kindOf([&] {
                  auto store = openJournal(path);
                  store->addSpin(night, 4, 0);
                  store->tallies(wheel);
              }),
              JournalError::Kind::Damaged);
}

// A child process commits spins one by one and is killed at a random moment:
// every spin it was told was committed is there, at most one more, and the
// file is whole.
TEST(Journal, KillDuringWritesLosesNoCommittedSpin) {
    TempDir dir;
    const std::string path = dir.file("j.sqlite");
    for (int round = 0; round < 3; ++round) {
        int acks[2];
        ASSERT_EQ(pipe(acks), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(acks[0]);
            auto store = openJournal(path);
            const auto wheel = store->openWheel("T").id;
            const auto night = store->beginNight(wheel, round);
            for (int i = 0;; ++i) {
                store->addSpin(night, i % 37, i);
                if (i % 5 == 4) store->saveState(night, std::string(3000, 'x'), i);
                const char one = 1;
                if (write(acks[1], &one, 1) != 1) _exit(1);
            }
        }
        close(acks[1]);
        std::int64_t acked = 0;
        char buffer[64];
        const std::int64_t killAt = 20 + 37 * round;
        while (acked < killAt) {
            const ssize_t got = read(acks[0], buffer, 1);
            ASSERT_EQ(got, 1);
            acked += got;
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        for (ssize_t got; (got = read(acks[0], buffer, sizeof buffer)) > 0;)
            acked += got; // acknowledged before it died
        close(acks[0]);
        EXPECT_EQ(integrity(path), "ok");
        auto store = openJournal(path);
        const auto wheel = store->findWheel("T")->id;
        const auto nights = store->nights(wheel);
        ASSERT_EQ(nights.size(), static_cast<std::size_t>(round + 1));
        EXPECT_GE(nights.back().spins, acked);
        EXPECT_LE(nights.back().spins, acked + 1); // committed, killed before it said so
        expectSame(store->tallies(wheel), recount(*store, wheel));
    }
}

// Imports: every accepted separator, comments and a byte-order mark; a bad
// number refuses the whole text with its line.
TEST(Import, ParsesSpinsFilesCsvAndPastedText) {
    const struct {
        const char* text;
        std::vector<int> spins;
        int badLine; // 0: accepted
    } cases[] = {
        {"1\n2\n36\n", {1, 2, 36}, 0},
        {"\xef\xbb\xbf# night of 3 May\n17 # hot\n\n0\r\n", {17, 0}, 0},
        {"1,2;3 4\t5\n6,,7", {1, 2, 3, 4, 5, 6, 7}, 0},
        {"05;10, 36", {5, 10, 36}, 0},
        {"1,2\n3,37\n", {}, 2},
        {"1\n\n\nx\n", {}, 4},
        {"1;-2", {}, 1},
        {"100", {}, 1},
        {"1.5", {}, 1},
        {"# only a comment\n", {}, -1},
        {"", {}, -1},
    };
    for (const auto& c : cases) {
        try {
            const ImportedSpins got = parseImport(c.text, "f.csv");
            EXPECT_EQ(c.badLine, 0) << c.text;
            EXPECT_EQ(got.spins, c.spins) << c.text;
            EXPECT_EQ(got.source, NightSource::ImportedFile);
        } catch (const sim::SpinsFileError& e) {
            EXPECT_EQ(e.line(), std::max(c.badLine, 0)) << c.text << ": " << e.what();
            EXPECT_NE(c.badLine, 0) << c.text << ": " << e.what();
            if (c.badLine > 0) {
                EXPECT_NE(std::string(e.what()).find("f.csv:" + std::to_string(c.badLine) + ":"),
                          std::string::npos);
            }
        }
    }
    // What vantel-sim reads, this reads alike.
    const std::string spinsFile = "3\n# c\n 12 \n0\n";
    EXPECT_EQ(parseImport(spinsFile, "s").spins, sim::parseSpins(spinsFile, "s"));
}
