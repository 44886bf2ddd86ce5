#include "look/QuibBorderEffect.h"

#include "look/LookDefaults.h"

QuibBorderEffect QuibBorderEffect::current() {
  return LookDefaults::choice<QuibBorderEffect>(QStringLiteral("borderEffect"));
}
