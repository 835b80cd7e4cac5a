// The wheel journal in one SQLite file (docs/journal-format.md).
#include "journal_store.h"

#include "sqlite_calls.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace vantel::journal {

namespace {

// "VTJL": marks a SQLite file as a wheel journal (PRAGMA application_id).
constexpr std::int32_t kApplicationId = 0x56544a4c;
constexpr int kSchemaVersion = 1;
// How long a write waits for another program's transaction to end before the
// journal counts as locked: long enough that a reader of the same file (a
// second window's Statistics, vantel-wheel stats) on a loaded machine does not
// stop the recording, short enough between two clicks.
constexpr int kBusyMilliseconds = 2000;

constexpr std::size_t kCounts = sim::kWheelPockets;
constexpr std::size_t kDistances = sim::kDistanceClasses;

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// The tallies' columns: spins, c0..c36, d0..d18.
std::string tallyColumns(const char* prefix = "") {
    std::string s = std::string(prefix) + "spins";
    for (std::size_t i = 0; i < kCounts; ++i)
        s += std::string(", ") + prefix + "c" + std::to_string(i);
    for (std::size_t i = 0; i < kDistances; ++i)
        s += std::string(", ") + prefix + "d" + std::to_string(i);
    return s;
}

const char* const kSchema[] = {
    "CREATE TABLE wheels(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
    " note TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE nights(id INTEGER PRIMARY KEY,"
    " wheel INTEGER NOT NULL REFERENCES wheels(id),"
    " began INTEGER NOT NULL, ended INTEGER,"
    " source TEXT NOT NULL CHECK(source IN ('entered', 'imported file', 'session file')),"
    " origin TEXT NOT NULL DEFAULT '')",
    "CREATE INDEX nights_of_wheel ON nights(wheel, began)",
    "CREATE TABLE spins(night INTEGER NOT NULL REFERENCES nights(id),"
    " ord INTEGER NOT NULL, number INTEGER NOT NULL CHECK(number BETWEEN 0 AND 36),"
    " entered_at INTEGER, taken_back INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY(night, ord)) WITHOUT ROWID",
    "CREATE TABLE night_states(night INTEGER PRIMARY KEY REFERENCES nights(id),"
    " through_ord INTEGER NOT NULL, state TEXT NOT NULL)",
};

std::string talliesTable() {
    std::string s = "CREATE TABLE tallies(night INTEGER PRIMARY KEY REFERENCES nights(id),"
                    " spins INTEGER NOT NULL DEFAULT 0";
    for (std::size_t i = 0; i < kCounts; ++i)
        s += ", c" + std::to_string(i) + " INTEGER NOT NULL DEFAULT 0";
    for (std::size_t i = 0; i < kDistances; ++i)
        s += ", d" + std::to_string(i) + " INTEGER NOT NULL DEFAULT 0";
    return s + ")";
}

NightSource sourceOf(const std::string& text) {
    if (text == "imported file") return NightSource::ImportedFile;
    if (text == "session file") return NightSource::SessionFile;
    return NightSource::Entered;
}

// Reads a 4-byte big-endian field of a SQLite file's header.
std::int32_t headerField(const unsigned char* header, int offset) {
    return static_cast<std::int32_t>(
        (std::uint32_t{header[offset]} << 24) | (std::uint32_t{header[offset + 1]} << 16) |
        (std::uint32_t{header[offset + 2]} << 8) | std::uint32_t{header[offset + 3]});
}

class Statement {
  public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() {
        if (m_stmt) sqlite().finalize(m_stmt);
    }
    sqlite3_stmt*& handle() { return m_stmt; }
    sqlite3_stmt* get() const { return m_stmt; }

