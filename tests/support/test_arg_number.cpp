// Command-line numbers: only a word that is wholly a number in range counts,
// and a refused word leaves the value as it was.
#include "support/arg_number.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ArgNumber, WholeNumbersInRangeOnly) {
    long n = 7;
    EXPECT_TRUE(arg_long("0", 0, 65535, &n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(arg_long("65535", 0, 65535, &n));
    EXPECT_EQ(n, 65535);
    EXPECT_TRUE(arg_long("-3", -5, 5, &n));
    EXPECT_EQ(n, -3);
    n = 7;
    for (const char* bad : {"", "65536", "-1", "12x", "1.5", " ", "99999999999999999999999"})
        EXPECT_FALSE(arg_long(bad, 0, 65535, &n)) << bad;
    EXPECT_FALSE(arg_long(nullptr, 0, 1, &n));
    EXPECT_FALSE(arg_long("99999999999999999999999", LONG_MIN, LONG_MAX, &n)) << "overflow is no LONG_MAX";
    EXPECT_EQ(n, 7);
}

TEST(ArgNumber, DecimalsWholeWordAndNoNaN) {
    double v = 7;
    EXPECT_TRUE(arg_double("0.25", &v));
    EXPECT_DOUBLE_EQ(v, 0.25);
    EXPECT_TRUE(arg_double("1e3", &v));
    EXPECT_DOUBLE_EQ(v, 1000.0);
    v = 7;
    for (const char* bad : {"", "0.5s", "nan", "NAN", "x"}) EXPECT_FALSE(arg_double(bad, &v)) << bad;
    EXPECT_FALSE(arg_double(nullptr, &v));
    EXPECT_EQ(v, 7);
}
