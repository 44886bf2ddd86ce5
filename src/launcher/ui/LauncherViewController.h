#pragma once

#include "character/CharacterSkin.h"
#include "launcher/LauncherGrid.h"
#include "platform/core/Geometry.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Menu.h"
#include "shortcuts/Shortcut.h"
#include "widgets/GlassSurface.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DragHeader;
class LauncherAssignmentStore;
class LauncherResizeBorder;
class QLabel;
class QPushButton;
class ShortcutButton;
class ShortcutStore;
struct LauncherSlot;

/// What an "Arrange Shortcut" item swaps: the shortcut, the target's global
/// index (page x capacity + slot), and the catalog as the menu saw it.
struct ShortcutSwapRequest {
  QString id;
  qint64 index = 0;
  std::vector<Shortcut> original;
};

/// The launcher's content: one page of shortcut buttons laid out by the
/// launcher grid from the saved assignments, a header with the companion's
/// name and three picture buttons, and page controls. A click on a button of
/// an active shortcut becomes a request to open it; a button without one
/// offers a menu to assign one. Nothing opens, shows or plays here: every
/// effect leaves through a callback the owner sets.
class LauncherViewController final : public QObject {
  Q_OBJECT

 public:
  explicit LauncherViewController(ShortcutStore& store);
  ~LauncherViewController() override;

  /// The root view, made on first use.
  GlassSurface* view();
  bool isViewLoaded() const { return m_root != nullptr; }

  /// Re-reads the catalog into the assignments and rebuilds; nothing before the view is loaded.
  void refresh();
  /// The standard 2 x 2 size, the 2 x 1 minimum and the largest grid's size within `size`, at the store's scale.
  pf::Size preferredSize() const;
  pf::Size minimumSize() const;
  pf::Size fittedSize(pf::Size size) const;
  /// Ends a press, a drag or a menu of the arrangement and leaves arranging.
  void cancelArrangement();

  /// How long a dragged button must hover over Next or Previous to turn the page.
  static constexpr int dragPageDelayMs = 300;
  /// A press of `button` moved into a drag from `point` (window, y up); false refuses it.
  bool beginShortcutDrag(ShortcutButton* button, pf::Point point);
  /// The dragged button follows the pointer, marking the button it would swap with.
  void updateShortcutDrag(pf::Point point);
  /// Drops the dragged button, swapping it with the marked one.
  void endShortcutDrag(pf::Point point);
  /// Puts the shortcut `id` on the slot of global index `index`, unless the catalog is no longer `expected`.
  void applySwap(const QString& id, qint64 index, const std::vector<Shortcut>& expected);
  /// The "Arrange Shortcut" menu of a shortcut on a small button.
  std::unique_ptr<pf::Menu> moveMenu(const QString& id);
  /// The "Choose shortcut" menu of a slot.
  std::unique_ptr<pf::Menu> assignmentMenu(const LauncherSlot& slot);
  /// The drag's picture, the mark over its target and the marked global index, while dragging.
  QWidget* dragGhost() const { return m_dragGhost; }
  QWidget* swapMarker() const { return m_swapMarker; }
  std::optional<qint64> dropIndex() const { return m_dropIndex; }

  /// The page shown, from 0, and how many there are.
  qint64 page() const { return m_page; }
  qint64 pageCount() const;
  bool isArranging() const { return m_arranging; }
  const LauncherGrid& grid() const { return m_grid; }
  LauncherAssignmentStore& assignments() const { return *m_assignments; }
  /// The buttons of the shown page, in slot order.
  const std::vector<ShortcutButton*>& buttons() const { return m_buttons; }
  /// The assignment menu while it is open.
  pf::Menu* activeMoveMenu() const { return m_activeMoveMenu; }

  /// When set, the title shows this character instead of the one chosen in the store's defaults.
  std::optional<CharacterSkin> companionOverride;

