#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vantel {

// The integer-setting rules shared by the window's spin edit and the headless
// settings: reading never clamps, a failed read falls back to the minimum,
// writing clamps, and equal bounds mean no clamp at all.
struct SpinBounds {
    int32_t min = 0;
    int32_t max = 0;
    int32_t increment = 1;
};

int32_t spinClamp(const SpinBounds& bounds, int64_t v);

// Reading a spin edit's text: its value, or the minimum when the text is not an
// integer, in which case the edit's text must become fallbackText.
struct SpinRead {
    int32_t value = 0;
    bool fellBack = false;
};
SpinRead spinRead(const SpinBounds& bounds, const std::string& text);
std::string spinFallbackText(const SpinBounds& bounds);
// The text a written value shows: clamped, in decimal.
std::string spinTextOf(const SpinBounds& bounds, int64_t v);
// The value one arrow step up (+1) or down (-1) asks for, before clamping.
int64_t spinStep(const SpinBounds& bounds, int32_t value, int direction);
// Leaving the edit: a value out of range is written again (and so clamped).
bool spinLeaveRewrites(const SpinBounds& bounds, int32_t value);

// The key filter of a spin edit: the decimal separator, "+", "-", digits, and
// any character whose code read as a signed 8-bit number is below 50, except Enter.
bool spinAcceptsChar(uint32_t code, uint32_t decimalSeparator);

// A spin edit without a widget: its text is the one place the value lives, and
// OnChange runs after every actual change of the text.
class SpinValue {
  public:
    SpinValue(SpinBounds bounds, int32_t initial);

    const std::string& text() const { return m_text; }
    void setText(const std::string& text);
    const SpinBounds& bounds() const { return m_bounds; }

    // Reads the value; a text that is not an integer is replaced by the minimum.
    int32_t value() { return m_readValid ? m_readValue : readText(); }
    void setValue(int64_t v);
    void upStep();
    void downStep();
    // The check run when the edit loses the keyboard focus.
    void leave();

    std::function<void()> OnChange;

  private:
    int32_t readText();

    SpinBounds m_bounds;
    std::string m_text;
    // The value m_text reads as, kept from the last read until the text
    // changes: the settings are read on every spin and rarely typed.
    int32_t m_readValue = 0;
    bool m_readValid = false;
};

} // namespace vantel