  private:
    sqlite3_stmt* m_stmt = nullptr;
};

class SqliteJournal final : public JournalStore {
  public:
    SqliteJournal(const std::string& path, OpenMode mode, const OpenOptions& options)
        : m_path(path), m_name(fileNameOf(path)) {
        loadSqlite();
        checkHeader(mode);
        const int flags = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY
                                                     : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        const int rc = sqlite().open_v2(path.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            const std::string why = m_db ? sqlite().errmsg(m_db) : sqlite().errstr(rc);
            sqlite().close(m_db);
            m_db = nullptr;
            throw JournalError(rc == SQLITE_CANTOPEN && mode == OpenMode::ReadWrite
                                   ? JournalError::Kind::ReadOnly
                                   : JournalError::Kind::Other,
                               "The journal " + m_name + " cannot be opened: " + why + ".");
        }
        sqlite().extended_result_codes(m_db, 1);
        sqlite().busy_timeout(m_db, kBusyMilliseconds);
        try {
            prepareFile(mode, options);
            if (options.maxPages > 0)
                exec("PRAGMA max_page_count = " + std::to_string(options.maxPages));
        } catch (...) {
            sqlite().close(m_db);
            m_db = nullptr;
            throw;
        }
    }
    ~SqliteJournal() override {
        for (Statement& st : m_statements) {
            sqlite().finalize(st.handle());
            st.handle() = nullptr;
        }
        sqlite().close(m_db);
    }

    std::string location() const override { return m_path; }

    std::vector<WheelInfo> wheels() override {
        std::vector<WheelInfo> list;
        Statement& st =
            prepared(kListWheels, "SELECT w.id, w.name, w.note,"
                                  " (SELECT count(*) FROM nights n WHERE n.wheel = w.id),"
                                  " (SELECT coalesce(sum(t.spins), 0) FROM nights n JOIN tallies t"
                                  " ON t.night = n.id WHERE n.wheel = w.id)"
                                  " FROM wheels w ORDER BY w.name");
        while (step(st))
            list.push_back(wheelOf(st.get()));
        return list;
    }

    std::optional<WheelInfo> findWheel(const std::string& name) override {
        Statement& st =
            prepared(kFindWheel, "SELECT w.id, w.name, w.note,"
                                 " (SELECT count(*) FROM nights n WHERE n.wheel = w.id),"
                                 " (SELECT coalesce(sum(t.spins), 0) FROM nights n JOIN tallies t"
                                 " ON t.night = n.id WHERE n.wheel = w.id)"
                                 " FROM wheels w WHERE w.name = ?1");
        bindText(st, 1, name);
        if (!step(st)) return std::nullopt;
        WheelInfo w = wheelOf(st.get());
        sqlite().reset(st.get());
        return w;
    }

    WheelInfo openWheel(const std::string& name, const std::string& note) override {
        if (auto w = findWheel(name)) return *w;
        if (name.empty()) throw JournalError(JournalError::Kind::Other, "A wheel needs a name.");
        write([&] {
            Statement& st = prepared(kAddWheel, "INSERT INTO wheels(name, note) VALUES(?1, ?2)");
            bindText(st, 1, name);
            bindText(st, 2, note);
            run(st);
        });
        return *findWheel(name);
    }

    std::vector<NightInfo> nights(std::int64_t wheel) override {
        std::vector<NightInfo> list;
        Statement& st =
            prepared(kListNights, nightSelect(" WHERE n.wheel = ?1 ORDER BY n.began, n.id"));
        sqlite().bind_int64(st.get(), 1, wheel);
        while (step(st))
            list.push_back(nightOf(st.get()));
        return list;
    }

    NightInfo night(std::int64_t id) override {
        Statement& st = prepared(kNight, nightSelect(" WHERE n.id = ?1"));
        sqlite().bind_int64(st.get(), 1, id);
        if (!step(st))
            throw JournalError(JournalError::Kind::NotFound, "The journal " + m_name +
                                                                 " has no night " +
                                                                 std::to_string(id) + ".");
        NightInfo n = nightOf(st.get());
        sqlite().reset(st.get());
        return n;
    }

