#pragma once

#include "character/CharacterSkin.h"
#include "launcher/LauncherGrid.h"
#include "platform/core/Geometry.h"
#include "platform/core/NotificationCenter.h"
#include "shortcuts/Shortcut.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DragHeader;
class GlassSurface;
class LauncherArrangement;
class LauncherArrangementMenus;
class LauncherAssignmentStore;
class LauncherResizeBorder;
class QLabel;
class QPushButton;
class ShortcutButton;
class ShortcutStore;

/// The launcher's content: one page of shortcut buttons laid out by the
/// launcher grid from the saved assignments, a header with the companion's
/// name and three picture buttons, and page controls. A click on a button of
/// an active shortcut becomes a request to open it; a button without one
/// offers a menu to assign one. Arranging the buttons, by drag or by menu,
/// is left to its own two parts. Nothing opens, shows or plays here: every
/// effect leaves through a callback the owner sets.
class LauncherViewController final : public QObject {
  Q_OBJECT

 public:
  explicit LauncherViewController(ShortcutStore& store);
  ~LauncherViewController() override;

  /// The root view, made on first use.
  GlassSurface* view();

  /// Re-reads the catalog into the assignments and rebuilds; nothing before the view is loaded.
  void refresh();
  /// The standard 2 x 2 size, the 2 x 1 minimum and the largest grid's size within `size`, at the store's scale.
  pf::Size preferredSize() const;
  pf::Size minimumSize() const;
  pf::Size fittedSize(pf::Size size) const;
  /// Ends a press, a drag or a menu of the arrangement and leaves arranging.
  void cancelArrangement();

  /// The page shown, from 0, and how many there are.
  qint64 page() const { return m_page; }
  qint64 pageCount() const;
  bool isArranging() const;
  const LauncherGrid& grid() const { return m_grid; }
  LauncherAssignmentStore& assignments() const { return *m_assignments; }
  /// The buttons of the shown page, in slot order.
  const std::vector<ShortcutButton*>& buttons() const { return m_buttons; }
  /// The drag that swaps buttons, and the menus that arrange them.
  LauncherArrangement& arrangement() const { return *m_arrangement; }
  LauncherArrangementMenus& arrangementMenus() const { return *m_menus; }

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
  void makeArrangement();
  /// Takes the grid that fits the view: a changed grid ends an arrangement and reconciles the positions file.
  void fitGrid();
  /// Places the views in the view's size; it changes nothing but geometry, fonts and pictures.
  void layoutControls();
  void rebuildButtons(bool layout);
  void changePage(qint64 page);
  void showPage(qint64 page);
  void reportEffect(QWidget* sender);
  QPushButton* makeHeaderButton(const QString& title, const std::function<void(QPushButton*)>& action);

  ShortcutStore& m_store;
  LauncherGrid m_grid;
  LauncherAssignmentStore* m_assignments = nullptr;
  pf::ObserverToken m_assignmentObserver;
  qint64 m_page = 0;
  std::vector<ShortcutButton*> m_buttons;
  std::unique_ptr<LauncherArrangement> m_arrangement;
  std::unique_ptr<LauncherArrangementMenus> m_menus;

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
