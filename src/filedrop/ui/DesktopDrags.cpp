#include "filedrop/ui/DesktopDrags.h"

#include "filedrop/ui/X11DesktopDrags.h"

#include <QGuiApplication>

namespace {

/// Sees no drag: the drop panel never shows, and drops onto the companion
/// itself still arrive through its own view.
class NoDesktopDrags final : public DesktopDrags {
 public:
  long changeCount() const override { return 0; }
  QList<QUrl> fileURLs() const override { return {}; }
  Pointer pointer() const override { return {}; }
};

}  // namespace

std::unique_ptr<DesktopDrags> DesktopDrags::forThisDesktop() {
  if (QGuiApplication::platformName() == QLatin1String("xcb"))
    if (auto drags = X11DesktopDrags::open()) return drags;
  return std::make_unique<NoDesktopDrags>();
}
