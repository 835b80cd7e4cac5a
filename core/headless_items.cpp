#include "headless_items.h"

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

bool HeadlessItems::actNumberVisible(int n) const {
    return n >= 0 && n <= 36 && m_act[static_cast<size_t>(n)];
}

void HeadlessItems::setActNumberVisible(int n, bool visible) {
    if (n >= 0 && n <= 36) m_act[static_cast<size_t>(n)] = visible;
}

std::string HeadlessItems::historyText(int cell) const {
    return cell >= 1 && cell <= 10 ? m_historyText[static_cast<size_t>(cell - 1)] : std::string();
}

void HeadlessItems::setHistoryText(int cell, const std::string& text) {
    if (cell >= 1 && cell <= 10) m_historyText[static_cast<size_t>(cell - 1)] = text;
}

uint32_t HeadlessItems::historyColour(int cell) const {
    return cell >= 1 && cell <= 10 ? m_historyColour[static_cast<size_t>(cell - 1)] : kColourBlack;
}

void HeadlessItems::setHistoryColour(int cell, uint32_t rgb) {
    if (cell >= 1 && cell <= 10) m_historyColour[static_cast<size_t>(cell - 1)] = rgb;
}

void HeadlessItems::setProgressBar(int progress) {
    m_progress = std::clamp(progress, 0, 18);
}

void HeadlessItems::setTimerEnabled(TimerId id, bool on) {
    Timer& t = timer(id);
    if (t.on == on) return;
    t.on = on;
    if (on) rearm(id);
}

void HeadlessItems::setTimerInterval(TimerId id, int ms) {
    Timer& t = timer(id);
    if (t.interval == ms) return;
    t.interval = ms;
    if (t.on) rearm(id);
}

int64_t HeadlessItems::dueAt(TimerId id) const {
    const Timer& t = timer(id);
    return t.on && t.interval > 0 ? t.due : -1;
}

} // namespace vantel
