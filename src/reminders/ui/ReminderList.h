#pragma once

#include "reminders/QuibReminder.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class GlassWindow;
class QLabel;
class QScrollArea;
class QWidget;
class ReminderGlowButton;
class ReminderStore;

namespace pf {
class UserDefaults;
class Window;
}  // namespace pf

/// The "Reminders…" window of one companion: every saved reminder as a card
/// with its state or schedule and an icon, and buttons to add, edit, pause or
/// resume and delete. Changes go through the store; creating and editing are
/// left to the owner. Closing only hides the window.
class ReminderList final : public QObject {
  Q_OBJECT

 public:
  /// Builds the window over `store` (which must outlive the list); the size
  /// the user gives it is remembered in `defaults` when given.
  ReminderList(ReminderStore& store, pf::UserDefaults* defaults);
  ~ReminderList() override;

  /// Reads the journal again and shows the window in front.
  void present();
  /// Shows the reminders of the journal as last read, keeping the selection.
  /// A hidden list builds no cards (a large journal would cost thousands of
  /// widgets nobody sees); presenting it builds them afresh.
  void refresh();
  /// Puts a sentence in the status line until the next refresh.
  void showStatus(const QString& text);

  /// The reminder of the selected card, if any.
  std::optional<QuibReminder> selected() const;
  /// Selects the card at `row` alone; -1 or an index past the end selects nothing.
  void select(int row);

  /// Asks the owner for a new reminder.
  void newReminder();
  /// Asks the owner to edit the selected reminder.
  void editReminder();
  /// Pauses or resumes the selected reminder.
  void togglePause();
  /// Asks on a sheet, then deletes the selected reminder.
  void deleteReminder();

  pf::Window* window() const;
  /// The column of cards, one child per reminder in stored order.
  QWidget* cards() const;
  QLabel* status() const { return m_status; }
  ReminderGlowButton* pauseButton() const { return m_pauseButton; }

  /// Called by "New…".
  std::function<void()> onNew;
  /// Called by "Edit…" and a double click with the selected reminder.
  std::function<void(const QuibReminder&)> onEdit;
  /// Called after a pause, resume or delete changed the journal.
  std::function<void()> onChange;
  /// Called when the window closes.
  std::function<void()> onClose;

 private:
  void build(pf::UserDefaults* defaults);
  void rebuildCards();
  QWidget* card(const QuibReminder& reminder);
  void selectionChanged();
  /// The card of `row`; none for -1.
  QWidget* cardAt(int row) const;
  /// Moves the selection or edits, as a table does for its keys; false for any other key.
  bool keyPressed(int key);
  void setStatusFromStore();

  ReminderStore& m_store;
  std::unique_ptr<GlassWindow> m_glass;
  QScrollArea* m_scroll = nullptr;
  QWidget* m_cards = nullptr;
  QLabel* m_status = nullptr;
  ReminderGlowButton* m_pauseButton = nullptr;
  std::vector<QuibReminder> m_rows;
  int m_selectedRow = -1;
};