    std::optional<NightInfo> openNight(std::int64_t wheel) override {
        Statement& st =
            prepared(kOpenNight, nightSelect(" WHERE n.wheel = ?1 AND n.ended IS NULL"
                                             " AND n.source = 'entered'"
                                             " ORDER BY n.began DESC, n.id DESC LIMIT 1"));
        sqlite().bind_int64(st.get(), 1, wheel);
        if (!step(st)) return std::nullopt;
        NightInfo n = nightOf(st.get());
        sqlite().reset(st.get());
        return n;
    }

    std::int64_t beginNight(std::int64_t wheel, std::int64_t began) override {
        std::int64_t id = 0;
        write([&] { id = insertNight(wheel, NightSource::Entered, {}, began); });
        return id;
    }

    void endNight(std::int64_t id, std::int64_t ended) override {
        write([&] {
            Statement& st = prepared(kEndNight, "UPDATE nights SET ended = ?2 WHERE id = ?1");
            sqlite().bind_int64(st.get(), 1, id);
            sqlite().bind_int64(st.get(), 2, ended);
            run(st);
        });
    }

    std::int64_t addSpin(std::int64_t id, int number, std::int64_t enteredAt) override {
        checkNumber(number);
        std::int64_t order = 0;
        write([&] {
            order = lastOrder(id) + 1;
            const int previous = lastLiveNumber(id, order);
            Statement& st = prepared(kAddSpin, "INSERT INTO spins(night, ord, number, entered_at)"
                                               " VALUES(?1, ?2, ?3, ?4)");
            sqlite().bind_int64(st.get(), 1, id);
            sqlite().bind_int64(st.get(), 2, order);
            sqlite().bind_int(st.get(), 3, number);
            sqlite().bind_int64(st.get(), 4, enteredAt);
            run(st);
            sim::WheelTallies t = readTallies(id);
            t.add(previous, number);
            writeTallies(id, t);
        });
        return order;
    }

    void takeBack(std::int64_t id, const std::optional<std::string>& state) override {
        write([&] {
            const std::int64_t last = lastOrder(id) + 1;
            Statement& find = prepared(kLastLive, "SELECT ord, number FROM spins WHERE night = ?1"
                                                  " AND taken_back = 0 AND ord < ?2"
                                                  " ORDER BY ord DESC LIMIT 1");
            sqlite().bind_int64(find.get(), 1, id);
            sqlite().bind_int64(find.get(), 2, last);
            if (!step(find)) return; // nothing left to take back
            const std::int64_t order = sqlite().column_int64(find.get(), 0);
            const int number = sqlite().column_int(find.get(), 1);
            sqlite().reset(find.get());
            const int previous = lastLiveNumber(id, order);
            Statement& mark =
                prepared(kMark, "UPDATE spins SET taken_back = 1 WHERE night = ?1 AND ord = ?2");
            sqlite().bind_int64(mark.get(), 1, id);
            sqlite().bind_int64(mark.get(), 2, order);
            run(mark);
            sim::WheelTallies t = readTallies(id);
            --t.spins;
            --t.counts[static_cast<std::size_t>(number)];
            if (previous >= 0)
                --t.distances[static_cast<std::size_t>(sim::wheelDistance(previous, number))];
            writeTallies(id, t);
            if (state) putState(id, *state, last - 1);
        });
    }

    void saveState(std::int64_t id, const std::string& state, std::int64_t throughOrder) override {
        write([&] { putState(id, state, throughOrder); });
    }

    std::optional<NightState> state(std::int64_t id) override {
        Statement& st =
            prepared(kState, "SELECT through_ord, state FROM night_states WHERE night = ?1");
        sqlite().bind_int64(st.get(), 1, id);
        if (!step(st)) return std::nullopt;
        NightState s;
        s.throughOrder = sqlite().column_int64(st.get(), 0);
        s.state = columnText(st.get(), 1);
        sqlite().reset(st.get());
        return s;
    }

