#include "scene/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace roombox {
namespace {

// The half-way cases use values whose scaled fraction is exactly x.5 in
// double: 2^-7 * 1e6 = 7812.5, 3 * 2^-7 * 1e6 = 23437.5, and 0.0000005,
// 0.0000025, 0.0000035 times 1e6 round to exactly 0.5, 2.5 and 3.5.
TEST(FormatNumber, ShortestTextAndHalfWayRule) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {1.5, "1.5"}, {2.0, "2"}, {0.05, "0.05"}, {12.3456789, "12.345679"},
      {0.0000006, "0.000001"}, {0.0000004, "0"}, {0.9999996, "1"}, {-2.5, "-2.5"},
      {-0.0000001, "-0"}, {-0.0, "0"}, {2147483647.0, "2147483647"}, {3e9, "3.000000e+09"},
      {-3e9, "-3.000000e+09"}, {2147483647.5, "2.147484e+09"}, {NAN, "nan"},
      {0.0078125, "0.007812"}, {5.0078125, "5.007812"}, {0.0000025, "0.000002"},  // even stays
      {0.0234375, "0.023438"}, {-7.0234375, "-7.023438"}, {0.0000035, "0.000004"},  // odd up
      {0.0000005, "0.000001"}, {std::nextafter(0.0000005, 0.0), "0"},  // zero goes up
  };
  ASSERT_EQ(0.0000005 * 1000000.0, 0.5);
  for (const auto& c : cases) {
    char out[32];
    formatNumber(c.value, out);
    EXPECT_STREQ(out, c.text) << c.value;
  }
}

// Writes {"a": {"x": 1, "y": 2.5}, "e": {}, "s": "q"uote"}.
void writeSample(JsonWriter& writer) {
  beginObjectMember(writer, "a");
  numberMember(writer, "x", 1.0);
  numberMember(writer, "y", 2.5);
  endObject(writer);
  beginObjectMember(writer, "e");
  endObject(writer);
  stringMember(writer, "s", "q\"uote");
}

TEST(JsonWriter, Layout) {
  std::string text = "left over from before";
  JsonWriter w;
  openDocument(w, text, 128, 1);
  EXPECT_EQ(closeDocument(w), JsonWriterError::Ok);
  EXPECT_EQ(text, "{\n}");
  EXPECT_EQ(text.size(), 3u);

  openDocument(w, text, 128, 1);
  writeSample(w);
  EXPECT_EQ(closeDocument(w), JsonWriterError::Ok);
  EXPECT_EQ(text,
            "{\n    \"a\": {\n        \"x\": 1,\n        \"y\": 2.5\n    },\n"
            "    \"e\": {},\n    \"s\": \"q\"uote\"\n}");

  openDocument(w, text, 128, 0);
  writeSample(w);
  EXPECT_EQ(closeDocument(w), JsonWriterError::Ok);
  EXPECT_EQ(text, "{\"a\":{\"x\":1,\"y\":2.5},\"e\":{},\"s\":\"q\"uote\"}");
}

TEST(JsonWriter, ErrorsAreStickyAndNothingIsWrittenPastCapacity) {
  std::string text;
  JsonWriter w;
  openDocument(w, text, 16, 1);
  writeSample(w);
  EXPECT_EQ(closeDocument(w), JsonWriterError::BufferFull);
  EXPECT_EQ(text, "{\n    \"a\": {\n   ");  // exactly the 16 characters that fit
  EXPECT_EQ(text.size(), 16u);

  // A document that takes the whole capacity is complete; one character less
  // loses its last character.
  openDocument(w, text, 3, 1);
  EXPECT_EQ(closeDocument(w), JsonWriterError::Ok);
  EXPECT_EQ(text, "{\n}");
  openDocument(w, text, 2, 1);
  EXPECT_EQ(closeDocument(w), JsonWriterError::BufferFull);
  EXPECT_EQ(text, "{\n");

  openDocument(w, text, 1024, 1);  // endObject at the root keeps its brace
  endObject(w);
  stringMember(w, "k", "v");
  EXPECT_EQ(closeDocument(w), JsonWriterError::StackEmpty);
  EXPECT_EQ(text, "{}");

  openDocument(w, text, 1024, 0);
  beginObjectMember(w, "k");
  EXPECT_EQ(closeDocument(w), JsonWriterError::NestingOpen);
  EXPECT_EQ(text, "{\"k\":{");

  std::string nested = "{";
  openDocument(w, text, 1024, 0);
  for (int d = 0; d < 31; ++d, nested += "\"n\":{") beginObjectMember(w, "n");
  for (int d = 0; d < 31; ++d) endObject(w);
  EXPECT_EQ(closeDocument(w), JsonWriterError::Ok);
  EXPECT_EQ(text, nested + std::string(32, '}'));

  openDocument(w, text, 1024, 0);
  for (int d = 0; d < 33; ++d) beginObjectMember(w, "n");
  endObject(w);
  EXPECT_EQ(w.depth, 31);
  EXPECT_EQ(closeDocument(w), JsonWriterError::StackFull);
  EXPECT_EQ(text, nested + "\"n\":{");  // the 32nd "{" is stored, then nothing
}

// Arrays take string and object elements; escaped strings make valid JSON of
// any bytes: each byte that starts no valid UTF-8 sequence (a lone
// continuation, a cut sequence, an overlong form, a surrogate) becomes one
// U+FFFD, and valid UTF-8 stays.
TEST(JsonWriter, ArraysAndEscapedStrings) {
  std::string text;
  JsonWriter w;
  openDocument(w, text, kUnlimitedJsonText, 0);
  escapedStringMember(w, "s", std::string("a\"b\\c\n\t\r\x01\x7f\0z", 12));
  escapedStringMember(w, "u", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80");
  escapedStringMember(w, "bad", "\xe9|\x80|\xe2\x82|\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80");
  rawMember(w, "n", "null");
  beginArrayMember(w, "empty");
  endArray(w);
  beginArrayMember(w, "list");
  escapedStringElement(w, "x");
  beginObjectElement(w);
  rawMember(w, "k", "1.500");
  endObject(w);
  escapedStringElement(w, "y");
  endArray(w);
  EXPECT_EQ(closeDocument(w), JsonWriterError::Ok);
  EXPECT_EQ(text,
            "{\"s\":\"a\\\"b\\\\c\\n\\t\\u000d\\u0001\\u007f\\u0000z\","
            "\"u\":\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\","
            "\"bad\":\"\\ufffd|\\ufffd|\\ufffd\\ufffd|\\ufffd\\ufffd|\\ufffd\\ufffd\\ufffd|"
            "\\ufffd\\ufffd\\ufffd\\ufffd\","
            "\"n\":null,\"empty\":[],\"list\":[\"x\",{\"k\":1.500},\"y\"]}");
  EXPECT_TRUE(isValidUtf8("caf\xc3\xa9 \xf0\x9f\x98\x80"));
  EXPECT_FALSE(isValidUtf8("caf\xe9"));
  EXPECT_FALSE(isValidUtf8("\xed\xa0\x80"));

  openDocument(w, text, kUnlimitedJsonText, 1);
  beginArrayMember(w, "a");
  escapedStringElement(w, "x");
  beginObjectElement(w);
  endObject(w);
  endArray(w);
  EXPECT_EQ(closeDocument(w), JsonWriterError::Ok);
  EXPECT_EQ(text, "{\n    \"a\": [\n        \"x\",\n        {}\n    ]\n}");
}

}  // namespace
}  // namespace roombox
