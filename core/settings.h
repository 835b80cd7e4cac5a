#pragma once

// The window's settings, each once: its name, its choices or range, its
// default, and below them the field table (`kSettingFields`) with every other
// name a setting has: its key in the session file, vantel-sim's option and
// JSON key, the report's words, the Simulate form's caption, what assistive
// tools call it and its tooltip. The session file, vantel-sim's options and
// JSON, the report and the chart's title, the Simulate form and the player
// aids walk that table; none of them names a setting.

#include "spin_rules.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

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

// Which line of the report a setting is told on: every game's, or only
// Sequential's.
enum class SettingGroup { Every, Sequential };

enum class SettingKind { Choice, Range, Flag };

// One row of the field table: a setting with all its names and where its
// value is kept in `Settings`. Its value as one integer: a choice's index, a
// range's number, a flag's 0 or 1.
struct SettingField {
    SettingName name;
    SettingKind kind = SettingKind::Range;
    SettingGroup group = SettingGroup::Every;
    std::string_view sessionKey; // "sequentialWins": the session file's key
    std::string_view jsonKey;    // "w_count": vantel-sim's JSON report
    // The report's and the chart title's words: "W. count 1"; a flag's are
    // followed by on or off, a choice's by its name in quotes; a choice
    // without words is told by its name alone ("Mode1").
    std::string_view reportLabel;
    std::string_view formName;    // the Simulate form's field: "WCount"
    std::string_view formCaption; // its caption there (none: a check box says its name)
    std::string_view spokenName;  // what assistive tools call the window's control
    // The control's tooltip; in a range's, %1 and %2 stand for its ends.
    std::string_view tip;
    const std::string_view* choices = nullptr;
    int choiceCount = 0;
    int32_t min = 0;
    int32_t max = 0;
    int32_t defaultValue = 0;
    // Where the value is kept: one of the three, by its type.
    int Settings::*number = nullptr;       // a range, or a choice by its index
    std::string Settings::*text = nullptr; // a choice by its name
    bool Settings::*flag = nullptr;

    constexpr std::string_view choiceName(int index) const {
        return index >= 0 && index < choiceCount ? choices[index] : std::string_view();
    }
    constexpr int indexOf(std::string_view choice) const {
        for (int i = 0; i < choiceCount; ++i)
            if (choices[i] == choice) return i;
        return -1;
    }
    int value(const Settings& s) const {
        if (flag) return s.*flag ? 1 : 0;
        if (text) return indexOf(s.*text);
        return s.*number;
    }
    void setValue(Settings& s, int v) const {
        if (flag)
            s.*flag = v != 0;
        else if (text)
            s.*text = std::string(choiceName(v));
        else
            s.*number = v;
    }
};

static_assert(std::is_same_v<int32_t, int>, "the table keeps every number as an int");

// The words of a row beside its setting's own.
struct SettingWords {
    SettingGroup group;
    std::string_view sessionKey, jsonKey, reportLabel, formName, formCaption, spokenName, tip;
};

constexpr SettingField settingField(const SettingName& name, SettingKind kind,
                                    const SettingWords& w) {
    SettingField f;
    f.name = name;
    f.kind = kind;
    f.group = w.group;
    f.sessionKey = w.sessionKey;
    f.jsonKey = w.jsonKey;
    f.reportLabel = w.reportLabel;
    f.formName = w.formName;
    f.formCaption = w.formCaption;
    f.spokenName = w.spokenName;
    f.tip = w.tip;
    return f;
}

template <size_t N, class Member>
constexpr SettingField choiceField(const ChoiceSetting<N>& c, Member Settings::*member,
                                   const SettingWords& w) {
    SettingField f = settingField(c.name, SettingKind::Choice, w);
    f.choices = c.choices.data();
    f.choiceCount = c.count();
    f.max = c.count() - 1;
    f.defaultValue = c.defaultIndex;
    if constexpr (std::is_same_v<Member, std::string>)
        f.text = member;
    else
        f.number = member;
    return f;
}

constexpr SettingField rangeField(const RangeSetting& r, int Settings::*member,
                                  const SettingWords& w) {
    SettingField f = settingField(r.name, SettingKind::Range, w);
    f.min = r.min;
    f.max = r.max;
    f.defaultValue = r.defaultValue;
    f.number = member;
    return f;
}

constexpr SettingField flagField(const FlagSetting& s, bool Settings::*member,
                                 const SettingWords& w) {
    SettingField f = settingField(s.name, SettingKind::Flag, w);
    f.max = 1;
    f.defaultValue = s.defaultValue ? 1 : 0;
    f.flag = member;
    return f;
}