    std::int64_t importNight(std::int64_t wheel, NightSource source, const std::string& origin,
                             const std::vector<int>& spins, std::int64_t began) override {
        for (int n : spins)
            checkNumber(n);
        std::int64_t id = 0;
        write([&] {
            id = insertNight(wheel, source, origin, began);
            Statement& st = prepared(kImportSpin, "INSERT INTO spins(night, ord, number)"
                                                  " VALUES(?1, ?2, ?3)");
            sim::WheelTallies t;
            int previous = -1;
            std::int64_t order = 0;
            for (int n : spins) {
                sqlite().bind_int64(st.get(), 1, id);
                sqlite().bind_int64(st.get(), 2, ++order);
                sqlite().bind_int(st.get(), 3, n);
                run(st);
                t.add(previous, n);
                previous = n;
            }
            writeTallies(id, t);
            Statement& end = prepared(kEndNight, "UPDATE nights SET ended = ?2 WHERE id = ?1");
            sqlite().bind_int64(end.get(), 1, id);
            sqlite().bind_int64(end.get(), 2, began);
            run(end);
        });
        return id;
    }

    sim::WheelTallies tallies(std::int64_t wheel, const DateRange& range) override {
        std::string sql = "SELECT " + tallyColumns("t.") +
                          " FROM tallies t JOIN nights n"
                          " ON n.id = t.night WHERE n.wheel = ?1"
                          " AND n.began BETWEEN ?2 AND ?3";
        Statement& st = prepared(kWheelTallies, sql);
        sqlite().bind_int64(st.get(), 1, wheel);
        sqlite().bind_int64(st.get(), 2, range.from);
        sqlite().bind_int64(st.get(), 3, range.to);
        sim::WheelTallies sum;
        while (step(st))
            sum += talliesOf(st.get());
        return sum;
    }

    sim::WheelTallies nightTallies(std::int64_t id) override { return readTallies(id); }

    void forEachSpin(std::int64_t wheel, std::int64_t id,
                     const std::function<void(const SpinRecord&)>& visit) override {
        Statement st;
        const char* sql = id != 0 ? "SELECT night, ord, number, coalesce(entered_at, 0), taken_back"
                                    " FROM spins WHERE night = ?2 ORDER BY ord"
                                  : "SELECT s.night, s.ord, s.number, coalesce(s.entered_at, 0),"
                                    " s.taken_back FROM nights n JOIN spins s ON s.night = n.id"
                                    " WHERE n.wheel = ?1 ORDER BY n.began, n.id, s.ord";
        check(sqlite().prepare_v2(m_db, sql, -1, &st.handle(), nullptr), "read");
        sqlite().bind_int64(st.get(), 1, wheel);
        if (id != 0) sqlite().bind_int64(st.get(), 2, id);
        while (step(st)) {
            SpinRecord r;
            r.night = sqlite().column_int64(st.get(), 0);
            r.order = sqlite().column_int64(st.get(), 1);
            r.number = sqlite().column_int(st.get(), 2);
            r.enteredAt = sqlite().column_int64(st.get(), 3);
            r.takenBack = sqlite().column_int(st.get(), 4) != 0;
            visit(r);
        }
    }

  private:
    enum StatementId {
        kListWheels,
        kFindWheel,
        kAddWheel,
        kListNights,
        kNight,
        kOpenNight,
        kAddNight,
        kAddTallies,
        kEndNight,
        kLastOrder,
        kLastLive,
        kAddSpin,
        kMark,
        kReadTallies,
        kWriteTallies,
        kPutState,
        kState,
        kImportSpin,
        kWheelTallies,
        kStatementCount
    };

