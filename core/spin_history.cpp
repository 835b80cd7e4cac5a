#include "spin_history.h"

#include "tracker.h"

#include <utility>

namespace vantel {

SpinHistory::SpinHistory(Tracker& tracker, size_t depth)
    : m_tracker(tracker), m_depth(depth > 0 ? depth : 1) {
    m_tracker.setSpinRecorder(
        [this](Snapshot&& before, int number) { record(std::move(before), number); });
}

SpinHistory::~SpinHistory() {
    m_tracker.setSpinRecorder({});
}

bool SpinHistory::locked() const {
    return m_tracker.buttonsLocked();
}

void SpinHistory::record(Snapshot&& before, int number) {
    // A spin entered again by redo keeps the rest of what redo can enter.
    if (!m_redoing) m_redo.clear();
    m_undo.push_back({std::move(before), number});
    if (m_undo.size() > m_depth) m_undo.pop_front();
    // Read before the spin changes anything: what was lit and staked on it.
    m_entered.push_back({number, spinOutlay(m_tracker.shown(), number)});
    if (OnChange) OnChange();
}

SpinHistory::Result SpinHistory::undo() {
    if (locked()) return Result::Locked;
    if (m_undo.empty()) return Result::Nothing;
    Entry last = std::move(m_undo.back());
    m_undo.pop_back();
    m_tracker.restore(last.before);
    m_redo.push_back(last.number);
    if (!m_entered.empty()) m_entered.pop_back();
    if (OnChange) OnChange();
    return Result::Done;
}

SpinHistory::Result SpinHistory::redo() {
    if (locked()) return Result::Locked;
    if (m_redo.empty()) return Result::Nothing;
    const int number = m_redo.back();
    m_redo.pop_back();
    struct Redoing {
        bool& flag;
        explicit Redoing(bool& f) : flag(f) { flag = true; }
        ~Redoing() { flag = false; }
    } redoing(m_redoing);
    m_tracker.numberClick(number);
    return Result::Done;
}

std::optional<int> SpinHistory::undoNumber() const {
    if (m_undo.empty()) return std::nullopt;
    return m_undo.back().number;
}

std::optional<int> SpinHistory::redoNumber() const {
    if (m_redo.empty()) return std::nullopt;
    return m_redo.back();
}

void SpinHistory::load(std::deque<UndoStep> undo, std::vector<int> redo,
                       std::vector<EnteredSpin> entered) {
    while (undo.size() > m_depth)
        undo.pop_front();
    m_undo = std::move(undo);
    m_redo = std::move(redo);
    m_entered = std::move(entered);
    if (OnChange) OnChange();
}

size_t SpinHistory::bytes() const {
    size_t total = m_redo.capacity() * sizeof(int);
    for (const Entry& e : m_undo)
        total += e.before.bytes() + sizeof(int);
    return total;
}

} // namespace vantel
