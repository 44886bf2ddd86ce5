#pragma once

#include <vector>

namespace pf {

class Layer;

/// A scope that batches layer changes: while any transaction is open, layers
/// note that they changed, and when the outermost one ends each watched tree
/// hears about it once, so a host rebuilds and repaints a rebuilt tree in one
/// go. Layers have no implicit animations, so nothing else needs switching off.
/// Main thread only.
class Transaction final {
 public:
  Transaction();
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  static bool isOpen();
  /// When changes made now take effect, on the AnimationClock: when the
  /// outermost open transaction began, or now when none is open. Animations
  /// added in one transaction so begin together, and the parts of a tree
  /// built in one go move in step.
  static double now();

 private:
  friend class Layer;
  /// Calls the layer's change callback now, or once when the outermost transaction ends.
  static void notify(Layer* layer);
  /// Drops a destroyed layer from the pending notifications.
  static void forget(Layer* layer);

  static int s_depth;
  static double s_began;
  static std::vector<Layer*> s_pending;
};

}  // namespace pf
