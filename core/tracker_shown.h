#pragma once

#include "board.h"
#include "int_convert.h"
#include "tracker_observer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vantel {

// The history strip, cells 1 to 10, as a ring: a push moves every cell on by
// one place and the last cell's text and colour fall off.
class HistoryStrip {
  public:
    HistoryStrip() { m_colour.fill(kColourBlack); }

    // The text and colour of a cell; outside 1..10 the empty text in black.
    std::string text(int cell) const {
        if (cell < 1 || cell > kHistoryCells) return {};
        const size_t slot = slotOf(cell);
        const int n = m_number[slot];
        return n >= 0 ? IntToStr(n) : m_text[slot];
    }
    uint32_t colour(int cell) const {
        return cell >= 1 && cell <= kHistoryCells ? m_colour[slotOf(cell)] : kColourBlack;
    }
    // Cell 1 shows text in rgb; cells 2..10 show what cells 1..9 showed.
    void push(const std::string& text, uint32_t rgb) {
        m_first = (m_first + kHistoryCells - 1) % kHistoryCells;
        m_text[m_first] = text;
        m_number[m_first] = -1;
        m_colour[m_first] = rgb;
    }
    // The same with the decimal text of n; a board number is kept as the
    // number and its text made when it is read.
    void pushNumber(int n, uint32_t rgb) {
        if (n < 0 || n > kHighestNumber) return push(IntToStr(n), rgb);
        m_first = (m_first + kHistoryCells - 1) % kHistoryCells;
        m_number[m_first] = static_cast<int8_t>(n);
        m_colour[m_first] = rgb;
    }
    // One cell set as a whole (a snapshot restored).
    void set(int cell, const std::string& text, uint32_t rgb) {
        if (cell < 1 || cell > kHistoryCells) return;
        const size_t slot = slotOf(cell);
        m_text[slot] = text;
        m_number[slot] = -1;
        m_colour[slot] = rgb;
    }

  private:
    size_t slotOf(int cell) const {
        return (m_first + static_cast<size_t>(cell - 1)) % kHistoryCells;
    }
    std::array<std::string, kHistoryCells> m_text{};
    std::array<int8_t, kHistoryCells> m_number{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    std::array<uint32_t, kHistoryCells> m_colour{};
    size_t m_first = 0;
};

// What the tracker asks of one of its timers: on or off, and the interval in
// milliseconds; and when its count, last started over, falls due on the
// virtual clock.
struct TimerRequest {
    bool on = false;
    int interval = 0;
    int64_t due = 0;
};

// The progress bar runs from 0 to 18.
constexpr int kProgressBarMax = 18;

// What the window shows of the tracker, kept by the tracker itself: the
// current number, the lit marks Act_Number0..36, the strip, Bet, the progress
// bar and the lock. The window only shows it.
struct TrackerShown {
    int currentNum = 0;
    std::array<bool, kBoardNumbers> lit{};
    HistoryStrip strip;
    // Bet keeps a number written as one and shows its decimal text.
    std::string betText = "1";
    int64_t betValue = 0;
    bool betIsValue = false;
    int progress = 0; // held within 0..18
    bool locked = false;

    std::string bet() const { return betIsValue ? IntToStr(betValue) : betText; }
    bool isLit(int n) const { return n >= 0 && n <= kHighestNumber && lit[static_cast<size_t>(n)]; }
    // The stake Bet shows: its value as a whole non-negative number, else none.
    std::optional<int64_t> stake() const;
};

} // namespace vantel
