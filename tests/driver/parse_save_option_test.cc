#include "driver/parse_save_option.h"

#include <gtest/gtest.h>

#include <climits>

namespace roombox {
namespace {

TEST(ParseSaveOptionTest, ConvertsLikeAtoiAndClampsInsteadOfOverflowing) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"2", 2},           {"2abc", 2},          {"abc", 0},          {"", 0},
      {" \t\n3", 3},      {"+1", 1},            {"-1", -1},          {"- 1", 0},
      {"007", 7},         {"3.9", 3},           {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},                  {"99999999999999999999999", INT_MAX},
      {"-2147483648", INT_MIN},                 {"-2147483649", INT_MIN},
      {"-99999999999999999999999", INT_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseSaveOption(c.text), c.expected) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace roombox
