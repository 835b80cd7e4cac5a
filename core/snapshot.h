#pragma once

#include "generator.h"
#include "number_list.h"
#include "tracker_observer.h"
#include "tracker_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vantel {

// Everything a spin changes, as it stood the moment before the spin: the
// tracker's state as a whole, the generator, every working list, the window
// items the tracker writes, and the length of NumbersList. NumbersList only
// ever grows by one line per spin and no line is changed afterwards, so its
// length before the spin is all the spin changes there. The settings are not
// part of it: taking a spin back leaves them as they are.
struct Snapshot {
    TrackerState state;
    Generator generator;
    int numbersCount = 0;
    NumberList Prediction_List;
    NumberList Classic_Numbers_Cur1;
    NumberList Classic_Numbers_Cur2;
    NumberList Classic_Numbers_Cur3;
    NumberList Sequential_Numbers_Cur;
    NumberList Mode2_Numbers_Cur;

    struct TimerSetting {
        bool on = false;
        int interval = 0;
        bool operator==(const TimerSetting& o) const {
            return on == o.on && interval == o.interval;
        }
    };

    int currentNum = 0;
    uint64_t actNumbers = 0; // bit n: Act_Number n visible
    std::array<std::string, kHistoryCells> historyText{};
    std::array<uint32_t, kHistoryCells> historyColour{};
    std::string betText;
    int progressBar = 0;
    std::array<TimerSetting, kTrackerTimerCount> timers{};

    // Memory the snapshot holds, its own size included (what the lists' lines
    // hold, and an estimate for the texts: short texts held in place).
    size_t bytes() const;
};

} // namespace vantel
