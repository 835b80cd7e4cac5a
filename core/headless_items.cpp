#include "headless_items.h"

#include "int_convert.h"

#include <algorithm>

namespace vantel {

HeadlessItems::HeadlessItems() = default;

void HeadlessItems::setGameMode(int index) {
    if (setting::kGameMode.holds(index)) m_gameMode = index;
}

void HeadlessItems::setBettingSystem(const std::string& name) {
    if (setting::kBettingSystem.indexOf(name) >= 0) m_bettingSystem = name;
}

void HeadlessItems::setSafeLevel(int level) {
    m_safeLevel = setting::kSafeLevel.clamp(level);
}

void HeadlessItems::setMode3Reset(int index) {
    if (setting::kResetOn.holds(index)) m_mode3Reset = index;
}

void HeadlessItems::setProgression(int index) {
    if (setting::kProgression.holds(index)) m_progression = index;
}

void HeadlessItems::apply(const Settings& s) {
    setGameMode(s.gameMode);
    setBettingSystem(s.bettingSystem);
    setSafeLevel(s.safeLevel);
    setFixedMatrix(s.fixedMatrix);
    setMode3Reset(s.mode3Reset);
    setProgression(s.progression);
    Increase_Till.setValue(s.increaseTill);
    Sequential_Losses.setValue(s.sequentialLosses);
    Sequential_Wins.setValue(s.sequentialWins);
    // Last, as a player would: each integer setting resets the stakes as it changes.
    Initial_Bet.setValue(s.initialBet);
}

} // namespace vantel
