#include "input/read_affine_file.h"

#include "driver/scene_store.h"
#include "driver/stop_run.h"
#include "input/number_tokens.h"
#include "input/stop_malformed.h"

#include <cstdio>

void readAffineFile(int view, const std::string& fileName) {
  SceneStore& store = sceneStore;
  if (view < 0 || view >= 4) {
    stopRun("There is no transform slot for view " + std::to_string(view) + "\n");
  }
  const std::string path = store.basePath + fileName;
  NumberTokens tokens;
  if (!loadNumberTokens(path, tokens)) {
    stopRun("The file " + path + " was not opened\n");
  }

  // Parse all twelve numbers before storing any, so that a rejected file
  // leaves the view's slot as it was.
  float matrix[3][4];
  for (int n = 0; n < 12; ++n) {
    const int row = n / 4;
    const int column = n % 4;
    const char* start = nullptr;
    std::size_t length = 0;
    if (!nextNumberToken(tokens, start, length)) {
      stopMalformed(path, "it ends early after " + std::to_string(n) + " numbers");
    }
    const std::string where =
        "row " + std::to_string(row + 1) + " number " + std::to_string(column + 1);
    const NumberCheck check = parseFloatToken(start, length, matrix[row][column]);
    if (check == NumberCheck::NotANumber) stopMalformed(path, where + " is not a number");
    if (check == NumberCheck::NotFinite) stopMalformed(path, where + " is not finite");
  }

  std::printf("Transform matrix\n");
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      store.viewTransforms[view][row][column] = matrix[row][column];
    }
    std::printf("%f %f %f %f\n", static_cast<double>(matrix[row][0]),
                static_cast<double>(matrix[row][1]), static_cast<double>(matrix[row][2]),
                static_cast<double>(matrix[row][3]));
  }
  std::printf("\n");
}
