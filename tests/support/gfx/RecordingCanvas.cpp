#include "support/gfx/RecordingCanvas.h"

#include <algorithm>

namespace test {

int DrawCall::subpaths() const {
  const auto& elements = path.elements();
  return int(std::count_if(elements.begin(), elements.end(),
                           [](const pf::Path::Element& e) { return e.type == pf::Path::ElementType::move; }));
}

void RecordingCanvas::save() { m_saved.push_back(m_state); }

void RecordingCanvas::restore() {
  if (m_saved.empty()) {
    ++m_unbalanced;
    return;
  }
  m_state = m_saved.back();
  m_saved.pop_back();
}

void RecordingCanvas::translate(double dx, double dy) {
  m_state.offset.x += dx;
  m_state.offset.y += dy;
}

void RecordingCanvas::clip(const pf::Path& path, FillRule rule) {
  record(DrawCall::Kind::clip, path).rule = rule;
  ++m_state.clips;
}

void RecordingCanvas::fill(const pf::Path& path, const pf::Color& color, FillRule rule) {
  DrawCall& call = record(DrawCall::Kind::fill, path);
  call.color = color;
  call.rule = rule;
}

void RecordingCanvas::stroke(const pf::Path& path, const pf::Color& color, double lineWidth) {
  DrawCall& call = record(DrawCall::Kind::stroke, path);
  call.color = color;
  call.lineWidth = lineWidth;
}

void RecordingCanvas::fillLinearGradient(const pf::Path& path, const pf::Gradient& gradient, double angle,
                                         FillRule rule) {
  DrawCall& call = record(DrawCall::Kind::linearGradient, path);
  call.gradient = gradient;
  call.angle = angle;
  call.rule = rule;
}

void RecordingCanvas::drawRadialGradient(const pf::Gradient& gradient, pf::Point startCenter, double startRadius,
                                         pf::Point endCenter, double endRadius) {
  pf::Path circles = pf::Path::ellipse(
      pf::Rect(startCenter.x - startRadius, startCenter.y - startRadius, 2 * startRadius, 2 * startRadius));
  circles.addEllipse(pf::Rect(endCenter.x - endRadius, endCenter.y - endRadius, 2 * endRadius, 2 * endRadius));
  record(DrawCall::Kind::radialGradient, circles).gradient = gradient;
}

void RecordingCanvas::drawImage(const QImage&, const pf::Rect& rect) {
  record(DrawCall::Kind::image, pf::Path::rect(rect)).rect = rect.offsetBy(m_state.offset.x, m_state.offset.y);
}

void RecordingCanvas::setShadow(const pf::Color& color, double blurRadius, pf::Point offset) {
  m_state.shadow = DrawCall::Shadow{color, blurRadius, offset};
}

void RecordingCanvas::clearShadow() { m_state.shadow.reset(); }

void RecordingCanvas::setLineCap(LineCap cap) { m_state.cap = cap; }

void RecordingCanvas::setLineJoin(LineJoin join) { m_state.join = join; }

void RecordingCanvas::setComposition(Composition mode) { m_state.composition = mode; }

std::vector<DrawCall> RecordingCanvas::drawn() const {
  return where([](const DrawCall& c) { return c.kind != DrawCall::Kind::clip; });
}

std::vector<DrawCall> RecordingCanvas::where(const std::function<bool(const DrawCall&)>& pred) const {
  std::vector<DrawCall> out;
  std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(out), pred);
  return out;
}

int RecordingCanvas::count(DrawCall::Kind kind) const {
  return int(where([kind](const DrawCall& c) { return c.kind == kind; }).size());
}

std::vector<DrawCall> RecordingCanvas::strokes(const pf::Color& color) const {
  return where([&](const DrawCall& c) { return c.kind == DrawCall::Kind::stroke && c.color == color; });
}

std::vector<DrawCall> RecordingCanvas::fills(const pf::Color& color) const {
  return where([&](const DrawCall& c) { return c.kind == DrawCall::Kind::fill && c.color == color; });
}

QList<pf::Color> RecordingCanvas::colors() const {
  QList<pf::Color> out;
  const auto add = [&out](const pf::Color& c) {
    if (!out.contains(c)) out.append(c);
  };
  for (const DrawCall& c : m_calls) {
    if (c.kind == DrawCall::Kind::fill || c.kind == DrawCall::Kind::stroke) add(c.color);
    for (const pf::Color& stop : c.gradient.colors) add(stop);
  }
  return out;
}

DrawCall& RecordingCanvas::record(DrawCall::Kind kind, const pf::Path& path) {
  DrawCall call;
  call.kind = kind;
  call.path = path.translated(m_state.offset.x, m_state.offset.y);
  call.shadow = m_state.shadow;
  call.cap = m_state.cap;
  call.join = m_state.join;
  call.composition = m_state.composition;
  call.depth = int(m_saved.size());
  call.clips = m_state.clips;
  m_calls.push_back(call);
  return m_calls.back();
}

}  // namespace test