    // Refuses, before SQLite touches it, a file that is not a journal of a
    // version this program knows: opening it in SQLite could roll back a hot
    // journal or set its journal mode, and it must stay as it is.
    void checkHeader(OpenMode mode) {
        std::error_code ec;
        const bool exists = std::filesystem::exists(m_path, ec);
        if (!exists) {
            if (mode == OpenMode::ReadOnly)
                throw JournalError(JournalError::Kind::NotFound,
                                   "The journal " + m_name + " does not exist.");
            return;
        }
        if (std::filesystem::is_directory(m_path, ec))
            throw JournalError(JournalError::Kind::Refused,
                               m_name + " is a folder, not a journal.");
        // A pipe or a device is never opened: reading it could wait for ever.
        if (!std::filesystem::is_regular_file(m_path, ec))
            throw JournalError(JournalError::Kind::Refused,
                               m_name + " is not a wheel journal; it was left as it is.");
        std::ifstream in(m_path, std::ios::binary);
        if (!in)
            throw JournalError(JournalError::Kind::ReadOnly,
                               "The journal " + m_name + " cannot be read.");
        std::array<unsigned char, 100> header{};
        in.read(reinterpret_cast<char*>(header.data()), header.size());
        const std::streamsize got = in.gcount();
        if (got == 0) return; // an empty file: made into a journal
        const std::string refused = m_name + " is not a wheel journal; it was left as it is.";
        if (got < 100 || std::memcmp(header.data(), "SQLite format 3", 16) != 0)
            throw JournalError(JournalError::Kind::Refused, refused);
        const std::int32_t app = headerField(header.data(), 68);
        const std::int32_t version = headerField(header.data(), 60);
        const std::int32_t pages = headerField(header.data(), 28);
        if (app == 0 && version == 0 && pages <= 1) return; // an empty database
        if (app != kApplicationId) throw JournalError(JournalError::Kind::Refused, refused);
        if (version > kSchemaVersion)
            throw JournalError(JournalError::Kind::Refused,
                               "The journal " + m_name + " was written by a newer Vantel (format " +
                                   std::to_string(version) + "); it was left as it is.");
    }

    void prepareFile(OpenMode mode, const OpenOptions& options) {
        // Every commit reaches the disk before it returns (power loss
        // included); the write-ahead log costs one flush a commit.
        if (mode == OpenMode::ReadWrite) {
            exec(options.rollbackJournal ? "PRAGMA journal_mode = DELETE"
                                         : "PRAGMA journal_mode = WAL");
            exec("PRAGMA synchronous = FULL");
        }
        exec("PRAGMA foreign_keys = ON");
        int version = 0;
        {
            Statement st;
            check(sqlite().prepare_v2(m_db, "PRAGMA user_version", -1, &st.handle(), nullptr),
                  "read");
            if (step(st)) version = sqlite().column_int(st.get(), 0);
        }
        if (version == 0) {
            if (mode == OpenMode::ReadOnly)
                throw JournalError(JournalError::Kind::Refused,
                                   m_name + " is not a wheel journal; it was left as it is.");
            write([&] {
                // Made only in a file with no tables: anything else is refused above.
                for (const char* sql : kSchema)
                    exec(sql);
                exec(talliesTable());
                exec("PRAGMA application_id = " + std::to_string(kApplicationId));
                exec("PRAGMA user_version = " + std::to_string(kSchemaVersion));
            });
        }
    }

    [[noreturn]] void fail(int rc, const std::string& what) {
        const int primary = rc & 0xff;
        JournalError::Kind kind = JournalError::Kind::Other;
        std::string why = sqlite().errstr(rc);
        switch (primary) {
        case SQLITE_FULL:
            kind = JournalError::Kind::Full;
            why = "the disk is full";
            break;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            kind = JournalError::Kind::ReadOnly;
            why = "the file is read-only";
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            kind = JournalError::Kind::Locked;
            why = "another program is using it";
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            kind = JournalError::Kind::Damaged;
            why = "the file is damaged";
            break;
        case SQLITE_CONSTRAINT:
            kind = JournalError::Kind::NotFound;
            why = "no such wheel or night";
            break;
        case SQLITE_IOERR:
            if (rc == SQLITE_IOERR_WRITE || rc == SQLITE_IOERR_FSYNC)
                why = "the disk refused a write";
            break;
        default:
            break;
        }
        throw JournalError(kind,
                           "The journal " + m_name + " could not be " + what + ": " + why + ".");
    }

    void check(int rc, const char* what) {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) fail(rc, what);
    }

