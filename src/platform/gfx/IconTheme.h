#pragma once

#include "platform/gfx/Image.h"

#include <QIcon>
#include <QString>
#include <optional>

namespace pf {

/// Icons named the way desktop entries name them: an absolute file path, or
/// a name looked up in the desktop's icon theme, then in hicolor and Adwaita,
/// then among the plain pixmaps of the data folders. Without a desktop (a
/// bare X server, the offscreen platform) Qt searches no theme at all, and a
/// name such as "utilities-terminal" lives only in Adwaita; so the first use
/// points Qt at the data folders of the XDG base directories and names
/// Adwaita as the fallback theme.
class IconTheme final {
 public:
  IconTheme() = delete;

  /// The icon `name` names; a null icon when nothing by that name is found.
  static QIcon icon(const QString& name);
  /// The icon as a picture of `side` points square that draws at any size;
  /// none when it is missing or would draw nothing at all.
  static std::optional<Image> image(const QString& name, double side);
};

}  // namespace pf
