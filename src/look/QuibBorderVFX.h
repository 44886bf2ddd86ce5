#pragma once

/// The border-effect painting. Its integer hash is shared by every
/// procedural painter of the look, so that decoration which looks random is
/// the same picture for the same sizes and settings.
class QuibBorderVFX final {
 public:
  /// A value in [0, 1) that depends only on `n`: the fractional part of
  /// sin(n * 127.1 + 311.7) * 43758.5453.
  static double noise(int n);
};
