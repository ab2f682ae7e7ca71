#include <gtest/gtest.h>

#include <cmath>

#include "settings/number_text.h"

namespace sweepwav {
namespace {

struct ParseCase {
    const char* text;
    bool isNumber;
    double value;
};

TEST(NumberText, AcceptsExactlyTheNumberNotation) {
    const ParseCase cases[] = {
        {"5", true, 5},        {"5.", true, 5},          {".25", true, 0.25},
        {"-0.5", true, -0.5},  {"+7", true, 7},          {"  12  ", true, 12},
        {"1e3", true, 1000},   {"1E-2", true, 0.01},     {"2.5e+1", true, 25},
        {"", false, 0},        {"   ", false, 0},        {".", false, 0},
        {"-", false, 0},       {"1,5", false, 0},        {"1 000", false, 0},
        {"inf", false, 0},     {"nan", false, 0},        {"0x10", false, 0},
        {"\t5", false, 0},     {"- 5", false, 0},        {"1e", false, 0},
        {"1e+", false, 0},     {"e5", false, 0},         {"5abc", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsNumber(c.text), c.isNumber);
        auto v = ParseNumber(c.text);
        ASSERT_EQ(v.has_value(), c.isNumber);
        if (c.isNumber) {
            EXPECT_EQ(*v, c.value);
        }
    }
}

TEST(NumberText, HugeAndTinyTextsStayNumbers) {
    EXPECT_EQ(*ParseNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(*ParseNumber("-1e400"), -HUGE_VAL);
    EXPECT_EQ(*ParseNumber("1e-400"), 0.0);
    EXPECT_EQ(*ParseNumber("0.0000e999"), 0.0);
}

TEST(NumberText, GeneralNumberForm) {
    const std::pair<double, const char*> cases[] = {
        {200, "200"},          {1000.123, "1000.123"}, {-3.5, "-3.5"},
        {-0.0, "0"},           {0.1 + 0.2, "0.3"},     {1e20, "1e+20"},
        {0.0001, "0.0001"},    {0.00001, "1e-05"},     {123456789012345.0, "123456789012345"},
        {1e15, "1e+15"},       {-20, "-20"},
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
    EXPECT_EQ(RoundDecimals(1e300, 3), 1e300);
    EXPECT_FALSE(RoundToLong(2147483647.5).has_value());
    EXPECT_EQ(*RoundToLong(-2147483648.0), INT32_MIN);
}

}  // namespace
}  // namespace sweepwav
