#include "scene/json_writer.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Stores one character when the buffer has room; otherwise drops it and
// records BufferFull. Applied to every character, whatever the error is.
void putChar(JsonWriter& writer, char c) {
  if (writer.cursor - writer.buffer < writer.capacity) {
    *writer.cursor = c;
    ++writer.cursor;
  } else {
    writer.error = BufferFull;
  }
}

}  // namespace

// Starts a document: zero-fills the capacity characters of buffer, resets the
// error and the object stack, and stores the root's "{". A negative capacity
// is taken as 0, so nothing is ever written outside buffer.
void openDocument(JsonWriter& writer, char* buffer, int capacity, int pretty) {
  if (capacity < 0) {
    capacity = 0;
  }
  if (capacity > 0) {
    std::memset(buffer, 0, static_cast<size_t>(capacity));
  }
  writer.buffer = buffer;
  writer.capacity = capacity;
  writer.cursor = buffer;
  writer.error = Ok;
  writer.depth = 0;
  writer.levels[0] = 0;
  writer.pretty = pretty;
  putChar(writer, '{');
}

// With pretty printing, stores a line feed and one four-blank unit per open
// object (depth + 1 units); without it, stores nothing.
void newlineIndent(JsonWriter& writer) {
  if (writer.pretty != 1) {
    return;
  }
  putChar(writer, '\n');
  for (int level = 0; level < writer.depth + 1; ++level) {
    putRaw(writer, "    ");
  }
}

// Stores text between double quotes, unescaped.
void putQuoted(JsonWriter& writer, const char* text) {
  putChar(writer, '"');
  putRaw(writer, text);
  putChar(writer, '"');
}

// Stores each character of text.
void putRaw(JsonWriter& writer, const char* text) {
  for (const char* c = text; *c != '\0'; ++c) {
    putChar(writer, *c);
  }
}

// Stores the separating comma (after the first member of the innermost
// object), the line break and indentation, the quoted key and the colon.
// Stores nothing once an error is recorded. Returns the error afterwards.
JsonWriterError writeKey(JsonWriter& writer, const char* key) {
  if (writer.error != Ok) {
    return writer.error;
  }
  if (writer.levels[writer.depth] > 0) {
    putChar(writer, ',');
  }
  writer.levels[writer.depth] += 1;
  newlineIndent(writer);
  putQuoted(writer, key);
  putChar(writer, ':');
  if (writer.pretty == 1) {
    putChar(writer, ' ');
  }
  return writer.error;
}

// Writes key and opens a nested object as its value. The "{" is stored even
// when the stack is full; then StackFull is recorded and depth stays.
void beginObjectMember(JsonWriter& writer, const char* key) {
  if (writeKey(writer, key) != Ok) {
    return;
  }
  putChar(writer, '{');
  if (writer.depth + 1 < 32) {
    writer.depth += 1;
    writer.levels[writer.depth] = 0;
  } else {
    writer.error = StackFull;
  }
}

// Writes key with text as a quoted string value.
void stringMember(JsonWriter& writer, const char* key, const char* text) {
  if (writeKey(writer, key) == Ok) {
    putQuoted(writer, text);
  }
}

// Writes key with value formatted by formatNumber.
void numberMember(JsonWriter& writer, const char* key, double value) {
  formatNumber(value, writer.numberText);
  if (writeKey(writer, key) == Ok) {
    putRaw(writer, writer.numberText);
  }
}

// Closes the innermost object: a line break before the "}" only when the
// object has members. At the root it records StackEmpty but still stores
// the "}".
void endObject(JsonWriter& writer) {
  if (writer.error != Ok) {
    return;
  }
  const int members = writer.levels[writer.depth];
  if (writer.depth == 0) {
    writer.error = StackEmpty;
  } else {
    writer.depth -= 1;
  }
  if (members > 0) {
    newlineIndent(writer);
  }
  putChar(writer, '}');
}

// Closes the root object (a line feed first with pretty printing) and
// returns the sticky error; stores nothing when an error is already recorded
// or an object is still open (NestingOpen).
JsonWriterError closeDocument(JsonWriter& writer) {
  if (writer.error != Ok) {
    return writer.error;
  }
  if (writer.depth != 0) {
    writer.error = NestingOpen;
    return writer.error;
  }
  if (writer.pretty == 1) {
    putChar(writer, '\n');
  }
  putChar(writer, '}');
  return writer.error;
}

// Formats value with at most six decimals, trailing zeros dropped and no
// decimal point for whole numbers. The fraction is rounded half to odd-up:
// exactly .5 rounds up when the truncated fraction is 0 or odd and stays when
// it is even and nonzero. Magnitudes above 2147483647 (and infinities) use
// the C "%e" form; NaN gives "nan".
void formatNumber(double value, char out[32]) {
  if (value != value) {
    std::memcpy(out, "nan", 4);
    return;
  }
  const bool negative = value < 0;
  if (negative) {
    value = -value;
  }
  if (value > 2147483647.0) {
    std::snprintf(out, 32, "%e", negative ? -value : value);
    return;
  }
  // value is within 0..2147483647 here, so both conversions are defined.
  int64_t whole = static_cast<int32_t>(value);
  const double scaled = (value - static_cast<double>(whole)) * 1000000.0;
  uint32_t frac = static_cast<uint32_t>(scaled);
  const double diff = scaled - static_cast<double>(frac);
  if (diff > 0.5 || (diff == 0.5 && (frac == 0 || frac % 2 == 1))) {
    frac += 1;
    if (frac >= 1000000) {
      frac = 0;
      whole += 1;
    }
  }
  // The text is built from the integers directly: the sign, the digits of
  // whole, and the six digits of frac without their trailing zeros. At most
  // 1 + 10 + 1 + 6 characters and the terminator.
  char* text = out;
  if (negative) {
    *text++ = '-';
  }
  text = std::to_chars(text, out + 31, whole).ptr;
  if (frac != 0) {
    *text++ = '.';
    char digits[6];
    for (int d = 5; d >= 0; --d) {
      digits[d] = static_cast<char>('0' + frac % 10);
      frac /= 10;
    }
    int end = 6;
    while (digits[end - 1] == '0') {
      --end;
    }
    std::memcpy(text, digits, static_cast<size_t>(end));
    text += end;
  }
  *text = '\0';
}
