#pragma once

#include <stdexcept>
#include <string>

namespace roombox {

// The kinds of failure a caller may want to tell apart.
enum class ErrorKind {
  kGeneral,     // every failure not named below
  kPlaneFiles,  // the plane info files cannot be taken together: one of them
                // cannot be opened, or their cube resolutions differ (a file
                // that is malformed is a general failure)
};

// The one error type of roombox. Every failure of a stage (a file that
// cannot be opened, read or written, malformed or inconsistent input) is
// thrown as an Error whose what() is its message: plain text without the
// line feeds of a console ("The file x was not opened"). Library code never
// prints a failure or ends the process; callers decide how to show it.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message, ErrorKind kind = ErrorKind::kGeneral)
      : std::runtime_error(message), kind_(kind) {}

  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

}  // namespace roombox
