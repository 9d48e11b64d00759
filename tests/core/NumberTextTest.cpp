#include <cmath>
#include <gtest/gtest.h>

#include "platform/core/NumberText.h"

namespace {

TEST(NumberText, SignSpace) {
    EXPECT_EQ(platform::str(3), " 3");
    EXPECT_EQ(platform::str(12), " 12");
    EXPECT_EQ(platform::str(0), " 0");
    EXPECT_EQ(platform::str(-3), "-3");
    EXPECT_EQ(platform::numberForFile(7), " 7 ");
}

TEST(NumberText, LeadingNumber) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"2", 2},       {"  2", 2},         {"1.5", 1.5}, {"3abc", 3}, {"abc", 0},        {"", 0},      {"1 2 3", 123},
        {"\t1\n0", 10}, {"-4", -4},         {"+4", 4},    {"- 4", -4}, {"--4", 0},        {".5", 0.5},  {"1.2.3", 1.2},
        {"1e3", 1000},  {"1D2", 100},       {"2e", 2},    {"2e+", 2},  {"1.5e-1x", 0.15}, {"&H1F", 31}, {"&hff", 255},
        {"&HFFFF", -1}, {"&H10000", 65536}, {"&O17", 15}, {"&O8", 0},  {"&", 0},          {"&Hxyz", 0}, {"12,5", 12},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(platform::val(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_TRUE(std::isinf(platform::val("1e999")));
    EXPECT_EQ(platform::val("1e-999"), 0.0);
    // Too small without an exponent: the digits stand after a thousand zeros.
    EXPECT_EQ(platform::val("." + std::string(1000, '0') + "51"), 0.0);
    EXPECT_EQ(platform::val("-0." + std::string(1000, '0') + "5"), 0.0);
    EXPECT_TRUE(std::signbit(platform::val("-0." + std::string(1000, '0') + "5")));
    EXPECT_TRUE(std::isinf(platform::val("5" + std::string(1000, '0') + ".5")));
    EXPECT_EQ(platform::val("0.000" + std::string(400, '0') + "1e500"), 1e96);
}

} // namespace
