#pragma once

#include "outlay.h"
#include "snapshot.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace vantel {

class Tracker;

// What an undo or a redo did: its work, or nothing because the window is
// locked or there is nothing to take back or enter again.
enum class HistoryStep { Done, Locked, Nothing };

// A spin entered and not taken back, with what a player following the window
// placed on it.
struct EnteredSpin {
    int number = 0;
    SpinOutlay outlay;
};

// A spin that undo can take back: the tracker's snapshot of the moment before
// it, and its number.
struct UndoStep {
    Snapshot before;
    int number = 0;
};

// The spins that can be taken back and entered again. It keeps the snapshot
// the tracker hands it before every spin, up to a fixed depth (the oldest is
// dropped beyond it). Undo restores the last snapshot; redo enters the number
// taken back as a click on its cell would, so the spin is judged anew and a
// new analysis runs. A new spin clears what redo could enter. While the window
// is locked both are refused.
class SpinHistory {
  public:
    static constexpr size_t kDefaultDepth = 1000;

    explicit SpinHistory(Tracker& tracker, size_t depth = kDefaultDepth);
    ~SpinHistory();
    SpinHistory(const SpinHistory&) = delete;
    SpinHistory& operator=(const SpinHistory&) = delete;

    using Result = HistoryStep;

    Result undo();
    // May raise the conversion error of the spin it enters; the spin stays
    // recorded and can be taken back like any other.
    Result redo();

    // The number the next undo takes back, or redo enters again.
    std::optional<int> undoNumber() const;
    std::optional<int> redoNumber() const;
    bool canUndo() const { return !locked() && undoNumber().has_value(); }
    bool canRedo() const { return !locked() && redoNumber().has_value(); }

    size_t depth() const { return m_depth; }
    size_t undoCount() const { return m_undo.size(); }
    size_t redoCount() const { return m_redo.size(); }
    // Memory held by the kept snapshots.
    size_t bytes() const;

    // Every spin of the session, oldest first: a spin entered is added, one
    // taken back is removed. It is not bounded by the depth.
    const std::vector<EnteredSpin>& entered() const { return m_entered; }
    // Called after a spin is added to entered() or removed from it.
    std::function<void()> OnChange;

    // What undo takes back, oldest first, and what redo enters again, the
    // next one at the back: what a saved session keeps.
    const std::deque<UndoStep>& undoSteps() const { return m_undo; }
    const std::vector<int>& redoNumbers() const { return m_redo; }
    // Takes the place of everything the history holds (a session opened): the
    // tracker already stands where the last of undo leads. Beyond the depth the
    // oldest steps go. Calls OnChange.
    void load(std::deque<UndoStep> undo, std::vector<int> redo, std::vector<EnteredSpin> entered);

  private:
    using Entry = UndoStep;
    void record(Snapshot&& before, int number);
    bool locked() const;

    Tracker& m_tracker;
    size_t m_depth;
    std::deque<Entry> m_undo;
    std::vector<int> m_redo; // last taken back at the back
    std::vector<EnteredSpin> m_entered;
    bool m_redoing = false;
};

} // namespace vantel
