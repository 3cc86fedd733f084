#include "runtime/number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace quillmere {
namespace {

TEST(ToNumberTest, ReadsTheLongestNumberAtTheStart) {
  // More digits than a double can tell apart still count for the magnitude.
  const std::string manyDigits = "1" + std::string(850, '0') + "E-845";
  const std::string manyDecimals = "2." + std::string(850, '9') + "E-1";
  struct Case {
    std::string_view text;
    double expected;
  } cases[] = {
      {"39.57", 39.57},
      {"  \t0.8402", 0.8402},
      {"-2.5", -2.5},
      {"+7", 7},
      {".5", 0.5},
      {"5.", 5},
      {"1.5E-3", 0.0015},
      {"1.5e-3", 0.0015},
      {"1.5D-03", 0.0015},
      {"1.5d+2", 150},
      {"2E3", 2000},
      {"0.1234-100", 0.1234e-100},  // Fortran: sign straight after the mantissa
      {"0.1234+102", 0.1234e102},
      {"1-1234", 1e-123},  // at most three exponent digits
      {"1.5E", 1.5},       // an exponent needs a digit
      {"1.5E-", 1.5},
      {"1.5-", 1.5},
      {"12-Nov-1978", 12},
      {"3.2.1", 3.2},
      {"39.57    25-Nov", 39.57},
      {"0.000068", 0.000068},
      {"00012.50", 12.5},
      {"-0.000", 0},
      {"123456789012345678901234567890", 1.2345678901234568e29},
      {manyDigits, 1e5},
      {manyDecimals, 0.3},
  };
  for (const Case& c : cases) {
    const NumberReading reading = ToNumber(c.text);
    EXPECT_FALSE(reading.tooLarge) << c.text;
    EXPECT_DOUBLE_EQ(reading.value, c.expected) << c.text;
  }
}

TEST(ToNumberTest, ReadsTextThatIsNoNumberAsZero) {
  for (std::string_view text :
       {"", " ", "-", "+", ".", "-.", "< 1e-6", "***", "inf", "nan", "E5", "x1", "Global max"}) {
    const NumberReading reading = ToNumber(text);
    EXPECT_EQ(reading.value, 0) << text;
    EXPECT_FALSE(reading.tooLarge) << text;
  }
}

TEST(ToNumberTest, FlagsNumbersTooLargeAndZeroesNumbersTooSmall) {
  for (std::string_view text :
       {"1E309", "1.8e308", "-1e400", "1D99999999999999", "1+999", "99999999999999999999e300"}) {
    EXPECT_TRUE(ToNumber(text).tooLarge) << text;
  }
  EXPECT_DOUBLE_EQ(ToNumber("1.7976931348623157e308").value, 1.7976931348623157e308);
  for (std::string_view text : {"1E-400", "1-999", "0.0000001e-320", "1e-99999999999"}) {
    const NumberReading reading = ToNumber(text);
    EXPECT_FALSE(reading.tooLarge) << text;
    EXPECT_EQ(reading.value, 0) << text;
  }
  EXPECT_GT(ToNumber("5e-324").value, 0) << "the smallest subnormal is still a number";
}

TEST(ToTextTest, WritesGeneralTextWithFifteenDigits) {
  struct Case {
    double value;
    std::string_view expected;
    std::string separator = ".";
  } cases[] = {
      {39.57, "39.57"},
      {0.8402, "0.8402"},
      {0, "0"},
      {-0.0, "0"},
      {1000, "1000"},
      {-2.5, "-2.5"},
      {0.0001, "0.0001"},
      {0.000015, "1.5E-05"},
      {1e15, "1E+15"},
      {123456789012345, "123456789012345"},
      {1.0 / 3, "0.333333333333333"},
      {0.1 + 0.2, "0.3"},
      {1.5e-300, "1.5E-300"},
      {1.7976931348623157e308, "1.79769313486232E+308"},
      // Values no reading gives, written as words.
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
      // Any decimal separator, the one the table is written with.
      {39.57, "39,57", ","},
      {0.000015, "1,5E-05", ","},
      {12, "12", ","},
      {-0.25,
       "-0\xc2\xb7"
       "25",
       "\xc2\xb7"},  // more than one byte
  };
  for (const Case& c : cases) EXPECT_EQ(ToText(c.value, c.separator), c.expected) << c.value;
}

}  // namespace
}  // namespace quillmere
