#pragma once

// The wheel journal: every spin of every night, per wheel, kept in a
// database. Callers see it only through JournalStore, so another backend (a
// shared server database) can follow without touching them; the embedded
// SQLite file (sqlite_journal.cpp, docs/journal-format.md) is the one there is.
#include "wheel_tallies.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantel::journal {

// Where a night's spins came from.
enum class NightSource { Entered, ImportedFile, SessionFile };
const char* sourceName(NightSource source); // "entered", "imported file", "session file"

struct WheelInfo {
    std::int64_t id = 0;
    std::string name; // "Table 3"
    std::string note; // "Casino X, table 3"
    std::int64_t nights = 0;
    std::int64_t spins = 0; // spins not taken back
};

struct NightInfo {
    std::int64_t id = 0;
    std::int64_t wheel = 0;
    std::int64_t began = 0; // seconds since 1970 (UTC)
    std::int64_t ended = 0; // 0 while the night is still open
    NightSource source = NightSource::Entered;
    std::string origin;     // the file a night was imported from
    std::int64_t spins = 0; // spins not taken back
};

struct SpinRecord {
    std::int64_t night = 0;
    std::int64_t order = 0; // 1, 2, ... within the night
    int number = 0;
    std::int64_t enteredAt = 0; // milliseconds since 1970 (UTC); 0 when not known
    bool takenBack = false;
};

// Seconds since 1970; a night counts when it began within [from, to].
struct DateRange {
    std::int64_t from = 0;
    std::int64_t to = INT64_MAX;
};

// Why the journal could not do what was asked. The message is one sentence
// that names the file and what is wrong.
class JournalError : public std::runtime_error {
  public:
    enum class Kind {
        Refused,  // not a journal, or one of a newer version: never altered
        ReadOnly, // the file or its folder cannot be written
        Locked,   // another program holds the journal
        Full,     // the disk is full
        Damaged,  // the file is corrupt
        NotFound, // no such wheel or night
        Other,
    };
    JournalError(Kind kind, const std::string& message)
        : std::runtime_error(message), m_kind(kind) {}
    Kind kind() const { return m_kind; }

  private:
    Kind m_kind;
};

// Every call that writes is one transaction: done whole or not at all, and
// committed (on disk, through power loss) before it returns.
class JournalStore {
  public:
    virtual ~JournalStore() = default;

    // The file (or the server's address) as shown to the player.
    virtual std::string location() const = 0;

    virtual std::vector<WheelInfo> wheels() = 0;
    virtual std::optional<WheelInfo> findWheel(const std::string& name) = 0;
    // The wheel of that name, made with note when there is none.
    virtual WheelInfo openWheel(const std::string& name, const std::string& note = {}) = 0;

    virtual std::vector<NightInfo> nights(std::int64_t wheel) = 0;
    virtual NightInfo night(std::int64_t night) = 0;
    // The wheel's last night of entered spins that was never ended, if any:
    // the night a new start offers to resume.
    virtual std::optional<NightInfo> openNight(std::int64_t wheel) = 0;

    // A night of spins entered in the window, begun now (seconds since 1970).
    virtual std::int64_t beginNight(std::int64_t wheel, std::int64_t began) = 0;
    virtual void endNight(std::int64_t night, std::int64_t ended) = 0;
    // One spin entered: the spin and the night's tallies in one transaction.
    // Returns its order within the night.
    virtual std::int64_t addSpin(std::int64_t night, int number, std::int64_t enteredAt) = 0;
    // Marks the night's last spin not yet taken back as taken back (it stays
    // in the journal) and, when state is given, keeps it as the night's state,
    // all in one transaction.
    virtual void takeBack(std::int64_t night, const std::optional<std::string>& state) = 0;
    // The window's whole state (a session file's text) after the spins up to
    // order throughOrder, kept with the night in place of the last.
    virtual void saveState(std::int64_t night, const std::string& state,
                           std::int64_t throughOrder) = 0;
    struct NightState {
        std::string state;
        std::int64_t throughOrder = 0;
    };
    virtual std::optional<NightState> state(std::int64_t night) = 0;

    // A night of its own holding spins (each 0..36), made in one transaction.
    virtual std::int64_t importNight(std::int64_t wheel, NightSource source,
                                     const std::string& origin, const std::vector<int>& spins,
                                     std::int64_t began) = 0;

    // The tallies of the wheel's spins not taken back, over the nights that
    // began within range; read from the nights' running tallies, not the spins.
    virtual sim::WheelTallies tallies(std::int64_t wheel, const DateRange& range = {}) = 0;
    virtual sim::WheelTallies nightTallies(std::int64_t night) = 0;
    // Every spin of a night (or, with night 0, of the wheel's nights in the
    // order they began), in order, taken back ones included.
    virtual void forEachSpin(std::int64_t wheel, std::int64_t night,
                             const std::function<void(const SpinRecord&)>& visit) = 0;
};

// How a journal file is opened.
enum class OpenMode {
    ReadWrite, // made when missing
    ReadOnly,  // never written; missing is an error
};

struct OpenOptions {
    // The most pages of 4 KiB the file may grow to; 0 for no limit. Past it a
    // write fails as on a full disk (how the tests make one).
    std::int64_t maxPages = 0;
    // The rollback journal instead of the write-ahead log (for measuring the
    // two: bench/journal_cost.cpp).
    bool rollbackJournal = false;
};

// Opens (or makes) the SQLite journal at path. Throws JournalError: a file
// that is not a journal, or of a newer version, is refused and never altered.
std::unique_ptr<JournalStore> openJournal(const std::string& path,
                                          OpenMode mode = OpenMode::ReadWrite,
                                          const OpenOptions& options = {});

} // namespace vantel::journal
