#pragma once

// One axis-aligned planar segment of the room, as read from a plane info file.
// Twelve 32-bit floats in file order. Integer codes (type, category, material)
// travel as floats and are compared as floats or truncated toward zero.
//
// type 1/2/3: object plane with normal x/y/z; 4/5/6: like 1/2/3 for the view
// transform only; 7: wall with normal x; 9: wall with normal y; 8: floor
// (position <= 0) or ceiling (position > 0), normal z.
// In-plane axes: normal x -> u = y, v = z; normal y -> u = x, v = z;
// normal z -> u = x, v = y.
struct Plane {
  float active;
  float type;
  float position;
  float uMin;
  float uMax;
  float vMin;
  float vMax;
  float centreX;
  float centreY;
  float centreZ;
  float category;
  float material;
};

// The plane a*x + b*y + c*z + d = 0 with an axis-aligned unit normal.
struct PlaneEquation {
  float a;
  float b;
  float c;
  float d;
};
