#pragma once

#include "character/QuibAction.h"
#include "platform/core/Geometry.h"
#include "reminders/QuibReminder.h"
#include "reminders/ReminderCoordinator.h"
#include "reminders/ReminderStore.h"
#include "shortcuts/ShortcutOpener.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class ContentWindowSizing;
class LauncherPanel;
class QScreen;
class ReminderBubble;
class ReminderEditor;
class ReminderList;
class ShortcutStore;
struct Shortcut;

namespace pf {
class Clock;
class MainQueue;
class SystemClockMonitor;
class Window;
}  // namespace pf

/// What a reminders feature runs on; the defaults are the system's.
struct ReminderFeatureServices {
  pf::Clock* clock = nullptr;
  pf::MainQueue* queue = nullptr;
  /// The zone file whose replacement means a new time zone.
  QString zoneFile;
};

/// The reminders of one companion as its owner sees them: the journal, its
/// check loop, the list and editor windows and the speech bubble, wired to
/// one another. It reaches the rest of the program only through callbacks.
/// A feature over a folder shared with the main companion is made but never
/// started, so one check loop announces each journal.
class ReminderFeature final : public QObject {
  Q_OBJECT

 public:
  using Services = ReminderFeatureServices;
  /// The companion's window frame (y up) and the screen it is on.
  using Placement = std::pair<pf::Rect, QScreen*>;

  static inline const QString panelTitle = QStringLiteral("Wendle Reminder");
  static inline const QString unavailableShortcut =
      QStringLiteral("That shortcut is unavailable. Edit this reminder to choose another.");
  static inline const QString previewRefused =
      QStringLiteral("Finish or snooze the current reminder before previewing another.");

  /// The reminders of `shortcuts`' companion, kept in `directory`, or in the
  /// companion's data folder when none. Nothing is read, locked or shown yet.
  ReminderFeature(ShortcutStore& shortcuts, std::optional<QString> directory, Services services = {});
  ~ReminderFeature() override;

  /// The companion's window frame and screen, or none when it has no place.
  std::function<std::optional<Placement>()> placement;
  /// Whether the bubble or a reminders window is on screen.
  std::function<void(bool)> onHold;
  /// Places a reminders window beside the companion.
  std::function<void(pf::Window*)> positionWindow;
  /// Plays a reminder's animation.
  std::function<void(QuibAction)> onAnimation;
  /// Stops the animation started for a reminder.
  std::function<void()> onStopAnimation;
  /// Makes the companion visible and still before the bubble shows.
  std::function<void()> onReveal;
  /// Whether the companion is free to announce a reminder now; answers quickly.
  std::function<bool()> available = [] { return true; };
  /// A failure that must reach the user outside the reminders windows.
  std::function<void(const QString&)> onNotice;
  /// Opens a linked shortcut and calls the completion once.
  std::function<void(const Shortcut&, ShortcutOpener::Completion)> openAction;

  /// Takes the runner lock, checks at once and follows clock and time-zone changes.
  void start();
  /// Releases the lock, stops following the clock and hides the bubble.
  void stop();
  /// Shows the reminders list beside the companion.
  void presentList();
  /// Puts the bubble centred above the companion, inside its screen.
  void position();
  /// Checks at once after the machine woke, then places the bubble again.
  void waking();
  /// Shows `reminder` from the editor without saving or scheduling it.
  void preview(const QuibReminder& reminder);

  /// Whether the bubble or a reminders window is visible.
  bool isHolding() const;
  /// Where the bubble panel of `size` goes above `companion`, kept 8 pt inside `visibleFrame`.
  static pf::Point bubbleOrigin(const pf::Rect& companion, pf::Size size, const pf::Rect& visibleFrame);

  ReminderStore& store() { return m_store; }
  ReminderCoordinator& coordinator() { return m_coordinator; }
  ReminderList& list() const { return *m_list; }
  ReminderEditor* editor() const { return m_editor.get(); }
  ReminderBubble& bubble() const { return *m_bubble; }
  /// The bubble's panel, once a reminder has been shown.
  LauncherPanel* panel() const { return m_panel.get(); }

 private:
  void wireCoordinator();
  void wireList();
  void wireBubble();
  void show(const QuibReminder& reminder, bool preview, bool animate);
  void makePanel();
  void hideBubble();
  void edit(const std::optional<QuibReminder>& reminder);
  void activateAction();
  void showFailure(const QString& text);
  void clockChanged();
  void reportHoldLater();
  void reportHold();

  ShortcutStore& m_shortcuts;
  Services m_services;
  ReminderStore m_store;
  ReminderCoordinator m_coordinator;
  std::unique_ptr<ReminderList> m_list;
  std::unique_ptr<ReminderEditor> m_editor;
  std::unique_ptr<ReminderBubble> m_bubble;
  std::unique_ptr<LauncherPanel> m_panel;
  std::unique_ptr<ContentWindowSizing> m_bubbleSizing;
  std::optional<QuibReminder> m_previewReminder;
  std::unique_ptr<pf::SystemClockMonitor> m_clockMonitor;
};
