#pragma once

#include <string>

namespace roombox {

// The file name part of a path: what follows its last '/' (all of it when
// there is none). Output files name one another this way, without the
// folder they are written to.
std::string fileNamePart(const std::string& path);

}  // namespace roombox
