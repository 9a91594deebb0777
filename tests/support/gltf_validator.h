#pragma once

// The Khronos glTF Validator (installed under tools/gltf_validator by
// scripts/setup.sh), run on a file the tests wrote.
#include "support/run_binary.h"

#include <gtest/gtest.h>

#include <string>

// Passes when the validator reports no error and no warning on the glTF
// file at path (infos, such as an image whose sides are no power of two,
// are fine); fails with the validator's report otherwise.
inline ::testing::AssertionResult validGltf(const std::string& path) {
  const CommandRun run = runCommand("node " + quoted(ROOMBOX_GLTF_VALIDATOR) + " " +
                                    quoted(path) + " 2>&1");
  if (run.status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the glTF Validator (status " << run.status
                                       << ") on " << path << ":\n"
                                       << run.output;
}
