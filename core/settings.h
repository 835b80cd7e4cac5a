#pragma once

// The window's settings, each once: its name, its choices or range, and its
// default. The window's controls, the headless items, the Simulate dialog,
// vantel-sim's options and help, and the report all read them here, so adding
// a choice or changing a range is one edit.

#include "spin_rules.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantel {

// How a setting is called: by the window and the report, and by vantel-sim's
// command line and its --help.
struct SettingName {
    std::string_view name;   // "Game Mode"
    std::string_view option; // "--mode"
    std::string_view help;   // what --help says of it
};

// A setting chosen from a drop-down list.
template <size_t N> struct ChoiceSetting {
    SettingName name;
    std::array<std::string_view, N> choices;
    int defaultIndex = 0;

    static constexpr int count() { return static_cast<int>(N); }
    constexpr bool holds(int index) const { return index >= 0 && index < count(); }
    // The index of a choice's name, or -1.
    constexpr int indexOf(std::string_view choice) const {
        for (size_t i = 0; i < N; ++i)
            if (choices[i] == choice) return static_cast<int>(i);
        return -1;
    }
    // The name of choice i; empty outside the list.
    constexpr std::string_view choiceName(int index) const {
        return holds(index) ? choices[static_cast<size_t>(index)] : std::string_view();
    }
    constexpr std::string_view defaultName() const { return choiceName(defaultIndex); }
};

// An integer setting with a range, as a spin edit or a track bar holds it.
struct RangeSetting {
    SettingName name;
    int32_t min = 0;
    int32_t max = 0;
    int32_t defaultValue = 0;

    constexpr bool holds(int64_t v) const { return v >= min && v <= max; }
    constexpr int32_t clamp(int64_t v) const {
        return static_cast<int32_t>(v < min ? min : v > max ? max : v);
    }
    // The spin edit's bounds: steps of one.
    constexpr SpinBounds bounds() const { return {min, max, 1}; }
};

struct FlagSetting {
    SettingName name;
    bool defaultValue = false;
};

namespace setting {

inline constexpr ChoiceSetting<3> kGameMode{
    {"Game Mode", "--mode", "Game Mode"}, {"Mode1", "Mode2", "Sequential"}, 0};
inline constexpr int kMode1 = 0;
inline constexpr int kMode2 = 1;
inline constexpr int kSequential = 2;

inline constexpr ChoiceSetting<2> kBettingSystem{
    {"Betting System", "--system", "Betting System"}, {"Martingale", "Donald"}, 0};
inline constexpr std::string_view kMartingale = kBettingSystem.choices[0];
inline constexpr std::string_view kDonald = kBettingSystem.choices[1];

inline constexpr RangeSetting kInitialBet{{"Init. Bet", "--initial-bet", "Init. Bet"}, 1, 10000, 1};
inline constexpr RangeSetting kSafeLevel{{"Safe Level", "--safe-level", "Safe Level"}, 0, 10, 0};
inline constexpr FlagSetting kFixedMatrix{{"Fixed Matrix", "--fixed-matrix", "Fixed Matrix"},
                                          false};

// The Sequential mode's settings.
inline constexpr ChoiceSetting<3> kResetOn{
    {"Reset on", "--reset-on", "Sequential: when the sequence starts over"},
    {"+ OR =", "ONLY +", "Manual"},
    0};
inline constexpr RangeSetting kIncreaseTill{
    {"Increase till", "--increase-till", "Sequential: most numbers covered"}, 1, 35, 18};
inline constexpr ChoiceSetting<2> kProgression{
    {"Progression", "--progression", "Sequential: how the stake rises"},
    {"Double", "+ Init. Bet"},
    0};
inline constexpr RangeSetting kMCount{
    {"M. Count", "--m-count", "Sequential: misses that add a number"}, 1, 10000, 2};
inline constexpr RangeSetting kWCount{
    {"W. Count", "--w-count", "Sequential: hits that take one away"}, 1, 10000, 1};

} // namespace setting

// The window's settings as values, with the window's defaults.
struct Settings {
    int gameMode = setting::kGameMode.defaultIndex;
    std::string bettingSystem = std::string(setting::kBettingSystem.defaultName());
    int32_t initialBet = setting::kInitialBet.defaultValue;
    int safeLevel = setting::kSafeLevel.defaultValue;
    bool fixedMatrix = setting::kFixedMatrix.defaultValue;
    int mode3Reset = setting::kResetOn.defaultIndex;
    int32_t increaseTill = setting::kIncreaseTill.defaultValue;
    int progression = setting::kProgression.defaultIndex;
    int32_t sequentialLosses = setting::kMCount.defaultValue;
    int32_t sequentialWins = setting::kWCount.defaultValue;
};

} // namespace vantel
