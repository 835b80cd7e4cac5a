#include "spin_rules.h"

#include "int_convert.h"
#include "sat_math.h"

namespace vantel {

int32_t spinClamp(const SpinBounds& bounds, int64_t v) {
    if (bounds.min == bounds.max) return sat32(v);
    if (v < bounds.min) return bounds.min;
    if (v > bounds.max) return bounds.max;
    return static_cast<int32_t>(v);
}

SpinRead spinRead(const SpinBounds& bounds, const std::string& text) {
    if (auto v = tryStrToInt(text)) return {*v, false};
    return {bounds.min, true};
}

std::string spinFallbackText(const SpinBounds& bounds) {
    return IntToStr(bounds.min);
}

std::string spinTextOf(const SpinBounds& bounds, int64_t v) {
    return IntToStr(spinClamp(bounds, v));
}

int64_t spinStep(const SpinBounds& bounds, int32_t value, int direction) {
    return static_cast<int64_t>(value) +
           (direction < 0 ? -int64_t{bounds.increment} : int64_t{bounds.increment});
}

bool spinLeaveRewrites(const SpinBounds& bounds, int32_t value) {
    return spinClamp(bounds, value) != value;
}

bool spinAcceptsChar(uint32_t code, uint32_t decimalSeparator) {
    if (code == decimalSeparator || code == '+' || code == '-') return true;
    if (code >= '0' && code <= '9') return true;
    if (code == 13) return false;
    // Codes 128 and above read as negative in a signed byte and so pass.
    if (code > 127) return true;
    return code < 50;
}

SpinValue::SpinValue(SpinBounds bounds, int32_t initial)
    : m_bounds(bounds), m_text(IntToStr(spinClamp(bounds, initial))) {}

void SpinValue::setText(const std::string& text) {
    if (text == m_text) return;
    m_text = text;
    m_readValid = false;
    if (OnChange) OnChange();
}

int32_t SpinValue::readText() {
    const SpinRead read = spinRead(m_bounds, m_text);
    if (read.fellBack) {
        setText(spinFallbackText(m_bounds));
        return read.value;
    }
    m_readValue = read.value;
    m_readValid = true;
    return read.value;
}

void SpinValue::setValue(int64_t v) {
    setText(spinTextOf(m_bounds, v));
}

void SpinValue::upStep() {
    setValue(spinStep(m_bounds, value(), +1));
}

void SpinValue::downStep() {
    setValue(spinStep(m_bounds, value(), -1));
}

void SpinValue::leave() {
    const int32_t v = value();
    if (spinLeaveRewrites(m_bounds, v)) setValue(v);
}

} // namespace vantel
