// The mesh and cuboid writers format numbers themselves instead of through
// printf; their text must be exactly what printf gives, which these tests
// check against snprintf over many values.

#include "mesh/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace roombox {
namespace {

std::string printfFixed(double value) {
  char text[400];
  const int length = std::snprintf(text, sizeof(text), "%f", value);
  return std::string(text, static_cast<std::size_t>(length));
}

std::string formatted(double value) {
  char text[400];
  return std::string(text, formatFixed(value, text));
}

TEST(FormatFixed, MatchesPrintfOnRandomFloatsAndDoubles) {
  std::mt19937_64 rng(3);
  int checked = 0;
  for (int i = 0; i < 250000; ++i) {
    // Any float bit pattern, NaN and infinities included.
    const std::uint32_t bits = static_cast<std::uint32_t>(rng());
    float f;
    std::memcpy(&f, &bits, sizeof f);
    ASSERT_EQ(formatted(f), printfFixed(f)) << std::hexfloat << f;
    // Floats of everyday size, where the six decimals matter most.
    const float everyday = std::ldexp(static_cast<float>(rng() % 16777216), -static_cast<int>(rng() % 40));
    ASSERT_EQ(formatted(-everyday), printfFixed(-everyday)) << std::hexfloat << everyday;
    // Any double bit pattern.
    const std::uint64_t wide = rng();
    double d;
    std::memcpy(&d, &wide, sizeof d);
    ASSERT_EQ(formatted(d), printfFixed(d)) << std::hexfloat << d;
    checked += 3;
  }
  EXPECT_EQ(checked, 750000);
}

TEST(FormatFixed, MatchesPrintfOnTiesAndEdges) {
  // k / 2^m lands exactly halfway between two millionths for m >= 7: printf
  // rounds those to even.
  for (int m = 1; m <= 30; ++m) {
    for (int k = -3000; k <= 3000; ++k) {
      const double value = std::ldexp(static_cast<double>(k), -m);
      ASSERT_EQ(formatted(value), printfFixed(value)) << k << " / 2^" << m;
    }
  }
  // Colour channels over 255, as the colour OBJ writes them.
  for (int c = 0; c <= 255; ++c) {
    const float channel = static_cast<float>(c);
    ASSERT_EQ(formatted(channel / 255.0), printfFixed(channel / 255.0)) << c;
  }
  const double edges[] = {0.0,
                          -0.0,
                          0.0000005,
                          -0.0000005,
                          0.0000015,
                          0.9999995,
                          1e-300,
                          -1e-300,
                          4.9406564584124654e-324,
                          9007199254740991.0,
                          9007199254740992.0,
                          -9007199254740993.0,
                          18446744073709551616.0,
                          1e15 + 0.5,
                          FLT_MAX,
                          -FLT_MAX,
                          FLT_MIN,
                          DBL_MAX,
                          -DBL_MAX,
                          INFINITY,
                          -INFINITY,
                          NAN,
                          -NAN};
  for (const double value : edges) {
    ASSERT_EQ(formatted(value), printfFixed(value)) << std::hexfloat << value;
  }
}

TEST(FormatFaceRow, MatchesThePrintfFormatsOfEachFile) {
  const int rows[][4] = {{0, 1, 2, 3},
                         {INT_MAX, INT_MIN, -1, 999999},
                         {7, 3, 2, 6},
                         {123456789, 10, 100, 1000}};
  for (const auto& row : rows) {
    char text[128];
    char expected[256];
    std::snprintf(expected, sizeof(expected), "f %lld %lld %lld %lld\n", row[0] + 1LL,
                  row[1] + 1LL, row[2] + 1LL, row[3] + 1LL);
    EXPECT_EQ(std::string(text, formatFaceRow(row, FaceRowStyle::kObj, text)), expected);
    const long long c0 = row[0] + 1LL, c1 = row[1] + 1LL, c2 = row[2] + 1LL, c3 = row[3] + 1LL;
    std::snprintf(expected, sizeof(expected), "f %lld/%lld %lld/%lld %lld/%lld %lld/%lld\n", c0,
                  c0, c1, c1, c2, c2, c3, c3);
    EXPECT_EQ(std::string(text, formatFaceRow(row, FaceRowStyle::kTexturedObj, text)), expected);
    std::snprintf(expected, sizeof(expected), "4 %d %d %d %d\n", row[0], row[1], row[2], row[3]);
    EXPECT_EQ(std::string(text, formatFaceRow(row, FaceRowStyle::kOff, text)), expected);
  }
}

}  // namespace
}  // namespace roombox
