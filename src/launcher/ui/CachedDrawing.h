#pragma once

#include "look/QuibSkin.h"
#include "platform/core/Color.h"

#include <QImage>
#include <QSize>
#include <array>
#include <functional>

class QPainter;

/// A view's drawing kept as a bitmap while what it depends on stays the same:
/// its size, the screen's pixel ratio, the skin and palette, and a state of
/// the view's own (hovered, say). Skinned surfaces take milliseconds to draw,
/// and a view is repainted whenever anything above it moves.
class CachedDrawing final {
 public:
  /// Draws the picture at the top-left of `painter`'s device, `size` points
  /// large, drawing it again with `draw` (on a painter over the picture, in
  /// points) only when an input changed.
  void paint(QPainter& painter, QSize size, int state, const std::function<void(QPainter&)>& draw);

  /// Makes the next paint draw the picture again.
  void invalidate() { m_image = {}; }

  /// How many times the picture was drawn.
  int draws() const { return m_draws; }

 private:
  struct Key {
    QSize size;
    double ratio = 0;
    int state = 0;
    QuibSkin skin;
    bool trimOnly = false;
    std::array<pf::Color, 7> palette;
    bool operator==(const Key&) const = default;
  };
  static Key current(QSize size, double ratio, int state);

  Key m_key;
  QImage m_image;
  int m_draws = 0;
};
