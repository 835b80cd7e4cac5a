#pragma once

// The settings as the tracker keeps them: `Settings` for the choices and the
// safe level, and for the four spin-edit settings the text as typed, which is
// what their rules read.
//
// The rules of a spin setting's text, applied when the tracker reads it (not
// when it is typed):
// - a whole number is read as it stands, never clamped ("0" is 0, "40" is 40,
//   "$10" is hexadecimal 16);
// - a text that is not a whole number ("", "x", "1.5") reads as the setting's
//   minimum, and that first reading writes the minimum's text into it, which
//   the tracker tells its observer (settingTextChanged);
// - for Init. Bet, M. Count and W. Count that rewrite is a change of the text
//   like a typed one: the stakes start over (Initial_BetChange) at once,
//   inside the step that read it; Increase till is rewritten without one.

#include "settings.h"
#include "spin_rules.h"

#include <array>
#include <cstddef>
#include <string>

namespace vantel {

// The four spin-edit settings, in the field table's order.
enum class SpinSetting { InitialBet, IncreaseTill, MCount, WCount };
constexpr int kSpinSettingCount = 4;
constexpr std::array<SpinSetting, kSpinSettingCount> kSpinSettings = {
    SpinSetting::InitialBet, SpinSetting::IncreaseTill, SpinSetting::MCount, SpinSetting::WCount};

// Where `Settings` keeps a spin setting's value.
constexpr int Settings::*settingMember(SpinSetting s) {
    switch (s) {
    case SpinSetting::InitialBet:
        return &Settings::initialBet;
    case SpinSetting::IncreaseTill:
        return &Settings::increaseTill;
    case SpinSetting::MCount:
        return &Settings::sequentialLosses;
    case SpinSetting::WCount:
        return &Settings::sequentialWins;
    }
    return &Settings::initialBet;
}

// Its row in the field table.
constexpr const SettingField& settingFieldOf(SpinSetting s) {
    return kSettingFields[static_cast<size_t>(settingIndex(settingMember(s)))];
}

// Whether a change of its text starts the stakes over.
constexpr bool changeResetsStakes(SpinSetting s) {
    return s != SpinSetting::IncreaseTill;
}

// A spin setting's text as typed, and the number it read as last, kept until
// the text changes: the settings are read on every spin and rarely typed.
class SettingText {
  public:
    explicit SettingText(SpinSetting s)
        : m_bounds{settingFieldOf(s).min, settingFieldOf(s).max, 1},
          m_text(std::to_string(settingFieldOf(s).defaultValue)),
          m_value(settingFieldOf(s).defaultValue), m_valueKnown(true) {}

    const std::string& text() const { return m_text; }
    const SpinBounds& bounds() const { return m_bounds; }
    // Takes a new text; returns whether it differs from the one kept.
    bool set(const std::string& text) {
        if (text == m_text) return false;
        m_text = text;
        m_valueKnown = false;
        return true;
    }
    // The number read last, when the text has not changed since.
    bool valueKnown() const { return m_valueKnown; }
    int32_t value() const { return m_value; }
    // Reads the text by the rules above; returns whether it fell back to the
    // minimum, in which case the text is now the minimum's.
    bool read() {
        const SpinRead r = spinRead(m_bounds, m_text);
        m_value = r.value;
        m_valueKnown = true;
        if (r.fellBack) m_text = spinFallbackText(m_bounds);
        return r.fellBack;
    }

  private:
    SpinBounds m_bounds;
    std::string m_text;
    int32_t m_value = 0;
    bool m_valueKnown = false;
};

} // namespace vantel
