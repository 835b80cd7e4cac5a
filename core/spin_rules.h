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
    int32_t value();
    void setValue(int64_t v);
    void upStep();
    void downStep();
    // The check run when the edit loses the keyboard focus.
    void leave();

    std::function<void()> OnChange;

  private:
    SpinBounds m_bounds;
    std::string m_text;
};

} // namespace vantel
