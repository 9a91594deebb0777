#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

// Expects statement to end the process with the failure status 2 after
// printing a message that matches the extended regular expression pattern.
// Messages go to standard output; the death test child sends its standard
// output to standard error, where gtest reads it.
#define EXPECT_STOPS(statement, pattern)                   \
  EXPECT_EXIT(                                             \
      {                                                    \
        dup2(STDERR_FILENO, STDOUT_FILENO);                \
        statement;                                         \
      },                                                   \
      ::testing::ExitedWithCode(2), pattern)
