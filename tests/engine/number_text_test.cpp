#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "numbers/number_text.h"

namespace sweepwav {
namespace {

TEST(NumberText, AcceptsExactlyTheNumberNotation) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"5", 5},        {"5.", 5},       {".25", 0.25},    {"-0.5", -0.5},   {"+7", 7},
        {"  12  ", 12},  {"1e3", 1000},   {"1E-2", 0.01},   {"2.5e+1", 25},   {"1e400", HUGE_VAL},
        {"1e-400", 0.0}, {"", {}},        {"   ", {}},      {".", {}},        {"-", {}},
        {"1,5", {}},     {"1 000", {}},   {"inf", {}},      {"nan", {}},      {"0x10", {}},
        {"\t5", {}},     {"- 5", {}},     {"1e", {}},       {"1e+", {}},      {"e5", {}},
        {"5abc", {}},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(IsNumber(text), value.has_value()) << '"' << text << '"';
        EXPECT_EQ(ParseNumber(text), value) << '"' << text << '"';
    }
}

TEST(NumberText, GeneralNumberForm) {
    const std::pair<double, const char*> cases[] = {
        {200, "200"},      {1000.123, "1000.123"}, {-3.5, "-3.5"},  {-0.0, "0"},
        {0.1 + 0.2, "0.3"}, {1e20, "1e+20"},       {0.00001, "1e-05"}, {1e15, "1e+15"},
        {123456789012345.0, "123456789012345"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(NumberText(value), text);
}

TEST(NumberText, RoundingIsHalfToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundDecimals(1000.12345, 3), 1000.123);
    EXPECT_EQ(RoundDecimals(9.9996, 3), 10);
    EXPECT_EQ(RoundDecimals(1023.99902343750, 2), 1024);
    EXPECT_EQ(RoundDecimals(1e307, 3), 1e307);  // too large to scale: kept as it is
    EXPECT_FALSE(RoundToLong(2147483647.5).has_value());
    EXPECT_EQ(*RoundToLong(-2147483648.0), INT32_MIN);
}

}  // namespace
}  // namespace sweepwav
