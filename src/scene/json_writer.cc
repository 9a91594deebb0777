#include "scene/json_writer.h"

#include "common/c_locale.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace roombox {

namespace {

// Appends the length characters at chars while the capacity allows; drops the
// rest and records JsonWriterError::BufferFull. Applied to every character, whatever the
// error is.
void putChars(JsonWriter& writer, const char* chars, std::size_t length) {
  std::string& text = *writer.text;
  const std::size_t room = text.size() < writer.capacity ? writer.capacity - text.size() : 0;
  if (length <= room) {
    text.append(chars, length);
  } else {
    text.append(chars, room);
    writer.error = JsonWriterError::BufferFull;
  }
}

void putChar(JsonWriter& writer, char c) { putChars(writer, &c, 1); }

// Stores each character of text.
void putRaw(JsonWriter& writer, const char* text) {
  putChars(writer, text, std::strlen(text));
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

// Stores the separating comma (after the first member of the innermost
// object), the line break and indentation, the quoted key and the colon.
// Stores nothing once an error is recorded. Returns the error afterwards.
JsonWriterError writeKey(JsonWriter& writer, const char* key) {
  if (writer.error != JsonWriterError::Ok) {
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

}  // namespace

// Starts a document: empties text, resets the error and the object stack,
// and stores the root's "{".
void openDocument(JsonWriter& writer, std::string& text, std::size_t capacity, int pretty) {
  text.clear();
  writer.text = &text;
  writer.capacity = capacity;
  writer.error = JsonWriterError::Ok;
  writer.depth = 0;
  writer.levels[0] = 0;
  writer.pretty = pretty;
  putChar(writer, '{');
}

// Writes key and opens a nested object as its value. The "{" is stored even
// when the stack is full; then JsonWriterError::StackFull is recorded and depth stays.
void beginObjectMember(JsonWriter& writer, const char* key) {
  if (writeKey(writer, key) != JsonWriterError::Ok) {
    return;
  }
  putChar(writer, '{');
  if (writer.depth + 1 < 32) {
    writer.depth += 1;
    writer.levels[writer.depth] = 0;
  } else {
    writer.error = JsonWriterError::StackFull;
  }
}

// Writes key with text as a quoted string value.
void stringMember(JsonWriter& writer, const char* key, const char* text) {
  if (writeKey(writer, key) == JsonWriterError::Ok) {
    putQuoted(writer, text);
  }
}

// Writes key with value formatted by formatNumber.
void numberMember(JsonWriter& writer, const char* key, double value) {
  formatNumber(value, writer.numberText);
  if (writeKey(writer, key) == JsonWriterError::Ok) {
    putRaw(writer, writer.numberText);
  }
}

// Closes the innermost object: a line break before the "}" only when the
// object has members. At the root it records JsonWriterError::StackEmpty but still stores
// the "}".
void endObject(JsonWriter& writer) {
  if (writer.error != JsonWriterError::Ok) {
    return;
  }
  const int members = writer.levels[writer.depth];
  if (writer.depth == 0) {
    writer.error = JsonWriterError::StackEmpty;
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
// or an object is still open (JsonWriterError::NestingOpen).
JsonWriterError closeDocument(JsonWriter& writer) {
  if (writer.error != JsonWriterError::Ok) {
    return writer.error;
  }
  if (writer.depth != 0) {
    writer.error = JsonWriterError::NestingOpen;
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
    const CLocaleScope cLocale;  // a decimal point, whatever the locale
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

}  // namespace roombox
