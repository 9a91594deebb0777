#pragma once

// Streaming JSON writer into a caller-supplied buffer of fixed capacity.
// Characters that do not fit are dropped and the first problem is kept in a
// sticky error code, after which every operation does nothing.

enum JsonWriterError {
  Ok = 0,
  BufferFull = 1,
  StackFull = 4,
  StackEmpty = 5,
  NestingOpen = 6,
};

struct JsonWriter {
  char* buffer = nullptr;
  int capacity = 0;
  char* cursor = nullptr;
  char numberText[32] = {};
  JsonWriterError error = Ok;
  int levels[32] = {};
  int depth = 0;
  int pretty = 0;
};

// Starts a document whose root is an object: zero-fills all capacity
// characters of buffer and stores "{". pretty 1 turns on line feeds and
// four-blank indentation.
void openDocument(JsonWriter& writer, char* buffer, int capacity, int pretty);

// Writes a member named key whose value is a new nested object, left open.
void beginObjectMember(JsonWriter& writer, const char* key);

// Writes a member whose value is text in double quotes (nothing escaped).
void stringMember(JsonWriter& writer, const char* key, const char* text);

// Writes a member whose value is formatNumber(value).
void numberMember(JsonWriter& writer, const char* key, double value);

// Closes the innermost open object.
void endObject(JsonWriter& writer);

// Closes the root object and returns the sticky error.
JsonWriterError closeDocument(JsonWriter& writer);

// The steps the operations above are made of: the key of a member with its
// separator and indentation, quoted and raw text, and a line break with
// indentation. Each stores its characters by the writer's one rule (dropped
// and BufferFull recorded once the buffer is full).
JsonWriterError writeKey(JsonWriter& writer, const char* key);
void putQuoted(JsonWriter& writer, const char* text);
void putRaw(JsonWriter& writer, const char* text);
void newlineIndent(JsonWriter& writer);

// Formats value as the shortest decimal text with at most six decimals
// ("nan" for NaN, C "%e" above 2147483647 in magnitude) into out, which holds
// 32 characters.
void formatNumber(double value, char out[32]);
