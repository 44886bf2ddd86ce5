#include "look/QuibBorderVFX.h"

#include <cmath>

double QuibBorderVFX::noise(int n) {
  const double x = std::sin(static_cast<double>(n) * 127.1 + 311.7) * 43758.5453;
  return x - std::floor(x);
}
