#pragma once

// Stage timing for performance work, off unless the environment variable
// ROOMBOX_TIMING is set to a non-empty value other than "0". Each call ends
// the stage begun by the previous call, printing "timing: <name> <seconds>"
// for it to standard error, and begins the stage `next` (nullptr begins
// none). Standard output is never touched, so timed runs print exactly what
// untimed runs print.
void timeStage(const char* next);
