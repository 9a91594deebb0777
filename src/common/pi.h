#pragma once

namespace roombox {

// pi as the double the panorama mapping and the atlas baking use.
constexpr double kPi = 3.141592653589793;

}  // namespace roombox
