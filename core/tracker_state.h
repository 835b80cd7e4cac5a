#pragma once

#include <cstdint>

namespace vantel {

// The counters and flags the tracker's procedures share. Created with the
// window and never reset as a whole.
struct TrackerState {
    int32_t Classic_Step = 0;
    int32_t Sequential_Started = 0;
    int32_t Last_Win = 0;
    int32_t Loss_Streak = -1;
    int32_t Win_Stake = 1;
    int32_t Progression_Index = 0;
    int32_t Bet_Active = 0;
    int32_t Balance_Value = 100000;
    int32_t Balance2_Value = 100000;
    int32_t Sequential_Count = 0; // numbers the Sequential suggestion covers
    int32_t Picked_Number = 0;

    // Tick counters of the other analyses.
    int32_t Mode2_Step = 0;
    int32_t Sequential_Step = 0;
    int32_t Fixed_Matrix_Step = 0;

    // The Sequential progression: stake per number, current runs of misses and
    // hits, and the result of the sequence so far: what its lit bets placed and
    // returned since it last started.
    int64_t Sequential_Stake = 0;
    int32_t Sequential_Miss_Run = 0;
    int32_t Sequential_Win_Run = 0;
    int64_t Sequential_Result = 0;
    // The initial bet the sequence started with, and 1 while the numbers lit on
    // the board are the sequence's own suggestion.
    int64_t Sequential_Base = 0;
    int64_t Sequential_Own = 0; // 64 bits, so the state has no padding
};

} // namespace vantel