// Every setting, in the window's order: the order of vantel-sim's options and
// JSON, the report's words, the Simulate form's fields and the session file's
// checks.
inline constexpr std::array kSettingFields{
    choiceField(setting::kGameMode, &Settings::gameMode,
                {SettingGroup::Every, "gameMode", "mode", "", "Mode", "Game Mode", "Game mode",
                 "Mode1: 18 numbers at random, six from each third. Mode2: the 18 hottest "
                 "numbers of the last 37 spins. Sequential: the numbers that have waited "
                 "longest, with a count-and-stake progression"}),
    choiceField(setting::kBettingSystem, &Settings::bettingSystem,
                {SettingGroup::Every, "bettingSystem", "system", "", "System", "Betting System",
                 "Betting system",
                 "Martingale doubles the stake after a lit miss and goes back to the initial "
                 "bet on a hit; Donald adds one initial bet after a miss and takes one away "
                 "after a hit"}),
    rangeField(setting::kInitialBet, &Settings::initialBet,
               {SettingGroup::Every, "initialBet", "initial_bet", "initial bet", "InitialBet",
                "Init. Bet", "Initial bet",
                "The stake per number at the start of a progression, %1 to %2; a change "
                "starts the progression over"}),
    rangeField(setting::kSafeLevel, &Settings::safeLevel,
               {SettingGroup::Every, "safeLevel", "safe_level", "safe level", "SafeLevel",
                "Safe Level", "Safe level",
                "Bet only after this many misses in a row. The square beside it is green when "
                "a miss on the next spin leads to a lit suggestion, maroon when it does not"}),
    flagField(setting::kFixedMatrix, &Settings::fixedMatrix,
              {SettingGroup::Every, "fixedMatrix", "fixed_matrix", "fixed matrix", "FixedMatrix",
               "", "Fixed matrix",
               "After a hit, suggest the very same numbers again instead of drawing new ones"}),
    choiceField(setting::kResetOn, &Settings::mode3Reset,
                {SettingGroup::Sequential, "mode3Reset", "reset_on", "reset on", "ResetOn",
                 "Sequential: reset on", "Reset on",
                 "When the sequence starts over: once its result is zero or better, only once "
                 "it is ahead, or only by Reset"}),
    rangeField(setting::kIncreaseTill, &Settings::increaseTill,
               {SettingGroup::Sequential, "increaseTill", "increase_till", "increase till",
                "IncreaseTill", "Sequential: increase till", "Increase till",
                "The most numbers the suggestion grows to (18 at most)"}),
    choiceField(setting::kProgression, &Settings::progression,
                {SettingGroup::Sequential, "progression", "progression", "", "Progression",
                 "Sequential: progression", "Progression",
                 "How the stake per number steps up after a run of misses and down after a run "
                 "of hits"}),
    rangeField(setting::kMCount, &Settings::sequentialLosses,
               {SettingGroup::Sequential, "sequentialLosses", "m_count", "M. count", "MCount",
                "Sequential: M. Count", "Misses before a step up",
                "Misses in a row that add a number and raise the stake"}),
    rangeField(setting::kWCount, &Settings::sequentialWins,
               {SettingGroup::Sequential, "sequentialWins", "w_count", "W. count", "WCount",
                "Sequential: W. Count", "Hits before a step down",
                "Hits in a row that drop a number and lower the stake"}),
};
inline constexpr int kSettingCount = static_cast<int>(kSettingFields.size());

// A setting's row in the table, by where `Settings` keeps it; -1 for none.
template <class Member> constexpr int settingIndex(Member Settings::*member) {
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingField& f = kSettingFields[static_cast<size_t>(i)];
        if constexpr (std::is_same_v<Member, std::string>) {
            if (f.text == member) return i;
        } else if constexpr (std::is_same_v<Member, bool>) {
            if (f.flag == member) return i;
        } else {
            if (f.number == member) return i;
        }
    }
    return -1;
}

// The report's words for one group of the settings, in the table's order:
// "Mode1", "Martingale", "initial bet 1", ..., "fixed matrix off".
inline std::vector<std::string> settingPhrases(const Settings& s, SettingGroup group) {
    std::vector<std::string> phrases;
    for (const SettingField& f : kSettingFields) {
        if (f.group != group) continue;
        const std::string label(f.reportLabel);
        switch (f.kind) {
        case SettingKind::Choice: {
            const std::string name = f.text ? s.*f.text : std::string(f.choiceName(f.value(s)));
            phrases.push_back(label.empty() ? name : label + " \"" + name + "\"");
            break;
        }
        case SettingKind::Range:
            phrases.push_back(label + " " + std::to_string(f.value(s)));
            break;
        case SettingKind::Flag:
            phrases.push_back(label + (f.value(s) ? " on" : " off"));
            break;
        }
    }
    return phrases;
}

} // namespace vantel
