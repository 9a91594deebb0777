#include "input/read_affine_file.h"

#include "common/c_locale.h"
#include "input/number_tokens.h"
#include "input/throw_malformed.h"
#include "roombox/error.h"

namespace roombox {

ViewTransform readAffineFile(const std::string& path) {
  const CLocaleScope cLocale;  // numbers with a decimal point, whatever the locale
  NumberTokens tokens;
  if (!loadNumberTokens(path, tokens)) {
    throw Error("The file " + path + " was not opened\n");
  }
  ViewTransform transform{};
  for (int n = 0; n < 12; ++n) {
    const int row = n / 4;
    const int column = n % 4;
    const char* start = nullptr;
    std::size_t length = 0;
    if (!nextNumberToken(tokens, start, length)) {
      throwMalformed(path, "it ends early after " + std::to_string(n) + " numbers");
    }
    const std::string where =
        "row " + std::to_string(row + 1) + " number " + std::to_string(column + 1);
    const NumberCheck check = parseFloatToken(start, length, transform.matrix[row][column]);
    if (check == NumberCheck::NotANumber) throwMalformed(path, where + " is not a number");
    if (check == NumberCheck::NotFinite) throwMalformed(path, where + " is not finite");
  }
  return transform;
}

}  // namespace roombox
