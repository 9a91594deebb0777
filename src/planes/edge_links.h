#pragma once

namespace roombox {

// Per-plane flags of plane connection: 1 when that edge was moved onto
// another plane during the stage, 0 otherwise.
struct EdgeLinks {
  int uMinLinked;
  int uMaxLinked;
  int vMinLinked;
  int vMaxLinked;
};

}  // namespace roombox
