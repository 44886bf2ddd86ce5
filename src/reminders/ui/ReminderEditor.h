#pragma once

#include "reminders/ReminderForm.h"
#include "reminders/ReminderStep.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class GlassWindow;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QWidget;
class ShortcutStore;

namespace pf {
class Window;
}

/// The window in which one reminder is made or changed: name, message, a
/// local date and time with stepping buttons, the repeat rule and weekdays,
/// the animation and an optional saved shortcut. It reads its controls into
/// a `ReminderForm`, which makes and checks the reminder, and hands that to
/// its owner; it never writes the journal. Closing
/// only hides the window, so `present()` can show the same editor again.
class ReminderEditor final : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<QDateTime()>;

  /// The sentence for a picker holding an entry that cannot be taken.
  static inline const QString unfinishedDate =
      QStringLiteral("Finish entering a valid date and time before saving.");

  /// An editor for `reminder`, or for a new one when none, offering the
  /// shortcuts of `shortcuts` (which must outlive the editor). `now` starts a
  /// new reminder, marks past times and decides what saving refuses as past;
  /// the system clock by default.
  ReminderEditor(ShortcutStore& shortcuts, std::optional<QuibReminder> reminder, Clock now = {});
  ~ReminderEditor() override;

  /// Shows the window in front with the name field focused; a new reminder's
  /// hidden window starts again from the current time.
  void present();
  /// Puts `text` in the status line unchanged.
  void showStatus(const QString& text);

  /// The form as a checked reminder. Throws `QuibError`.
  QuibReminder value();

  /// Moves the pickers by `step`, once their entries are finished.
  void step(const ReminderStep& step);
  /// Writes the chosen moment out below the pickers.
  void dateChanged();
  /// Shows the weekday boxes only for weekly reminders.
  void updateRepeat();
  /// Hands the form to `onPreview` without saving.
  void preview();
  /// Hands the form to `onSave` and closes on success.
  void save();
  /// Closes the window.
  void cancel();

  const std::optional<QuibReminder>& original() const { return m_form.original(); }
  pf::Window* window() const;
  QLineEdit* nameField() const { return m_nameField; }
  QPlainTextEdit* messageView() const { return m_messageView; }
  QDateEdit* datePicker() const { return m_datePicker; }
  QTimeEdit* timePicker() const { return m_timePicker; }
  /// The stepping buttons: day -1, +1, hour -1, +1, minute -1, +1.
  const std::array<QPushButton*, 6>& steppingButtons() const { return m_steppers; }
  QLabel* dateSummary() const { return m_dateSummary; }
  QComboBox* repeatPopup() const { return m_repeatPopup; }
  QComboBox* animationPopup() const { return m_animationPopup; }
  QComboBox* actionPopup() const { return m_actionPopup; }
  /// The weekday boxes, Sunday first.
  const std::array<QCheckBox*, 7>& days() const { return m_days; }
  QLabel* status() const { return m_status; }

  /// Keeps the reminder; throws with a sentence to show when it cannot.
  std::function<void(const QuibReminder&)> onSave;
  /// Shows the reminder without saving it.
  std::function<void(const QuibReminder&)> onPreview;
  /// Called when the window closes, whichever way.
  std::function<void()> onClose;

 private:
  void build();
  void buildPickers(QWidget* content);
  void buildChoices(QWidget* content);
  void fillInitialValues();
  void fillActions();
  void setPickers(const ReminderTime& time);
  ReminderTime selectedTime() const;
  ReminderFields fields() const;
  void commitDateEditing();
  /// Commits the pickers' entries, or shows why they cannot be stepped.
  bool readyToStep();
  /// Shows the past-time refusal, which a move to a future time clears again.
  void showPastRefusal();

  ShortcutStore& m_shortcuts;
  ReminderForm m_form;
  Clock m_now;
  std::unique_ptr<GlassWindow> m_glass;
  QLineEdit* m_nameField = nullptr;
  QPlainTextEdit* m_messageView = nullptr;
  QDateEdit* m_datePicker = nullptr;
  QTimeEdit* m_timePicker = nullptr;
  std::array<QPushButton*, 6> m_steppers{};
  QLabel* m_dateSummary = nullptr;
  QComboBox* m_repeatPopup = nullptr;
  QComboBox* m_animationPopup = nullptr;
  QComboBox* m_actionPopup = nullptr;
  std::array<QCheckBox*, 7> m_days{};
  std::vector<std::optional<QString>> m_actionIDs;
  QLabel* m_status = nullptr;
  bool m_showsPastRefusal = false;
};
