#include "headless_items.h"

#include "int_convert.h"

#include <algorithm>

namespace vantel {

HeadlessItems::HeadlessItems() {
    m_timers[static_cast<size_t>(TimerId::Classic)].interval = 60;
    m_timers[static_cast<size_t>(TimerId::FixedMatrix)].interval = 100;
    m_timers[static_cast<size_t>(TimerId::Mode2)].interval = 60;
    m_timers[static_cast<size_t>(TimerId::Sequential)].interval = 60;
    m_historyColour.fill(kColourBlack);
}

namespace {

void select(int& setting, int index, int items) {
    if (index >= 0 && index < items) setting = index;
}

} // namespace

void HeadlessItems::setGameMode(int index) {
    select(m_gameMode, index, 3); // "Mode1", "Mode2", "Sequential"
}

void HeadlessItems::setBettingSystem(const std::string& name) {
    if (name == "Martingale" || name == "Donald") m_bettingSystem = name;
}

void HeadlessItems::setSafeLevel(int level) {
    m_safeLevel = std::clamp(level, 0, 10);
}

void HeadlessItems::setMode3Reset(int index) {
    select(m_mode3Reset, index, 3); // "+ OR =", "ONLY +", "Manual"
}

void HeadlessItems::setProgression(int index) {
    select(m_progression, index, 2); // "Double", "+ Init. Bet"
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
