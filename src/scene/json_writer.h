#pragma once

#include <cstddef>
#include <string>

namespace roombox {

// Streaming JSON writer appending to a caller-supplied text of limited
// capacity: objects and arrays, members and array elements. Characters that do not fit are dropped and the first problem is
// kept in a sticky error code, after which every operation does nothing.

enum class JsonWriterError {
  Ok = 0,
  BufferFull = 1,
  StackFull = 4,
  StackEmpty = 5,
  NestingOpen = 6,
};

// No capacity limit: the text grows as the document does.
constexpr std::size_t kUnlimitedJsonText = static_cast<std::size_t>(-1);

struct JsonWriter {
  std::string* text = nullptr;  // the document so far
  std::size_t capacity = 0;     // characters the document may take at most
  char numberText[32] = {};
  JsonWriterError error = JsonWriterError::Ok;
  int levels[32] = {};
  int depth = 0;
  int pretty = 0;
};

// Starts a document whose root is an object: empties text, which the writer
// then appends to (at most capacity characters), and stores "{". pretty 1
// turns on line feeds and four-blank indentation.
void openDocument(JsonWriter& writer, std::string& text, std::size_t capacity, int pretty);

// Writes a member named key whose value is a new nested object, left open.
void beginObjectMember(JsonWriter& writer, const char* key);

// Writes a member whose value is text in double quotes (nothing escaped).
void stringMember(JsonWriter& writer, const char* key, const char* text);

// Writes a member whose value is formatNumber(value).
void numberMember(JsonWriter& writer, const char* key, double value);

// Writes a member whose value is text as a JSON string, escaped so that any
// bytes make valid JSON: '"' and '\\' after a backslash, line feed and tab as
// \n and \t, the other control characters and DEL as \u00XX, and every byte
// that starts no valid UTF-8 sequence as \ufffd. Valid UTF-8 stays as it is.
void escapedStringMember(JsonWriter& writer, const char* key, const std::string& text);

// Writes a member whose value is json, JSON text the caller formatted (a
// number of its own precision, null), as it stands.
void rawMember(JsonWriter& writer, const char* key, const char* json);

// Writes a member named key whose value is a new array, left open. Its
// elements are written with the element functions below; endArray closes it.
void beginArrayMember(JsonWriter& writer, const char* key);

// Writes an element of the innermost open array: text as escapedStringMember
// writes it, or a new object left open (closed with endObject).
void escapedStringElement(JsonWriter& writer, const std::string& text);
void beginObjectElement(JsonWriter& writer);

// Closes the innermost open object or array.
void endObject(JsonWriter& writer);
void endArray(JsonWriter& writer);

// Whether text is valid UTF-8 (which escapedStringMember keeps as it is).
bool isValidUtf8(const std::string& text);

// Closes the root object and returns the sticky error.
JsonWriterError closeDocument(JsonWriter& writer);

// Formats value as the shortest decimal text with at most six decimals
// ("nan" for NaN, C "%e" above 2147483647 in magnitude) into out, which holds
// 32 characters.
void formatNumber(double value, char out[32]);

}  // namespace roombox
