#pragma once

#include "platform/gfx/Canvas.h"

#include <QList>
#include <functional>
#include <optional>
#include <vector>

namespace test {

/// One drawing call as a recording canvas saw it, with the state it was
/// drawn in. Paths are moved by the translation in force, so positions read
/// back in canvas coordinates.
struct DrawCall {
  enum class Kind { clip, fill, stroke, linearGradient, radialGradient, image };
  struct Shadow {
    pf::Color color;
    double blurRadius = 0;
    pf::Point offset;
    bool operator==(const Shadow&) const = default;
  };

  Kind kind = Kind::fill;
  pf::Path path;
  pf::Canvas::FillRule rule = pf::Canvas::FillRule::nonZero;
  pf::Color color;
  double lineWidth = 0;
  pf::Gradient gradient;
  double angle = 0;
  pf::Rect rect;
  std::optional<Shadow> shadow;
  pf::Canvas::LineCap cap = pf::Canvas::LineCap::butt;
  pf::Canvas::LineJoin join = pf::Canvas::LineJoin::miter;
  pf::Canvas::Composition composition = pf::Canvas::Composition::sourceOver;
  /// How many saves were open.
  int depth = 0;
  /// How many clips narrowed the drawing.
  int clips = 0;

  /// The path's bounds (its points and control points).
  pf::Rect bounds() const { return path.controlBounds(); }
  /// The number of subpaths (moves) in the path.
  int subpaths() const;
  bool operator==(const DrawCall&) const = default;
};

/// A canvas that records what is drawn, for tests to read back.
class RecordingCanvas final : public pf::Canvas {
 public:
  void save() override;
  void restore() override;
  void translate(double dx, double dy) override;
  void clip(const pf::Path& path, FillRule rule = FillRule::nonZero) override;
  void fill(const pf::Path& path, const pf::Color& color, FillRule rule = FillRule::nonZero) override;
  void stroke(const pf::Path& path, const pf::Color& color, double lineWidth) override;
  void fillLinearGradient(const pf::Path& path, const pf::Gradient& gradient, double angle,
                          FillRule rule = FillRule::nonZero) override;
  void drawRadialGradient(const pf::Gradient& gradient, pf::Point startCenter, double startRadius, pf::Point endCenter,
                          double endRadius) override;
  void drawImage(const QImage& image, const pf::Rect& rect) override;
  void setShadow(const pf::Color& color, double blurRadius, pf::Point offset = {}) override;
  void clearShadow() override;
  void setLineCap(LineCap cap) override;
  void setLineJoin(LineJoin join) override;
  void setComposition(Composition mode) override;

  /// Every drawing call, clips included, in order.
  const std::vector<DrawCall>& calls() const { return m_calls; }
  /// The calls that paint something (clips left out).
  std::vector<DrawCall> drawn() const;
  /// The calls that match `pred`.
  std::vector<DrawCall> where(const std::function<bool(const DrawCall&)>& pred) const;
  int count(DrawCall::Kind kind) const;
  /// Strokes in `color` (exactly, colour space included).
  std::vector<DrawCall> strokes(const pf::Color& color) const;
  /// Fills in `color` (exactly, colour space included).
  std::vector<DrawCall> fills(const pf::Color& color) const;
  /// Every distinct colour painted with (fills, strokes and gradient stops).
  QList<pf::Color> colors() const;
  /// Open saves now; 0 after balanced painting.
  int depth() const { return int(m_saved.size()); }
  /// Restores that found no save.
  int unbalancedRestores() const { return m_unbalanced; }
  /// Nothing was drawn and no state is left open.
  bool isBlank() const { return drawn().empty() && depth() == 0; }

 private:
  struct State {
    pf::Point offset;
    std::optional<DrawCall::Shadow> shadow;
    LineCap cap = LineCap::butt;
    LineJoin join = LineJoin::miter;
    Composition composition = Composition::sourceOver;
    int clips = 0;
  };

  DrawCall& record(DrawCall::Kind kind, const pf::Path& path);

  std::vector<DrawCall> m_calls;
  State m_state;
  std::vector<State> m_saved;
  int m_unbalanced = 0;
};

}  // namespace test
