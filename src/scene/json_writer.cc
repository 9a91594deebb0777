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

// Stores the separating comma (after the first member or element of the
// innermost container) and the line break and indentation. Stores nothing
// once an error is recorded. Returns the error afterwards.
JsonWriterError writeSeparator(JsonWriter& writer) {
  if (writer.error != JsonWriterError::Ok) {
    return writer.error;
  }
  if (writer.levels[writer.depth] > 0) {
    putChar(writer, ',');
  }
  writer.levels[writer.depth] += 1;
  newlineIndent(writer);
  return writer.error;
}

// Stores the separator, the quoted key and the colon. Stores nothing once
// an error is recorded. Returns the error afterwards.
JsonWriterError writeKey(JsonWriter& writer, const char* key) {
  if (writeSeparator(writer) != JsonWriterError::Ok) {
    return writer.error;
  }
  putQuoted(writer, key);
  putChar(writer, ':');
  if (writer.pretty == 1) {
    putChar(writer, ' ');
  }
  return writer.error;
}

// Stores the opening character of a nested container. It is stored even
// when the stack is full; then JsonWriterError::StackFull is recorded and
// depth stays.
void openContainer(JsonWriter& writer, char opening) {
  putChar(writer, opening);
  if (writer.depth + 1 < 32) {
    writer.depth += 1;
    writer.levels[writer.depth] = 0;
  } else {
    writer.error = JsonWriterError::StackFull;
  }
}

// Closes the innermost container: a line break before the closing character
// only when the container has members. At the root it records
// JsonWriterError::StackEmpty but still stores the closing character.
void closeContainer(JsonWriter& writer, char closing) {
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
  putChar(writer, closing);
}

// Length of the valid UTF-8 sequence at text[at], 0 when none starts there.
std::size_t utf8Length(const std::string& text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned int lowest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    lowest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    lowest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    lowest = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  unsigned int code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(at + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + k) & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are no valid UTF-8.
  if (code < lowest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

// Stores text as a JSON string, quotes included, escaped as
// escapedStringMember describes.
void putEscaped(JsonWriter& writer, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  putChar(writer, '"');
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8Length(text, at);
    if (length == 0) {
      putRaw(writer, "\\ufffd");
      ++at;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == '"' || c == '\\') {
      const char escaped[2] = {'\\', static_cast<char>(c)};
      putChars(writer, escaped, 2);
    } else if (c == '\n') {
      putRaw(writer, "\\n");
    } else if (c == '\t') {
      putRaw(writer, "\\t");
    } else if (c < 0x20 || c == 0x7F) {
      const char escaped[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
      putChars(writer, escaped, 6);
    } else {
      putChars(writer, text.data() + at, length);
    }
    at += length;
  }
  putChar(writer, '"');
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

// Writes key and opens a nested object as its value.
void beginObjectMember(JsonWriter& writer, const char* key) {
  if (writeKey(writer, key) == JsonWriterError::Ok) {
    openContainer(writer, '{');
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

void escapedStringMember(JsonWriter& writer, const char* key, const std::string& text) {
  if (writeKey(writer, key) == JsonWriterError::Ok) {
    putEscaped(writer, text);
  }
}

void rawMember(JsonWriter& writer, const char* key, const char* json) {
  if (writeKey(writer, key) == JsonWriterError::Ok) {
    putRaw(writer, json);
  }
}

void beginArrayMember(JsonWriter& writer, const char* key) {
  if (writeKey(writer, key) == JsonWriterError::Ok) {
    openContainer(writer, '[');
  }
}

void escapedStringElement(JsonWriter& writer, const std::string& text) {
  if (writeSeparator(writer) == JsonWriterError::Ok) {
    putEscaped(writer, text);
  }
}

void beginObjectElement(JsonWriter& writer) {
  if (writeSeparator(writer) == JsonWriterError::Ok) {
    openContainer(writer, '{');
  }
}

void endObject(JsonWriter& writer) { closeContainer(writer, '}'); }

void endArray(JsonWriter& writer) { closeContainer(writer, ']'); }

bool isValidUtf8(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8Length(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
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
