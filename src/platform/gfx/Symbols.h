#pragma once

#include "platform/gfx/Image.h"

#include <QString>
#include <optional>

namespace pf {

/// The program's own symbol set, standing in for the system's symbol images:
/// template drawings looked up by the system's symbol names ("globe",
/// "folder.fill", "gearshape.fill", ...). They come with the program, built
/// in from Assets/Symbols, so they never depend on where it runs.
class Symbols final {
 public:
  Symbols() = delete;

  /// The symbol `name` as a template image `pointSize` points square, with
  /// `description` as its accessibility description; none for a name the set
  /// does not have.
  static std::optional<Image> named(const QString& name, double pointSize = 16, const QString& description = {});
};

}  // namespace pf
