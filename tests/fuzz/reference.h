#pragma once

// The integer-setting rules written out a second time, straight from their
// description and on purpose in a different way from core/ (digit strings
// compared as text instead of accumulated), so that the fuzz targets compare
// two independent readings of the same rules.
#include <cstdint>
#include <optional>
#include <string>

namespace reference {

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Digits without their leading zeros ("" for zero itself).
inline std::string significant(const std::string& digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
}

// A digit string no longer than the limit's, compared as text.
inline bool notAbove(const std::string& digits, const std::string& limit) {
    return digits.size() < limit.size() || (digits.size() == limit.size() && digits <= limit);
}

inline std::optional<int32_t> toInt(const std::string& text) {
    std::string rest = text.substr(std::min(text.find_first_not_of(' '), text.size()));
    std::string hex;
    if (rest.rfind("0x", 0) == 0 || rest.rfind("0X", 0) == 0) {
        hex = rest.substr(2);
    } else if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        hex = rest.substr(1);
    } else {
        bool negative = false;
        if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
            negative = rest[0] == '-';
            rest.erase(0, 1);
        }
        if (rest.empty()) return std::nullopt;
        for (char c : rest)
            if (!isDigit(c)) return std::nullopt;
        const std::string digits = significant(rest);
        if (!notAbove(digits, negative ? "2147483648" : "2147483647")) return std::nullopt;
        int64_t value = 0;
        for (char c : digits)
            value = value * 10 + (c - '0');
        return static_cast<int32_t>(negative ? -value : value);
    }
    if (hex.empty()) return std::nullopt;
    for (char c : hex)
        if (!isHexDigit(c)) return std::nullopt;
    const std::string digits = significant(hex);
    if (digits.size() > 8) return std::nullopt;
    uint32_t bits = 0;
    for (char c : digits)
        bits = bits * 16 + static_cast<uint32_t>(isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
    // The same 32 bits read as a signed number.
    return bits < 0x80000000u ? static_cast<int32_t>(bits)
                              : static_cast<int32_t>(static_cast<int64_t>(bits) - 4294967296LL);
}

inline std::string message(const std::string& text) {
    std::string m = "'%s' is not a valid integer value";
    return m.replace(m.find("%s"), 2, text);
}

struct Bounds {
    int32_t min, max, increment;
};

// Equal bounds mean no clamp; a value beyond 32 bits is then held at the
// nearest end, so that the text written always reads back.
inline int32_t clamp(const Bounds& b, int64_t v) {
    if (b.min == b.max) return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
    if (v < b.min) return b.min;
    if (v > b.max) return b.max;
    return static_cast<int32_t>(v);
}

// The decimal separator, "+", "-", digits, and anything whose code as a signed
// byte is below 50 except Enter; codes above 127 read as negative.
inline bool acceptsChar(uint32_t code, uint32_t separator) {
    if (code == separator || code == '+' || code == '-' || (code >= '0' && code <= '9'))
        return true;
    if (code > 127) return true;
    return code != 13 && code < 50;
}

// A spin edit as a text and a count of its change notifications.
struct Spin {
    Bounds bounds;
    std::string text;
    int changes = 0;

    void setText(const std::string& t) {
        if (t != text) {
            text = t;
            ++changes;
        }
    }
    int32_t read() {
        if (const auto v = toInt(text)) return *v;
        setText(std::to_string(bounds.min));
        return bounds.min;
    }
    void write(int64_t v) { setText(std::to_string(clamp(bounds, v))); }
    void up() { write(int64_t(read()) + bounds.increment); }
    void down() { write(int64_t(read()) - bounds.increment); }
    void leave() {
        const int32_t v = read();
        if (clamp(bounds, v) != v) write(v);
    }
};

} // namespace reference
