#pragma once

#include "reminders/QuibReminder.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class ContentWindowLayout;
class GlassSurface;
class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;
class QWidget;

/// What the companion says when a reminder is due: a dark glass card with a
/// tail at its lower left holding the reminder's name and message, a button
/// for its saved shortcut, the snooze choices and Done. The same bubble, with
/// snoozing hidden, previews a reminder from the editor. Made once and shown
/// again for every reminder; its owner hosts the view in a panel.
class ReminderBubble final : public QObject {
  Q_OBJECT

 public:
  /// The snooze choices after the resting "Snooze…" item, in seconds.
  static constexpr double snoozeSeconds[] = {300, 900, 3600};

  ReminderBubble();
  ~ReminderBubble() override;

  /// Called by Done (and by "Close Preview").
  std::function<void()> onDone;
  /// Called with the seconds of the snooze chosen.
  std::function<void(double)> onSnooze;
  /// Called by the shortcut button.
  std::function<void()> onAction;
  /// Called by Escape while the bubble's window has the keyboard.
  std::function<void()> onEscape;

  /// Fills and sizes the bubble for `reminder`: 390 wide and as high as its
  /// message needs, within bounds. May be called again for another reminder.
  void display(const QuibReminder& reminder, bool preview);
  /// Whether the last display was a preview.
  bool isPreview() const { return m_preview; }

  /// The bubble's whole view, tail included.
  QWidget* view() const;
  QLabel* titleField() const { return m_titleField; }
  QTextEdit* message() const { return m_message; }
  QPushButton* actionButton() const { return m_actionButton; }
  QComboBox* snooze() const { return m_snooze; }
  QPushButton* doneButton() const { return m_doneButton; }
  QLabel* status() const { return m_status; }

  /// Calls `onAction`.
  void openAction();
  /// Calls `onDone`.
  void done();
  /// Passes on the chosen snooze and puts the choice back on "Snooze…".
  void snoozeChanged();

 private:
  void build();
  void layOut(const QuibReminder& reminder);
  double messageHeight() const;

  // Owned here until a panel hosts it, then by the panel.
  QPointer<QWidget> m_surface;
  GlassSurface* m_glass = nullptr;
  QLabel* m_titleField = nullptr;
  QTextEdit* m_message = nullptr;
  QPushButton* m_actionButton = nullptr;
  QComboBox* m_snooze = nullptr;
  QPushButton* m_doneButton = nullptr;
  QLabel* m_status = nullptr;
  std::unique_ptr<ContentWindowLayout> m_contentLayout;
  bool m_preview = false;
};
