#pragma once

#include <stdexcept>
#include <string>

namespace roombox {

// The one error type of roombox. Every failure of a stage (a file that
// cannot be opened, read or written, malformed or inconsistent input) is
// thrown as an Error whose what() is the complete message the command-line
// tool prints for it, line feeds included ("The file x was not opened\n\n").
// Library code never prints a failure or ends the process; callers decide.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace roombox
