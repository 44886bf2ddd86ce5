#pragma once

#include "platform/gfx/Layer.h"
#include "platform/ui/OverlayPanel.h"

#include <memory>

namespace pf {
class LayerHost;
}

/// The transparent overlay a border effect is drawn in, titled "Wendle Border
/// Effect". Its content view shows one layer tree, y up, filling the panel.
class SmokePanel final : public pf::OverlayPanel {
  Q_OBJECT

 public:
  /// A panel covering `frame` (y-up screen coordinates).
  explicit SmokePanel(const pf::Rect& frame);

  /// The root of the tree the effect is built in.
  const std::shared_ptr<pf::Layer>& contentLayer() const;
  /// The content view that draws the tree.
  pf::LayerHost* host() const { return m_host; }

 private:
  pf::LayerHost* m_host = nullptr;
};
