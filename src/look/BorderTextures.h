#pragma once

#include <QImage>
#include <array>

/// The soft images the border effects and the content smoke are made of,
/// drawn once per process from radial gradients and shared as layer contents
/// by every flame and puff. All are drawn y up and stored upright.
class BorderTextures final {
 public:
  BorderTextures() = delete;

  /// The number of flame and of smoke variants.
  static constexpr int variants = 7;

  /// Flame images 96 x 144, variants 0 to 6, each a column of soft discs that
  /// climb, shrink and redden; a variant that failed to draw is a null image.
  static const std::array<QImage, variants>& fire();
  /// Smoke images 96 x 144, variants 0 to 6, each a column of soft discs that
  /// climb, grow, lighten and fade; a variant that failed to draw is a null image.
  static const std::array<QImage, variants>& smoke();
  /// The 128 x 128 smoke puff: 28 overlapping soft grey discs about the centre.
  static const QImage& puff();
};
