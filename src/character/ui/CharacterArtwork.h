#pragma once

#include "character/CharacterSkin.h"
#include "platform/core/Geometry.h"

#include <QImage>
#include <QSvgRenderer>
#include <memory>

/// Which way the companion looks.
enum class Facing { left, right };

/// One character's drawing facing one way, read from
/// "Characters/<folder>/<folder>-<left|right>.svg" under the asset root.
class CharacterArtwork final {
 public:
  CharacterArtwork(const QString& assetRoot, CharacterSkin skin, Facing facing);

  /// Where the drawing of `skin` facing `facing` lives under `assetRoot`.
  static QString pathFor(const QString& assetRoot, CharacterSkin skin, Facing facing);

  /// The file it was read from.
  const QString& path() const { return m_path; }
  /// False when the file is missing or unreadable; a placeholder is drawn then.
  bool isValid() const { return m_renderer->isValid(); }

  /// The drawing's size at `height` points, keeping its proportions.
  pf::Size sizeForHeight(double height) const;
  /// The drawing at `size` points for a screen of `devicePixelRatio`.
  QImage render(QSize size, double devicePixelRatio) const;

 private:
  QString m_path;
  std::unique_ptr<QSvgRenderer> m_renderer;
};
