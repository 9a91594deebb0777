#pragma once

#include <string>

// Ends the run because the input file at path is malformed: prints "The file
// <path> is malformed: <detail>" and a line feed, and exits with the failure
// status. Shared by the readers of plane info and affine transform files, so
// that every malformed input is reported alike.
[[noreturn]] void stopMalformed(const std::string& path, const std::string& detail);
