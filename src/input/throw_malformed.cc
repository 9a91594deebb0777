#include "input/throw_malformed.h"

#include "roombox/error.h"

namespace roombox {

void throwMalformed(const std::string& path, const std::string& detail) {
  throw Error("The file " + path + " is malformed: " + detail + "\n");
}

}  // namespace roombox
