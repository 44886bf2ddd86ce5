#include "widgets/ContentSizeRules.h"

#include <algorithm>
#include <cmath>

using pf::Size;

namespace {

bool usable(std::optional<double> value) {
  return value && std::isfinite(*value) && *value > 0 && *value <= ContentSizeRules::largest;
}

}  // namespace

std::optional<Size> ContentSizeRules::restored(std::optional<double> width,
                                               std::optional<double> height, Size minimum) {
  if (!usable(width) || !usable(height)) return std::nullopt;
  return Size{std::max(*width, minimum.width), std::max(*height, minimum.height)};
}

Size ContentSizeRules::fitted(Size size, Size minimum, Size visible) {
  const double maxWidth = visible.width - screenMargin;
  const double maxHeight = visible.height - screenMargin;
  return {std::max(std::min(size.width, maxWidth), minimum.width),
          std::max(std::min(size.height, maxHeight), minimum.height)};
}
