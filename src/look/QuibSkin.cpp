#include "look/QuibSkin.h"

#include "look/LookDefaults.h"

QuibSkin QuibSkin::current() {
  return LookDefaults::choice<QuibSkin>(QStringLiteral("visualSkin"));
}

bool QuibSkin::isLight() {
  const QuibSkin skin = current();
  return skin == pearlSpace || skin == unicornPrincess;
}

bool QuibSkin::isSpace() { return current() != classic; }

pf::Appearance QuibSkin::appearance() {
  return isLight() ? pf::Appearance::light : pf::Appearance::dark;
}
