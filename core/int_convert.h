#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace vantel {

// The one error the tracker can raise: a text that is not an integer.
class ConvertError : public std::runtime_error {
  public:
    explicit ConvertError(const std::string& text);
};

// Parses a text as an integer: leading spaces, then either an optional sign and
// decimal digits within the 32-bit range, or a hexadecimal form ("$", "x", "X",
// "0x", "0X") of at most FFFFFFFF held as the signed value with the same bits.
// Nothing may follow the last digit.
std::optional<int32_t> tryStrToInt(const std::string& text);

// As tryStrToInt, but throws ConvertError on failure.
int32_t StrToInt(const std::string& text);

std::string IntToStr(int64_t value);

} // namespace vantel
