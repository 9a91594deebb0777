#pragma once

#include <cstdio>
#include <string>

// Opens path for writing in text mode, with a large output buffer. When the
// file cannot be opened, prints openFailureFormat (one %s, the path) and ends
// the run with the failure status.
FILE* openOutputFile(const std::string& path, const char* openFailureFormat = "Cannot open %s\n");

// Closes a file opened by openOutputFile. When any write to it failed or the
// close itself fails, prints "Cannot write %s\n" with the path and ends the
// run with the failure status.
void closeOutputFile(FILE* file, const std::string& path);
