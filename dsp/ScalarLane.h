// The laws' operations on a plain double, for the parameter derivation; Lanes.h has
// them for the channels side by side.
#pragma once

// The value a float variable would hold.
inline double narrow(double x) { return static_cast<float>(x); }
// "v > limit ? limit : v"; a NaN v passes through.
inline double keepBelow(double limit, double v) { return v > limit ? limit : v; }
