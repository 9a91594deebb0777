#pragma once

#include <cstddef>
#include <string>

namespace roombox {

// Whitespace-separated tokens of a whole text file, read one after another.
// Separators are the C isspace characters; the line structure carries no
// meaning.
struct NumberTokens {
  std::string text;
  std::size_t position = 0;
};

// Reads the whole file at path into tokens (position 0). Returns false when
// the file cannot be opened or read.
bool loadNumberTokens(const std::string& path, NumberTokens& tokens);

// Moves to the next token and sets start and length to it. Returns false
// when no token is left.
bool nextNumberToken(NumberTokens& tokens, const char*& start, std::size_t& length);

enum class NumberCheck { Finite, NotANumber, NotFinite };

// Converts one token to a correctly rounded float with strtof. The whole
// token must be consumed (decimal, exponent and hexadecimal forms with an
// optional sign); a value that is infinite or NaN (written so, or overflowing)
// is reported as NotFinite. Underflow to zero or a subnormal is accepted.
NumberCheck parseFloatToken(const char* start, std::size_t length, float& value);

// Throws Error("The file <path> is malformed: <detail>"). Shared by the
// readers of plane info and affine transform files, so that every malformed
// input is reported alike.
[[noreturn]] void throwMalformed(const std::string& path, const std::string& detail);

}  // namespace roombox