  /// The pointer entered or left the launcher.
  std::function<void(bool)> onHover;
  /// Escape while not arranging.
  std::function<void()> onDismiss;
  std::function<void()> onSettings;
  std::function<void()> onReminders;
  std::function<void()> onClipboardFavorites;
  std::function<void()> onEditShortcuts;
  /// Before `onOpen` and the header actions but settings: the clicked button's rectangle on the screen.
  std::function<void(pf::Rect)> onButtonEffect;
  /// A button of an active shortcut was clicked: the shortcut as the store has it now.
  std::function<void(const Shortcut&)> onOpen;
  std::function<void()> onHeaderDragStart;
  std::function<void(pf::Point)> onHeaderDelta;
  std::function<void(pf::Point)> onHeaderDragEnd;
  /// Arranging started or ended; an arrangement failed with this message.
  std::function<void(bool)> onArrangeInteraction;
  std::function<void(const QString&)> onArrangeError;

  /// Shows the page before or after the current one, when there is one.
  void previousPage();
  void nextPage();
  /// A button was clicked: opens its active shortcut, or offers the menu that assigns one.
  void launch(ShortcutButton* button);
  /// The header's and the empty page's actions: the sender's effect first (not for settings), then the callback.
  void editShortcuts(QWidget* sender);
  void reminders(QWidget* sender);
  void clipboardFavorites(QWidget* sender);
  void settings();
  /// Escape: cancels an arrangement first, dismisses the second time.
  void cancelOperation();

  /// The views, once the view is loaded.
  DragHeader* header() const { return m_header; }
  LauncherResizeBorder* resizeBorder() const { return m_resizeBorder; }
  QLabel* titleLabel() const { return m_titleLabel; }
  QLabel* pageLabel() const { return m_pageLabel; }
  QPushButton* previousButton() const { return m_previousButton; }
  QPushButton* nextButton() const { return m_nextButton; }
  QPushButton* emptyButton() const { return m_emptyButton; }
  QPushButton* clipboardButton() const { return m_clipboardButton; }
  QPushButton* reminderButton() const { return m_reminderButton; }
  QPushButton* gear() const { return m_gear; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void loadView();
  void layoutControls();
  void rebuildButtons(bool layout);
  void changePage(qint64 page);
  void setArranging(bool arranging);
  void offerAssignment(ShortcutButton* button, const LauncherSlot& slot);
  void showContextMenu(ShortcutButton* button, pf::Point at);
  void runMenu(pf::Menu& menu, pf::Point at);
  void moveFromMenu(const ShortcutSwapRequest& request);
  void chooseAssignment(const LauncherSlot& slot, const std::optional<QString>& id);
  void clearDrag();
  void turnPage();
  std::optional<int> pageDirection(QPointF inRoot) const;
  QPointF rootPoint(pf::Point inWindow) const;
  bool forwardDragEvent(QObject* watched, QEvent* event);
  void reportEffect(QWidget* sender);
  QPushButton* makeHeaderButton(const QString& title, const std::function<void(QPushButton*)>& action);

  ShortcutStore& m_store;
  LauncherGrid m_grid;
  LauncherAssignmentStore* m_assignments = nullptr;
  pf::ObserverToken m_assignmentObserver;
  qint64 m_page = 0;
  bool m_arranging = false;
  QPointer<pf::Menu> m_activeMoveMenu;
  std::vector<ShortcutButton*> m_buttons;
  std::optional<std::vector<Shortcut>> m_arrangementSnapshot;
  std::optional<QString> m_pendingArrangeError;

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

  QPointer<GlassSurface> m_root;
  DragHeader* m_header = nullptr;
  LauncherResizeBorder* m_resizeBorder = nullptr;
  QLabel* m_titleLabel = nullptr;
  QLabel* m_orbit = nullptr;
  QLabel* m_pageLabel = nullptr;
  QPushButton* m_previousButton = nullptr;
  QPushButton* m_nextButton = nullptr;
  QPushButton* m_emptyButton = nullptr;
  QPushButton* m_clipboardButton = nullptr;
  QPushButton* m_reminderButton = nullptr;
  QPushButton* m_gear = nullptr;
};
