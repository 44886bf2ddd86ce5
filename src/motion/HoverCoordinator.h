#pragma once

#include <bitset>
#include <functional>
#include <memory>

namespace pf {
class MainQueue;
class Timer;
}  // namespace pf

/// Opens and closes one companion's launcher from where the pointer is: it
/// opens when the pointer is over the companion or presses it, stays open
/// while the pointer is over the companion or near the launcher, or while a
/// hold is on, and closes after a short grace once none of these is true.
/// The pointer is checked only while the launcher is open. A window or a menu
/// that takes over from the launcher closes it; while the companion's menu
/// shows the launcher stays closed. A pointer still resting on the companion
/// then opens it again only once it has left and come back (the window system
/// reports an entry when a menu or a drag lets the pointer go).
class HoverCoordinator final {
 public:
  /// What keeps the launcher open whatever the pointer does.
  enum class Hold { arranging, resizing, moving };

  /// How often the pointer is checked while the launcher is open.
  static constexpr double checkInterval = 0.03;
  /// How long the pointer may be away before the launcher closes.
  static constexpr double grace = 0.25;

  explicit HoverCoordinator(pf::MainQueue& queue);
  ~HoverCoordinator();

  /// Shows the launcher; hides it.
  std::function<void()> onOpen;
  std::function<void()> onClose;
  /// Whether the pointer is over the companion or within the launcher's hover margin.
  std::function<bool()> pointerInside;

  /// The pointer entered the companion: opens the launcher, unless it still
  /// rests there since a hand-over.
  void companionEntered();
  /// The pointer left the companion.
  void companionLeft();
  /// The pointer pressed the companion: opens the launcher.
  void companionPressed();
  /// Opens the launcher, or keeps it open, until the pointer has come near
  /// once: when a menu opens it, or it moves away from the pointer.
  void openUntilVisited();
  /// The companion's menu opened: the launcher closes and stays closed while it shows.
  void menuOpened();
  /// The menu closed; with the pointer on the companion, its entries count again only after it has left.
  void menuClosed(bool pointerOnCompanion);
  void setHold(Hold hold, bool active);
  /// Closes the launcher now.
  void close();
  /// Closes the launcher for a window that takes its place; with the pointer
  /// on the companion, its entries count again only after it has left.
  void handOver(bool pointerOnCompanion);
  /// Stops watching, leaving the launcher as it is.
  void stop();

  bool isOpen() const { return m_open; }

 private:
  void open();
  void check();

  std::unique_ptr<pf::Timer> m_checkTimer;
  std::unique_ptr<pf::Timer> m_graceTimer;
  std::bitset<3> m_holds;
  bool m_open = false;
  bool m_menuShown = false;
  bool m_awaitingVisit = false;
  bool m_awaitingLeave = false;
};
