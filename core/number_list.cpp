#include "number_list.h"

#include "int_convert.h"

#include <limits>

namespace vantel {

namespace {

// The number whose decimal text the line is, if it is one.
std::optional<int64_t> decimalOf(const std::string& line) {
    if (line.empty() || line.size() > 20) return std::nullopt;
    const bool negative = line[0] == '-';
    const size_t first = negative ? 1 : 0;
    if (first == line.size()) return std::nullopt;
    // No leading zeros, no "-0": only the text std::to_string writes.
    if (line[first] == '0' && (line.size() > first + 1 || negative)) return std::nullopt;
    uint64_t magnitude = 0;
    constexpr uint64_t kLimit = uint64_t{1} << 63; // |INT64_MIN|
    for (size_t i = first; i < line.size(); ++i) {
        const char c = line[i];
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (kLimit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        if (magnitude == kLimit) return std::numeric_limits<int64_t>::min();
        return -static_cast<int64_t>(magnitude);
    }
    if (magnitude == kLimit) return std::nullopt;
    return static_cast<int64_t>(magnitude);
}

} // namespace

NumberList NumberList::range(int first, int last) {
    NumberList list;
    for (int v = first; v <= last; ++v)
        list.append(v);
    return list;
}

NumberList NumberList::of(std::initializer_list<int64_t> values) {
    NumberList list;
    for (int64_t v : values)
        list.append(v);
    return list;
}

std::string NumberList::get(int i) const {
    if (i < 0 || i >= count()) return {};
    const auto at = static_cast<size_t>(i);
    return m_asText ? m_lines[at] : std::to_string(m_values[at]);
}

void NumberList::append(const std::string& line) {
    const auto v = decimalOf(line);
    if (!m_asText && !v) toText();
    if (m_asText) m_lines.push_back(line);
    m_values.push_back(v.value_or(0));
}

void NumberList::appendSlowly(int64_t value) {
    if (m_asText) m_lines.push_back(std::to_string(value));
    m_values.push_back(value);
}

bool NumberList::textTakeIntAt(int i, int32_t& value) {
    const auto v = intAt(i);
    if (!v) return false;
    remove(i);
    value = *v;
    return true;
}

void NumberList::toText() {
    m_lines.clear();
    m_lines.reserve(m_values.size());
    for (int64_t v : m_values)
        m_lines.push_back(std::to_string(v));
    m_asText = true;
}

void NumberList::assignText(const NumberList& other) {
    m_values = other.m_values;
    m_lines = other.m_lines;
    m_asText = other.m_asText;
}

int NumberList::indexOf(const std::string& line) const {
    if (m_asText) {
        for (int i = 0; i < count(); ++i)
            if (m_lines[static_cast<size_t>(i)] == line) return i;
        return -1;
    }
    // Every line is a decimal text: any other text is on no line.
    const auto v = decimalOf(line);
    if (!v) return -1;
    for (int i = 0; i < count(); ++i)
        if (m_values[static_cast<size_t>(i)] == *v) return i;
    return -1;
}

std::vector<int> NumberList::values() const {
    std::vector<int> out;
    out.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i)
        if (const auto v = intAt(i)) out.push_back(*v);
    return out;
}

std::optional<int32_t> NumberList::textIntAt(int i) const {
    return tryStrToInt(m_lines[static_cast<size_t>(i)]);
}

bool NumberList::textHolds(int i, int64_t v) const {
    return m_lines[static_cast<size_t>(i)] == std::to_string(v);
}

int NumberList::textCountHolding(int64_t v) const {
    const std::string text = std::to_string(v);
    int n = 0;
    for (const std::string& line : m_lines)
        n += line == text;
    return n;
}

size_t NumberList::lineBytes() const {
    size_t bytes = m_values.size() * sizeof(int64_t);
    if (!m_asText) return bytes;
    bytes += m_lines.size() * sizeof(std::string);
    for (const std::string& line : m_lines)
        if (line.size() >= sizeof(std::string) - sizeof(size_t) - sizeof(char*))
            bytes += line.size() + 1;
    return bytes;
}

bool NumberList::operator==(const NumberList& other) const {
    if (!m_asText && !other.m_asText) return m_values == other.m_values;
    if (count() != other.count()) return false;
    for (int i = 0; i < count(); ++i)
        if (get(i) != other.get(i)) return false;
    return true;
}

} // namespace vantel
