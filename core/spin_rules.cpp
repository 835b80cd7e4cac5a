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
    if (OnChange) OnChange();
}

int32_t SpinValue::value() {
    if (auto v = tryStrToInt(m_text)) return *v;
    setText(IntToStr(m_bounds.min));
    return m_bounds.min;
}

void SpinValue::setValue(int64_t v) {
    setText(IntToStr(spinClamp(m_bounds, v)));
}

void SpinValue::upStep() {
    setValue(static_cast<int64_t>(value()) + m_bounds.increment);
}

void SpinValue::downStep() {
    setValue(static_cast<int64_t>(value()) - m_bounds.increment);
}

void SpinValue::leave() {
    const int32_t v = value();
    if (spinClamp(m_bounds, v) != v) setValue(v);
}

} // namespace vantel
