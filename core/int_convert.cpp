#include "int_convert.h"

namespace vantel {

ConvertError::ConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<int32_t> parseHex(const std::string& text, size_t pos) {
    if (pos >= text.size()) return std::nullopt;
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const int d = hexDigit(text[pos]);
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(d);
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    // Same bits, signed: $FFFFFFFF is -1.
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

} // namespace

std::optional<int32_t> tryStrToInt(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos >= text.size()) return std::nullopt;

    const char first = text[pos];
    if (first == '$' || first == 'x' || first == 'X') return parseHex(text, pos + 1);
    if (first == '0' && pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
        return parseHex(text, pos + 2);

    bool negative = false;
    if (first == '+' || first == '-') {
        negative = first == '-';
        ++pos;
    }
    if (pos >= text.size()) return std::nullopt;
    int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t StrToInt(const std::string& text) {
    if (auto v = tryStrToInt(text)) return *v;
    throw ConvertError(text);
}

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

} // namespace vantel
