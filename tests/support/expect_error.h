#pragma once

#include "roombox/error.h"

#include <gtest/gtest.h>
#include <regex.h>

#include <string>

// True when the extended regular expression pattern matches somewhere in
// text (the rule gtest's death tests use for their patterns).
inline bool matchesPattern(const std::string& text, const std::string& pattern) {
  regex_t compiled;
  if (regcomp(&compiled, pattern.c_str(), REG_EXTENDED | REG_NOSUB) != 0) return false;
  const bool found = regexec(&compiled, text.c_str(), 0, nullptr, 0) == 0;
  regfree(&compiled);
  return found;
}

// Expects statement to throw roombox::Error with a message that matches the
// extended regular expression pattern.
#define EXPECT_ROOMBOX_ERROR(statement, pattern)                                    \
  do {                                                                              \
    bool thrown_ = false;                                                           \
    std::string message_;                                                           \
    try {                                                                           \
      statement;                                                                    \
    } catch (const ::roombox::Error& error_) {                                      \
      thrown_ = true;                                                               \
      message_ = error_.what();                                                     \
    }                                                                               \
    EXPECT_TRUE(thrown_) << "no roombox::Error from: " #statement;                  \
    if (thrown_) {                                                                  \
      EXPECT_TRUE(matchesPattern(message_, pattern))                                \
          << "message \"" << message_ << "\" does not match \"" << (pattern) << "\""; \
    }                                                                               \
  } while (0)
