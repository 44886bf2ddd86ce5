#pragma once

#include "app/StatusMenu.h"
#include "motion/HoldSet.h"
#include "motion/HoverCoordinator.h"
#include "shortcuts/ShortcutOpener.h"

#include <QObject>
#include <memory>
#include <optional>

class ClipboardFavoritesController;
class QWidget;
class CompanionPanel;
class ContentWindowSizing;
class FileDropController;
class LauncherPanel;
class LauncherViewController;
class PerformancePlayer;
class ReminderFeature;
class RobotDropTarget;
class SettingsWindowController;
class ShortcutEditorController;
class ShortcutStore;

namespace pf {
class StatusItem;
class UserDefaults;
class Window;
}  // namespace pf

/// The application's hub: builds the status menu and the companion, wires
/// their callbacks and keeps the companion's place. Components never call each
/// other; each feature's objects are made and connected here.
class AppDelegate final : public QObject {
  Q_OBJECT

 public:
  static inline const QString robotXKey = QStringLiteral("robotX");
  static inline const QString robotYKey = QStringLiteral("robotY");
  static inline const QString alwaysOnTopKey = QStringLiteral("alwaysOnTop");
  /// Keeps the launcher open after a shortcut opens.
  static inline const QString pinnedKey = QStringLiteral("pinned");

  AppDelegate(std::shared_ptr<ShortcutStore> shortcutStore, pf::UserDefaults& defaults, QString assetRoot);
  ~AppDelegate() override;

  /// Builds the status menu and the companion and shows it at its saved place.
  void applicationDidFinishLaunching();
  /// Stops what runs: an arrangement, a performance, the hover watch and the
  /// drop target; the companion's place was saved when it last moved.
  void applicationWillTerminate();

  StatusMenu& statusMenu() { return m_statusMenu; }
  CompanionPanel* companionPanel() const { return m_panel.get(); }
  LauncherPanel* launcherPanel() const { return m_launcherPanel.get(); }
  LauncherViewController* launcher() const { return m_launcher.get(); }
  PerformancePlayer* performancePlayer() const { return m_performance.get(); }
  /// The settings window's controller, once launched.
  SettingsWindowController* settings() const { return m_settings.get(); }
  /// The main companion's clipboard favorites window.
  ClipboardFavoritesController* clipboardFavorites() const { return m_clipboard.get(); }
  /// The main companion's shortcuts.
  ShortcutStore& shortcutStore() const { return *m_shortcutStore; }
  /// The main companion's Edit Shortcuts window, made when first asked for.
  ShortcutEditorController& shortcutEditor();
  /// The main companion's "Move or Copy Files" window.
  FileDropController& fileDrop() const { return *m_fileDrop; }
  /// The drop panel around the main companion.
  RobotDropTarget& dropTarget() const { return *m_dropTarget; }
  /// Quits, unless a file transfer runs: then its window is shown instead.
  void quit();
  /// The main companion's reminders.
  ReminderFeature& reminders() const { return *m_reminders; }
  /// Why the main companion must stand still right now.
  const HoldSet& holds() const { return m_holds; }

  /// Opens a shortcut of the main companion: picks the companion's reaction,
  /// then opens it; a failure is shown in an alert.
  void openShortcut(const Shortcut& shortcut);
  /// The main companion's opener.
  ShortcutOpener& shortcutOpener() { return m_opener; }
  /// The reaction the companion was last asked to play for an opened shortcut.
  const QString& lastReaction() const { return m_lastReaction; }

 private:
  void buildStatusMenu();
  void createCompanion();
  void createLauncher();
  void createClipboardFavorites();
  void wireLauncherHolds();
  void revealLauncher();
  void closeLauncher();
  void handOver();
  void presentShortcutEditor();
  void presentReminders();
  void presentSettings();
  void presentClipboard();
  bool pointerOnCompanion() const;
  bool pointerNearLauncher() const;
  void placeBesideCompanion(QWidget* window) const;
  void createFileDrop();
  void createDropTarget();
  bool takeDroppedFiles(const QList<QUrl>& urls);
  void applySettings();
  void placeCompanion();
  void resetPosition();
  void keepCompanionOnScreen();
  void saveCompanionPosition();
  void createSettings();
  void showOpenFailure(const QString& message);
  void createReminders();

  std::shared_ptr<ShortcutStore> m_shortcutStore;
  pf::UserDefaults& m_defaults;
  QString m_assetRoot;
  StatusMenu m_statusMenu;
  std::unique_ptr<pf::StatusItem> m_statusItem;
  std::unique_ptr<CompanionPanel> m_panel;
  std::unique_ptr<PerformancePlayer> m_performance;
  // The controller outlives the panel that shows its view.
  std::unique_ptr<LauncherViewController> m_launcher;
  std::unique_ptr<LauncherPanel> m_launcherPanel;
  std::unique_ptr<ContentWindowSizing> m_launcherSizing;
  std::unique_ptr<ShortcutEditorController> m_shortcutEditor;
  std::unique_ptr<SettingsWindowController> m_settings;
  std::unique_ptr<ClipboardFavoritesController> m_clipboard;
  HoverCoordinator m_hover;
  pf::Point m_headerDragOrigin;
  std::unique_ptr<FileDropController> m_fileDrop;
  std::unique_ptr<RobotDropTarget> m_dropTarget;
  HoldSet m_holds;
  ShortcutOpener m_opener;
  QString m_lastReaction;
  std::unique_ptr<ReminderFeature> m_reminders;
};
