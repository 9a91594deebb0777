#include "input/number_tokens.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace roombox {

bool loadNumberTokens(const std::string& path, NumberTokens& tokens) {
  tokens.text.clear();
  tokens.position = 0;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
    tokens.text.append(chunk, got);
  }
  const bool readFailed = std::ferror(file) != 0;
  std::fclose(file);
  return !readFailed;
}

bool nextNumberToken(NumberTokens& tokens, const char*& start, std::size_t& length) {
  const std::string& text = tokens.text;
  std::size_t i = tokens.position;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (i == text.size()) {
    tokens.position = i;
    return false;
  }
  std::size_t end = i;
  while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
  start = text.data() + i;
  length = end - i;
  tokens.position = end;
  return true;
}

NumberCheck parseFloatToken(const char* start, std::size_t length, float& value) {
  // strtof stops at the white space (or the terminating zero of the text)
  // that ends the token, so a token it consumes entirely is a number. A
  // token holding a zero byte is never consumed entirely.
  char* end = nullptr;
  value = std::strtof(start, &end);
  if (length == 0 || end != start + length) return NumberCheck::NotANumber;
  if (!std::isfinite(value)) return NumberCheck::NotFinite;
  return NumberCheck::Finite;
}

}  // namespace roombox
