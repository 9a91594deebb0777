#pragma once

#include <string>

namespace roombox {

// The file name part of a path: what follows its last '/' (all of it when
// there is none). Output files name one another this way, without the
// folder they are written to.
inline std::string fileNamePart(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace roombox
