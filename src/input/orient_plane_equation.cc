#include "input/orient_plane_equation.h"

namespace roombox {

namespace {

void negate(PlaneEquation& equation) {
  equation.a = -equation.a;
  equation.b = -equation.b;
  equation.c = -equation.c;
  equation.d = -equation.d;
}

}  // namespace

void orientPlaneEquation(float position, PlaneEquation& equation) {
  if (position > 0 && (equation.a > 0 || equation.b > 0 || equation.c > 0)) {
    negate(equation);
  }
  if (position < 0 && (equation.a < 0 || equation.b < 0 || equation.c < 0)) {
    negate(equation);
  }
}

}  // namespace roombox
