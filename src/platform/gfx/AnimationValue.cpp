#include "platform/gfx/AnimationValue.h"

#include "platform/gfx/SystemColors.h"

#include <cmath>
#include <functional>

namespace pf::animation_values {

namespace {

bool sameColorSpace(std::span<const AnimationValue> all) {
  const Color* first = nullptr;
  for (const auto& v : all) {
    const auto* c = std::get_if<Color>(&v);
    if (!c) continue;
    if (c->space == Color::Space::system) return false;
    if (!first) first = c;
    if (c->space != first->space) return false;
  }
  return true;
}

std::vector<double> colorComponents(const Color& c, bool raw) {
  if (raw) return {c.red, c.green, c.blue, c.alpha};
  const Rgba r = resolved(c);
  return {r.red, r.green, r.blue, r.alpha};
}

// `op` applied to each pair of components of numbers, points and rects of one kind; none otherwise.
template <typename Op>
std::optional<AnimationValue> componentwise(const AnimationValue& a, const AnimationValue& b, Op op) {
  if (a.index() != b.index()) return std::nullopt;
  if (const auto* d = std::get_if<double>(&a)) return op(*d, std::get<double>(b));
  if (const auto* p = std::get_if<Point>(&a)) {
    const Point q = std::get<Point>(b);
    return Point{op(p->x, q.x), op(p->y, q.y)};
  }
  if (const auto* r = std::get_if<Rect>(&a)) {
    const Rect s = std::get<Rect>(b);
    return Rect(op(r->origin.x, s.origin.x), op(r->origin.y, s.origin.y), op(r->size.width, s.size.width),
                op(r->size.height, s.size.height));
  }
  return std::nullopt;
}

}  // namespace

std::vector<double> components(const AnimationValue& v, std::span<const AnimationValue> all) {
  if (const auto* d = std::get_if<double>(&v)) return {*d};
  if (const auto* p = std::get_if<Point>(&v)) return {p->x, p->y};
  if (const auto* r = std::get_if<Rect>(&v)) return {r->origin.x, r->origin.y, r->size.width, r->size.height};
  if (const auto* c = std::get_if<Color>(&v)) return colorComponents(*c, sameColorSpace(all));
  return {};
}

AnimationValue fromComponents(const AnimationValue& like, std::span<const AnimationValue> all,
                              const std::vector<double>& c) {
  if (std::holds_alternative<double>(like)) return c.at(0);
  if (std::holds_alternative<Point>(like)) return Point{c.at(0), c.at(1)};
  if (std::holds_alternative<Rect>(like)) return Rect(c.at(0), c.at(1), c.at(2), c.at(3));
  if (const auto* col = std::get_if<Color>(&like)) {
    if (sameColorSpace(all)) {
      Color out = *col;
      out.red = c.at(0);
      out.green = c.at(1);
      out.blue = c.at(2);
      out.alpha = c.at(3);
      return out;
    }
    return Color::sRGB(c.at(0), c.at(1), c.at(2), c.at(3));
  }
  return like;
}

AnimationValue interpolate(const AnimationValue& a, const AnimationValue& b, double f) {
  if (a.index() != b.index()) return a;
  if (const auto* pa = std::get_if<Path>(&a)) return Path::interpolated(*pa, std::get<Path>(b), f);
  // Numbers, points and rects, met every frame by every animated layer, need no list of components.
  if (auto v = componentwise(a, b, [f](double x, double y) { return x + (y - x) * f; })) return *std::move(v);
  const AnimationValue both[] = {a, b};
  const auto ca = components(a, both);
  const auto cb = components(b, both);
  std::vector<double> out(ca.size());
  for (std::size_t i = 0; i < ca.size(); ++i) out[i] = ca[i] + (cb[i] - ca[i]) * f;
  return fromComponents(a, both, out);
}

std::optional<AnimationValue> sum(const AnimationValue& a, const AnimationValue& b) {
  return componentwise(a, b, std::plus<>());
}

std::optional<AnimationValue> difference(const AnimationValue& a, const AnimationValue& b) {
  return componentwise(a, b, std::minus<>());
}

double distance(const AnimationValue& a, const AnimationValue& b) {
  if (a.index() != b.index() || std::holds_alternative<Path>(a)) return 0;
  const AnimationValue both[] = {a, b};
  const auto ca = components(a, both);
  const auto cb = components(b, both);
  double sq = 0;
  for (std::size_t i = 0; i < ca.size(); ++i) sq += (cb[i] - ca[i]) * (cb[i] - ca[i]);
  return std::sqrt(sq);
}

bool isContinuous(const AnimationValue& v) { return !std::holds_alternative<Path>(v); }

}  // namespace pf::animation_values
