#include "headless_items.h"

#include "int_convert.h"

#include <algorithm>

namespace vantel {

HeadlessItems::HeadlessItems() {
    for (TimerId id : kTrackerTimers)
        timer(id).interval = kTimerStartIntervals[static_cast<size_t>(id)];
    m_historyColour.fill(kColourBlack);
}

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

std::string HeadlessItems::historyText(int cell) const {
    if (cell < 1 || cell > kHistoryCells) return {};
    const size_t slot = slotOf(cell);
    const int n = m_historyNumber[slot];
    return n >= 0 ? IntToStr(n) : m_historyText[slot];
}

void HeadlessItems::setHistoryText(int cell, const std::string& text) {
    if (cell < 1 || cell > kHistoryCells) return;
    const size_t slot = slotOf(cell);
    m_historyText[slot] = text;
    m_historyNumber[slot] = -1;
}

uint32_t HeadlessItems::historyColour(int cell) const {
    return cell >= 1 && cell <= kHistoryCells ? m_historyColour[slotOf(cell)] : kColourBlack;
}

void HeadlessItems::setHistoryColour(int cell, uint32_t rgb) {
    if (cell >= 1 && cell <= kHistoryCells) m_historyColour[slotOf(cell)] = rgb;
}

void HeadlessItems::pushHistory(const std::string& text, uint32_t rgb) {
    // The slot of cell 10 becomes that of cell 1; what cell 10 held falls off.
    m_historyFirst = (m_historyFirst + kHistoryCells - 1) % kHistoryCells;
    m_historyText[m_historyFirst] = text;
    m_historyNumber[m_historyFirst] = -1;
    m_historyColour[m_historyFirst] = rgb;
}

void HeadlessItems::pushHistoryNumber(int n, uint32_t rgb) {
    if (n < 0 || n > kHighestNumber) return pushHistory(IntToStr(n), rgb);
    m_historyFirst = (m_historyFirst + kHistoryCells - 1) % kHistoryCells;
    m_historyNumber[m_historyFirst] = static_cast<int8_t>(n);
    m_historyColour[m_historyFirst] = rgb;
}

} // namespace vantel
