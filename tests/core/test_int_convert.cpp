#include "int_convert.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using vantel::ConvertError;
using vantel::StrToInt;
using vantel::tryStrToInt;

namespace {

struct ConvertCase {
    const char* text;
    std::optional<int32_t> expected;
};

class ConversionTable : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConversionTable, ParsesOrFailsWithTheExactMessage) {
    const ConvertCase& c = GetParam();
    EXPECT_EQ(tryStrToInt(c.text), c.expected) << "text: '" << c.text << "'";
    if (c.expected) {
        EXPECT_EQ(StrToInt(c.text), *c.expected);
    } else {
        try {
            StrToInt(c.text);
            FAIL() << "no error for '" << c.text << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(c.text) + "' is not a valid integer value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConversionTable,
    ::testing::Values(ConvertCase{" 12", 12}, ConvertCase{"   7", 7}, ConvertCase{"+5", 5},
                      ConvertCase{"-0", 0}, ConvertCase{"007", 7},
                      ConvertCase{"-2147483648", INT32_MIN}, ConvertCase{"2147483647", INT32_MAX},
                      ConvertCase{"2147483648", std::nullopt},
                      ConvertCase{"-2147483649", std::nullopt},
                      ConvertCase{"99999999999999999999", std::nullopt},
                      ConvertCase{"$FFFFFFFF", -1}, ConvertCase{"0x7fffffff", INT32_MAX},
                      ConvertCase{"0X80000000", INT32_MIN}, ConvertCase{"X1f", 31},
                      ConvertCase{"x10", 16}, ConvertCase{"$10", 16}, ConvertCase{" $a", 10},
                      ConvertCase{"$100000000", std::nullopt}, ConvertCase{"$", std::nullopt},
                      ConvertCase{"0x", std::nullopt}, ConvertCase{"-$1", std::nullopt},
                      ConvertCase{"+0x1", std::nullopt}, ConvertCase{"$1g", std::nullopt},
                      ConvertCase{"12 ", std::nullopt}, ConvertCase{"1.5", std::nullopt},
                      ConvertCase{"5.", std::nullopt}, ConvertCase{"", std::nullopt},
                      ConvertCase{"   ", std::nullopt}, ConvertCase{"\t5", std::nullopt},
                      ConvertCase{"-", std::nullopt}, ConvertCase{"+", std::nullopt},
                      ConvertCase{"1e3", std::nullopt}, ConvertCase{"- 1", std::nullopt}));

TEST(Conversion, EmptyTextHasNothingBetweenTheQuotes) {
    try {
        StrToInt("");
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    }
}

} // namespace
