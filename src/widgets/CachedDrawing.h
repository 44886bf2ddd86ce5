#pragma once

#include "look/QuibSkin.h"
#include "platform/core/Color.h"

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QSize>
#include <array>
#include <functional>

class QPainter;

/// A view's drawing kept as a bitmap while what it depends on stays the same:
/// its size, the screen's pixel ratio, the skin and palette, and a state of
/// the view's own (hovered, say). Skinned surfaces take milliseconds to draw,
/// and a view is repainted whenever anything above it moves.
///
/// A drawing that depends on nothing else can be shared: drawings made with
/// the same name and painted with the same inputs use one bitmap, drawn once,
/// so a look change draws it once for all the windows of one size.
class CachedDrawing final {
 public:
  /// A drawing of the view's own.
  CachedDrawing() = default;
  /// A drawing shared with every other one made with `sharedName` (a string
  /// that lives as long as the program), which must draw the same picture
  /// from the same inputs.
  explicit CachedDrawing(const char* sharedName) : m_sharedName(sharedName) {}

  /// Draws the picture at the top-left of `painter`'s device, `size` points
  /// large, within `region` (the paint event's), drawing it again with `draw`
  /// (on a painter over the picture, in points) only when an input changed.
  /// The picture is drawn over `backdrop`: an opaque one makes the picture
  /// opaque, and it then replaces what lay beneath it rather than blending
  /// over it. Returns true when the picture changed since the last paint.
  bool paint(QPainter& painter, const QRegion& region, QSize size, int state,
             const std::function<void(QPainter&)>& draw, const QColor& backdrop = Qt::transparent);

  /// Makes the next paint draw the picture again.
  void invalidate() { m_image = {}; }

  /// How many times this drawing drew its picture itself.
  int draws() const { return m_draws; }

  /// Everything a picture is drawn from.
  struct Key {
    QSize size;
    double ratio = 0;
    int state = 0;
    QRgb backdrop = 0;
    QuibSkin skin;
    bool trimOnly = false;
    std::array<pf::Color, 7> palette;
    bool operator==(const Key&) const = default;
  };

 private:
  static Key current(QSize size, double ratio, int state, QRgb backdrop);
  QImage picture(const Key& key, const std::function<void(QPainter&)>& draw);

  const char* m_sharedName = nullptr;
  Key m_key;
  QImage m_image;
  int m_draws = 0;
};
