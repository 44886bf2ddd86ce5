#pragma once

#include <QTransform>
#include <QtGlobal>
#include <cstring>

/// Signatures name what an image, a clip or an item shows, so that a frame can
/// tell what changed by comparing numbers. Inline: they are mixed for every
/// item of every frame.
namespace pf::signature {

/// `value` folded into `seed`.
inline quint64 mix(quint64 seed, quint64 value) {
  return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

/// A value's bits spread over all 64 (splitmix64's finaliser): serials and
/// revisions are small counters, which mixed as they are name many pictures alike.
inline quint64 spread(quint64 x) {
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

/// `value`'s bits folded into `seed`.
inline quint64 mix(quint64 seed, double value) {
  quint64 bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return mix(seed, bits);
}

/// Every coefficient of `t` folded into `seed`.
inline quint64 mix(quint64 seed, const QTransform& t) {
  for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) seed = mix(seed, v);
  return seed;
}

}  // namespace pf::signature
