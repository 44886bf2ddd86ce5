#pragma once

#include "platform/core/Geometry.h"
#include "shortcuts/Shortcut.h"

#include <QObject>
#include <QPointer>
#include <QPointF>
#include <QRectF>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

class LauncherAssignmentStore;
class LauncherViewController;
class ShortcutButton;
class ShortcutStore;
struct LauncherSlot;

/// Arranging a launcher's buttons: the state every arrangement shares (on or
/// off, the catalog as it stood when it began, a refusal held until it ends)
/// and the drag that swaps two buttons, turning pages while the dragged one
/// hovers over Next or Previous. It reads the page from its launcher and asks
/// the launcher, through callbacks, to show another.
class LauncherArrangement final : public QObject {
  Q_OBJECT

 public:
  /// How long a dragged button must hover over Next or Previous to turn the page.
  static constexpr int dragPageDelayMs = 300;

  /// An arrangement of `launcher`'s page; the three must outlive it.
  LauncherArrangement(ShortcutStore& store, LauncherAssignmentStore& assignments,
                      const LauncherViewController& launcher);
  ~LauncherArrangement() override;

  /// Makes the swap mark in `root`, the launcher's view.
  void attach(QWidget* root);

  bool isArranging() const { return m_arranging; }
  /// Starts or ends arranging; ending reports a refusal held since it began.
  void setArranging(bool arranging);
  /// Ends a press or a drag and leaves arranging.
  void cancel();
  /// The catalog as it stood when arranging began.
  const std::optional<std::vector<Shortcut>>& snapshot() const { return m_snapshot; }

  /// Puts `id` on `slot`, or clears it without an id, unless the catalog changed since arranging began.
  void assign(const std::optional<QString>& id, const LauncherSlot& slot);
  /// Puts the shortcut `id` on the slot of global index `index` (page x capacity + slot), then shows that page.
  void applySwap(const QString& id, qint64 index, const std::vector<Shortcut>& expected);

  /// A press of `button` moved into a drag from `point` (window, y up); false refuses it.
  bool beginDrag(ShortcutButton* button, pf::Point point);
  /// The dragged button follows the pointer, marking the button it would swap with.
  void updateDrag(pf::Point point);
  /// Drops the dragged button, swapping it with the marked one.
  void endDrag(pf::Point point);

  /// The dragged button, which stays alive while the drag crosses pages.
  ShortcutButton* dragSource() const { return m_dragSource; }
  /// The drag's picture, the mark over its target and the marked global index, while dragging.
  QWidget* dragGhost() const { return m_dragGhost; }
  QWidget* swapMarker() const { return m_swapMarker; }
  std::optional<qint64> dropIndex() const { return m_dropIndex; }

  /// Arranging started or ended.
  std::function<void(bool)> onInteraction;
  /// An arrangement was refused with this sentence.
  std::function<void(const QString&)> onError;
  /// A dragged button turned the launcher to this page.
  std::function<void(qint64)> onShowPage;
  /// The positions changed: the launcher rebuilds, on this page when given.
  std::function<void(std::optional<qint64>)> onPlaced;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// A refusal is held until arranging ends.
  bool place(const std::optional<QString>& id, const LauncherSlot& slot, const std::vector<Shortcut>& expected);
  void clearDrag();
  void turnPage();
  void stopWatching();
  std::optional<int> pageDirection(QPointF inRoot) const;
  QPointF rootPoint(pf::Point inWindow) const;
  bool forwardDragEvent(QObject* watched, QEvent* event);

  ShortcutStore& m_store;
  LauncherAssignmentStore& m_assignments;
  const LauncherViewController& m_launcher;
  QPointer<QWidget> m_root;
  bool m_arranging = false;
  std::optional<std::vector<Shortcut>> m_snapshot;
  std::optional<QString> m_pendingError;

  std::optional<QString> m_dragID;
  QPointF m_dragStart;
  QRectF m_dragFrame;
  QPointer<ShortcutButton> m_dragSource;
  QPointer<QWidget> m_dragGhost;
  QPointer<QWidget> m_swapMarker;
  bool m_watchingEvents = false;
  QTimer m_pageHoverTimer;
  std::optional<int> m_pageHoverDirection;
  pf::Point m_lastDragPoint;
  std::optional<qint64> m_dropIndex;
};