    void exec(const std::string& sql) {
        char* message = nullptr;
        const int rc = sqlite().exec(m_db, sql.c_str(), nullptr, nullptr, &message);
        sqlite().free(message);
        check(rc, "written");
    }

    // Runs body as one transaction: committed whole, or rolled back and the
    // fault thrown.
    template <class Body> void write(Body&& body) {
        if (m_inWrite) {
            body();
            return;
        }
        exec("BEGIN IMMEDIATE");
        m_inWrite = true;
        try {
            body();
            m_inWrite = false;
            exec("COMMIT");
        } catch (...) {
            m_inWrite = false;
            sqlite().exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    Statement& prepared(StatementId id, const std::string& sql) {
        Statement& st = m_statements[id];
        if (!st.get())
            check(sqlite().prepare_v3(m_db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                      &st.handle(), nullptr),
                  "read");
        sqlite().reset(st.get());
        sqlite().clear_bindings(st.get());
        return st;
    }

    // One step of a query; false when it is done (and reset).
    bool step(Statement& st) {
        const int rc = sqlite().step(st.get());
        if (rc == SQLITE_ROW) return true;
        sqlite().reset(st.get());
        if (rc != SQLITE_DONE) fail(rc, m_inWrite ? "written" : "read");
        return false;
    }
    void run(Statement& st) {
        while (step(st)) {
        }
    }

    void bindText(Statement& st, int index, const std::string& text) {
        sqlite().bind_text(st.get(), index, text.data(), static_cast<int>(text.size()),
                           SQLITE_TRANSIENT);
    }
    static std::string columnText(sqlite3_stmt* st, int column) {
        const auto* text = reinterpret_cast<const char*>(sqlite().column_text(st, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite().column_bytes(st, column)))
                    : std::string();
    }

    void checkNumber(int number) {
        if (number < 0 || number >= sim::kWheelPockets)
            throw JournalError(JournalError::Kind::Other,
                               std::to_string(number) + " is not a number from 0 to 36.");
    }

    static WheelInfo wheelOf(sqlite3_stmt* st) {
        WheelInfo w;
        w.id = sqlite().column_int64(st, 0);
        w.name = columnText(st, 1);
        w.note = columnText(st, 2);
        w.nights = sqlite().column_int64(st, 3);
        w.spins = sqlite().column_int64(st, 4);
        return w;
    }

    static std::string nightSelect(const char* where) {
        return std::string("SELECT n.id, n.wheel, n.began, coalesce(n.ended, 0), n.source,"
                           " n.origin, coalesce(t.spins, 0) FROM nights n LEFT JOIN tallies t"
                           " ON t.night = n.id") +
               where;
    }
    static NightInfo nightOf(sqlite3_stmt* st) {
        NightInfo n;
        n.id = sqlite().column_int64(st, 0);
        n.wheel = sqlite().column_int64(st, 1);
        n.began = sqlite().column_int64(st, 2);
        n.ended = sqlite().column_int64(st, 3);
        n.source = sourceOf(columnText(st, 4));
        n.origin = columnText(st, 5);
        n.spins = sqlite().column_int64(st, 6);
        return n;
    }

    std::int64_t insertNight(std::int64_t wheel, NightSource source, const std::string& origin,
                             std::int64_t began) {
        Statement& st = prepared(kAddNight, "INSERT INTO nights(wheel, began, source, origin)"
                                            " VALUES(?1, ?2, ?3, ?4)");
        sqlite().bind_int64(st.get(), 1, wheel);
        sqlite().bind_int64(st.get(), 2, began);
        sqlite().bind_text(st.get(), 3, sourceName(source), -1, SQLITE_STATIC);
        bindText(st, 4, origin);
        run(st);
        const std::int64_t id = sqlite().last_insert_rowid(m_db);
        Statement& t = prepared(kAddTallies, "INSERT INTO tallies(night) VALUES(?1)");
        sqlite().bind_int64(t.get(), 1, id);
        run(t);
        return id;
    }

    std::int64_t lastOrder(std::int64_t id) {
        Statement& st = prepared(kLastOrder, "SELECT coalesce(max(ord), 0),"
                                             " (SELECT count(*) FROM nights WHERE id = ?1)"
                                             " FROM spins WHERE night = ?1");
        sqlite().bind_int64(st.get(), 1, id);
        step(st);
        const std::int64_t last = sqlite().column_int64(st.get(), 0);
        const bool known = sqlite().column_int64(st.get(), 1) != 0;
        sqlite().reset(st.get());
        if (!known)
            throw JournalError(JournalError::Kind::NotFound, "The journal " + m_name +
                                                                 " has no night " +
                                                                 std::to_string(id) + ".");
        return last;
    }

    // The number of the night's last spin before order not taken back, or -1.
    int lastLiveNumber(std::int64_t id, std::int64_t order) {
        Statement& st = prepared(kLastLive, "SELECT ord, number FROM spins WHERE night = ?1"
                                            " AND taken_back = 0 AND ord < ?2"
                                            " ORDER BY ord DESC LIMIT 1");
        sqlite().bind_int64(st.get(), 1, id);
        sqlite().bind_int64(st.get(), 2, order);
        if (!step(st)) return -1;
        const int number = sqlite().column_int(st.get(), 1);
        sqlite().reset(st.get());
        return number;
    }

    static sim::WheelTallies talliesOf(sqlite3_stmt* st) {
        sim::WheelTallies t;
        int column = 0;
        t.spins = sqlite().column_int64(st, column++);
        for (auto& c : t.counts)
            c = sqlite().column_int64(st, column++);
        for (auto& d : t.distances)
            d = sqlite().column_int64(st, column++);
        return t;
    }

    sim::WheelTallies readTallies(std::int64_t id) {
        Statement& st =
            prepared(kReadTallies, "SELECT " + tallyColumns() + " FROM tallies WHERE night = ?1");
        sqlite().bind_int64(st.get(), 1, id);
        if (!step(st)) return {};
        sim::WheelTallies t = talliesOf(st.get());
        sqlite().reset(st.get());
        return t;
    }

    void writeTallies(std::int64_t id, const sim::WheelTallies& t) {
        std::string sql = "INSERT OR REPLACE INTO tallies(night, " + tallyColumns() + ") VALUES(?1";
        for (std::size_t i = 0; i < 1 + kCounts + kDistances; ++i)
            sql += ", ?" + std::to_string(i + 2);
        Statement& st = prepared(kWriteTallies, sql + ")");
        int index = 1;
        sqlite().bind_int64(st.get(), index++, id);
        sqlite().bind_int64(st.get(), index++, t.spins);
        for (auto c : t.counts)
            sqlite().bind_int64(st.get(), index++, c);
        for (auto d : t.distances)
            sqlite().bind_int64(st.get(), index++, d);
        run(st);
    }

    void putState(std::int64_t id, const std::string& state, std::int64_t throughOrder) {
        Statement& st = prepared(kPutState, "INSERT OR REPLACE INTO night_states(night,"
                                            " through_ord, state) VALUES(?1, ?2, ?3)");
        sqlite().bind_int64(st.get(), 1, id);
        sqlite().bind_int64(st.get(), 2, throughOrder);
        bindText(st, 3, state);
        run(st);
    }

    std::string m_path;
    std::string m_name;
    sqlite3* m_db = nullptr;
    std::array<Statement, kStatementCount> m_statements;
    bool m_inWrite = false;
};

} // namespace

const char* sourceName(NightSource source) {
    switch (source) {
    case NightSource::ImportedFile:
        return "imported file";
    case NightSource::SessionFile:
        return "session file";
    case NightSource::Entered:
        break;
    }
    return "entered";
}

std::unique_ptr<JournalStore> openJournal(const std::string& path, OpenMode mode,
                                          const OpenOptions& options) {
    return std::make_unique<SqliteJournal>(path, mode, options);
}

} // namespace vantel::journal
