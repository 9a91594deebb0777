#include "common/file_name_part.h"

namespace roombox {

std::string fileNamePart(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace roombox
