#pragma once

#include "platform/gfx/Layer.h"
#include "platform/ui/Panel.h"

#include <memory>

namespace pf {
class LayerHost;
}

/// The transparent panel a border effect is drawn in: click-through, without
/// a shadow, never key, titled "Wendle Border Effect". Its content view shows
/// one layer tree, y up, filling the panel.
class SmokePanel final : public pf::Panel {
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
