#pragma once

#include "platform/core/Color.h"
#include "platform/gfx/Image.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutImageStore.h"

#include <QString>
#include <map>
#include <optional>

class ShortcutStore;

/// Which picture a shortcut shows and in which colour, and the two small
/// drawn images of the launcher's header. A picture is named by an icon
/// reference ("youtube", "videos", "app", "globe"): artwork under
/// "Icons/" in the asset root, the Fizzcast application's own icon, or a
/// symbol. A custom button image always wins and is never tinted.
class QuibIcons final {
 public:
  QuibIcons() = delete;

  /// Icon reference to tint; membership also makes a shortcut's id an icon reference.
  static const std::map<QString, pf::Color>& colors();

  /// The folder whose "Icons" sub-folder holds the artwork: the program's asset root.
  static QString assetRoot();
  /// Replaces the asset root until reset with none (for tests).
  static void overrideAssetRoot(std::optional<QString> root);

  /// The shortcut's icon reference: its built-in `icon`, else its id when the
  /// id has a tint, else "fizzcast" for that id, else one by kind.
  static QString reference(const Shortcut& shortcut);
  /// The built-in picture of `reference`: an SVG artwork as a template, a PNG
  /// artwork as it is, the Fizzcast icon, else a symbol that carries the
  /// reference as its description.
  static std::optional<pf::Image> icon(const QString& reference);
  /// The store's custom image for the shortcut (from `pending` first), else
  /// for an application left to its automatic icon the icon its desktop
  /// entry names, else the built-in picture. Without a store no custom image
  /// is looked for.
  static std::optional<pf::Image> icon(const Shortcut& shortcut, const ShortcutStore* store,
                                       const PendingImages& pending = {});
  /// The tint: none with a custom image, else the table's entry for the reference.
  static std::optional<pf::Color> color(const Shortcut& shortcut, const ShortcutStore* store,
                                        const PendingImages& pending = {});

  /// The symbol `name` at `size` points, medium weight, in `color` baked in
  /// (not a template); none when there is no such symbol.
  static std::optional<pf::Image> headerSymbol(const QString& name, double size, const pf::Color& color);
  /// The launcher's title badge: a small ringed planet, 32 points square.
  static pf::Image orbit();

 private:
  static QImage customImage(const Shortcut& shortcut, const ShortcutStore* store,
                            const PendingImages& pending);
  /// The icon the desktop entry at `entry` names, found through the icon theme.
  static std::optional<pf::Image> applicationIcon(const QString& entry);
  static pf::Image fizzcastIcon();
};
