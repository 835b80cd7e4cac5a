#pragma once

#include "settings.h"
#include "snapshot.h"
#include "spin_history.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantel {

// The window's settings as a session keeps them.
using SessionSettings = Settings;

// Everything a session needs to go on exactly where it stood: the settings,
// every spin entered (with what was placed on it), the tracker as it stands
// after the last spin, and what undo and redo hold. NumbersList is the numbers
// of the spins entered, so it is not kept apart.
struct Session {
    SessionSettings settings;
    std::vector<EnteredSpin> entered;
    Snapshot tracker;
    std::deque<UndoStep> undo; // oldest first
    std::vector<int> redo;     // the next one redo enters at the back
};

// The session file: JSON text, versioned, with a checksum over its contents
// (docs/session-format.md). The bounds keep a hostile file from costing more
// than a real one could.
constexpr int kSessionVersion = 1;
constexpr size_t kSessionMaxBytes = size_t{8} << 20;
constexpr size_t kSessionMaxSpins = 200000;
constexpr size_t kSessionMaxUndo = SpinHistory::kDefaultDepth;

// A file that cannot be opened as a session. The message is one sentence that
// names the file and what is wrong with it.
class SessionFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string sessionText(const Session& session);
// Reads the text whole and checks everything in it before it returns; throws
// SessionFileError naming fileName on any fault.
Session parseSession(const std::string& text, const std::string& fileName);
Session readSessionFile(const std::string& path);
// Whether a text is meant as a session file (its first character, past a
// byte-order mark and white space, opens a JSON object): how a reader that
// takes either a spins file or a session tells them apart.
bool looksLikeSession(const std::string& text);

// FNV-1a, 64 bits: the file's checksum.
uint64_t fnv1a64(const std::string& bytes);

} // namespace vantel
