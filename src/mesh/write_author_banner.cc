#include "mesh/write_author_banner.h"

namespace roombox {

void writeAuthorBanner(const char* fileKind, FILE* file) {
  std::fprintf(file, "###################\n#\n# %s file created by roombox\n#\n", fileKind);
}

}  // namespace roombox
