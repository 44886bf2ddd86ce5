#include "reminders/ui/ReminderEditor.h"

#include "character/QuibAction.h"
#include "launcher/ui/GlassSurface.h"
#include "look/QuibSkin.h"
#include "motion/ui/ContentWindowLayout.h"
#include "motion/ui/ContentWindowSizing.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderStore.h"
#include "reminders/ui/FixedFrames.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimeEdit>
#include <QTimeZone>
#include <QUuid>

namespace {

constexpr pf::Size baseSize{560, 724};
constexpr pf::Rect messageFrame{24, 460, 512, 138};
constexpr int repeatDelay = 450;
constexpr int repeatInterval = 120;
constexpr int weeklyIndex = 2;

const pf::Color orange = pf::Color::system(QStringLiteral("systemOrange"));
const pf::Color secondaryLabel = pf::Color::system(QStringLiteral("secondaryLabelColor"));

struct Stepper {
  QString title;
  QString accessibleName;
  pf::Rect frame;
  double fontSize;
  int tag;
  bool days;
};

// The minus signs are U+2212, as a calendar prints them.
const std::array<Stepper, 6> steppers{{
    {QStringLiteral("\u22121 day"), QStringLiteral("Previous day"), {292, 412, 116, 38}, 14, -1, true},
    {QStringLiteral("+1 day"), QStringLiteral("Next day"), {420, 412, 116, 38}, 14, 1, true},
    {QStringLiteral("\u22121 hr"), QStringLiteral("One hour earlier"), {248, 364, 64, 38}, 13, -60, false},
    {QStringLiteral("+1 hr"), QStringLiteral("One hour later"), {320, 364, 64, 38}, 13, 60, false},
    {QStringLiteral("\u22121 min"), QStringLiteral("One minute earlier"), {392, 364, 68, 38}, 13, -1, false},
    {QStringLiteral("+1 min"), QStringLiteral("One minute later"), {468, 364, 68, 38}, 13, 1, false},
}};

const std::array<QString, 7> dayTitles{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                                       QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                                       QStringLiteral("Sat")};

template <typename Control>
Control* control(QWidget* parent, const pf::Rect& frame, double fontSize, const QString& accessibleName = {}) {
  auto* view = new Control;
  pf::ViewStyle::setFontSize(view, fontSize);
  if (!accessibleName.isEmpty()) view->setAccessibleName(accessibleName);
  FixedFrames::place(view, parent, frame);
  return view;
}

QComboBox* popup(QWidget* parent, const QStringList& titles, double y, const QString& accessibleName) {
  auto* box = control<QComboBox>(parent, {163, y, 373, 34}, 15, accessibleName);
  box->addItems(titles);
  return box;
}

/// A click on the button leaves the focus where it is, so an entry still
/// being typed in a picker is checked rather than quietly put back.
void keepEditing(QPushButton* button) {
  button->setAutoDefault(false);
  button->setFocusPolicy(Qt::TabFocus);
}

/// A push button of the bottom row; its three callers differ only in x and width.
QPushButton* reminderButton(const QString& title, QWidget* parent, double x, double width) {
  auto* button = new QPushButton(title);
  keepEditing(button);
  FixedFrames::place(button, parent, {x, 16, width, 32});
  return button;
}

/// A four-digit year, whatever the locale's short date writes.
QString dateFormat(const QLocale& locale) {
  QString format = locale.dateFormat(QLocale::ShortFormat);
  if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  return format;
}

QString newID() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

}  // namespace

ReminderEditor::ReminderEditor(ShortcutStore& shortcuts, std::optional<QuibReminder> reminder, Clock now)
    : m_shortcuts(shortcuts),
      m_original(std::move(reminder)),
      m_draftID(m_original ? m_original->id : newID()),
      m_now(now ? std::move(now) : Clock([] { return QDateTime::currentDateTimeUtc(); })) {
  build();
}

ReminderEditor::~ReminderEditor() = default;

pf::Window* ReminderEditor::window() const { return m_window.get(); }

void ReminderEditor::build() {
  m_window = std::make_unique<pf::Window>();
  m_window->setWindowTitle(m_original ? QStringLiteral("Edit Reminder") : QStringLiteral("New Reminder"));
  pf::ViewStyle::setAppearance(m_window.get(), QuibSkin::appearance());
  m_window->onWillClose = [this] {
    if (onClose) onClose();
  };
  auto* content = new GlassSurface;
  content->resize(int(baseSize.width), int(baseSize.height));

  FixedFrames::label(content, QStringLiteral("Reminder name"), {24, 680, 512, 22}, 14);
  m_nameField = control<QLineEdit>(content, {24, 638, 512, 36}, 17, QStringLiteral("Reminder name"));
  FixedFrames::label(content, QStringLiteral("What should I say?"), {24, 605, 512, 22}, 14);
  m_messageView = control<QPlainTextEdit>(content, messageFrame, 17, QStringLiteral("What should I say?"));
  m_messageView->setTabChangesFocus(true);
  m_messageView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_messageView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_messageView->document()->setDocumentMargin(10);

  buildPickers(content);
  buildChoices(content);

  auto* note = FixedFrames::label(content,
                     QStringLiteral("Uses this computer\u2019s local time. Wendle must be open to alert on time; "
                                    "missed repeats become one catch-up reminder when the app reopens."),
                     {24, 106, 512, 48}, 11, true);
  FixedFrames::setTextColor(note, secondaryLabel);
  m_status = FixedFrames::label(content, QString(), {24, 58, 512, 42}, 12, true);
  FixedFrames::setTextColor(m_status, orange);

  connect(reminderButton(QStringLiteral("Preview"), content, 22, 105), &QPushButton::clicked, this,
          &ReminderEditor::preview);
  auto* cancelButton = reminderButton(QStringLiteral("Cancel"), content, 328, 98);
  cancelButton->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(cancelButton, &QPushButton::clicked, this, &ReminderEditor::cancel);
  connect(reminderButton(QStringLiteral("Save"), content, 438, 98), &QPushButton::clicked, this,
          &ReminderEditor::save);

  fillInitialValues();
  updateRepeat();
  dateChanged();

  m_window->setContentSize(baseSize);
  m_window->setContentView(content);
  m_contentLayout = std::make_unique<ContentWindowLayout>(content, messageFrame, true);
  m_contentSizing = std::make_unique<ContentWindowSizing>(m_window.get(), QStringLiteral("reminderEditor"),
                                                          &m_shortcuts.defaults(), pf::Size{590, 724},
                                                          pf::Size{630, 790});
  m_window->center();
}

void ReminderEditor::buildPickers(QWidget* content) {
  const QLocale locale;
  FixedFrames::label(content, QStringLiteral("Date"), {24, 420, 44, 22}, 14);
  m_datePicker = control<QDateEdit>(content, {72, 412, 208, 38}, 18, QStringLiteral("Reminder date"));
  m_datePicker->setDisplayFormat(dateFormat(locale));
  m_datePicker->setCalendarPopup(true);
  m_datePicker->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
  connect(m_datePicker, &QDateEdit::dateChanged, this, &ReminderEditor::dateChanged);

  FixedFrames::label(content, QStringLiteral("Time"), {24, 372, 44, 22}, 14);
  m_timePicker = control<QTimeEdit>(content, {72, 364, 164, 38}, 18, QStringLiteral("Reminder time"));
  m_timePicker->setDisplayFormat(locale.timeFormat(QLocale::ShortFormat));
  connect(m_timePicker, &QTimeEdit::timeChanged, this, &ReminderEditor::dateChanged);

  for (std::size_t i = 0; i < steppers.size(); ++i) {
    const Stepper& stepper = steppers[i];
    auto* button = control<QPushButton>(content, stepper.frame, stepper.fontSize, stepper.accessibleName);
    button->setText(stepper.title);
    keepEditing(button);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(repeatDelay);
    button->setAutoRepeatInterval(repeatInterval);
    button->setToolTip(QStringLiteral("Click for one step. Hold to keep changing."));
    connect(button, &QPushButton::clicked, this,
            [this, stepper] { stepper.days ? changeDay(stepper.tag) : changeClock(stepper.tag); });
    m_steppers[i] = button;
  }

  m_dateSummary = FixedFrames::label(content, QString(), {24, 322, 512, 34}, 12, true);
}

void ReminderEditor::buildChoices(QWidget* content) {
  FixedFrames::label(content, QStringLiteral("Repeat"), {24, 290, 130, 22}, 13);
  QStringList repeats;
  for (const auto rule : ReminderRepeat::allCases) repeats << ReminderRepeat(rule).title();
  m_repeatPopup = popup(content, repeats, 283, QStringLiteral("Repeat"));
  connect(m_repeatPopup, &QComboBox::currentIndexChanged, this, &ReminderEditor::updateRepeat);

  for (int tag = 1; tag <= 7; ++tag) {
    auto* box = control<QCheckBox>(content, {24.0 + 73 * (tag - 1), 249, 73, 28}, 14);
    box->setText(dayTitles[std::size_t(tag - 1)]);
    m_days[std::size_t(tag - 1)] = box;
  }

  FixedFrames::label(content, QStringLiteral("Animation"), {24, 210, 130, 22}, 13);
  QStringList actions;
  for (const auto action : QuibAction::allCases) actions << QuibAction(action).title();
  m_animationPopup = popup(content, actions, 203, QStringLiteral("Reminder animation"));

  FixedFrames::label(content, QStringLiteral("Action button"), {24, 171, 130, 22}, 13);
  m_actionPopup = popup(content, {}, 164, QStringLiteral("Optional saved shortcut"));
  fillActions();
}

void ReminderEditor::fillActions() {
  m_actionPopup->addItem(QStringLiteral("None"));
  m_actionIDs.emplace_back(std::nullopt);
  for (const Shortcut& shortcut : m_shortcuts.activeShortcuts()) {
    if (shortcut.destination.isEmpty()) continue;
    m_actionPopup->addItem(shortcut.label);
    m_actionIDs.emplace_back(shortcut.id);
  }
  // A link to a shortcut that is gone stays offered, so editing never drops it unasked.
  const std::optional<QString> linked = m_original ? m_original->actionID : std::nullopt;
  if (linked && std::find(m_actionIDs.begin(), m_actionIDs.end(), linked) == m_actionIDs.end()) {
    m_actionPopup->addItem(m_original->actionLabel.value_or(QStringLiteral("Saved shortcut")) +
                           QStringLiteral(" (unavailable)"));
    m_actionIDs.emplace_back(linked);
  }
}

void ReminderEditor::fillInitialValues() {
  const pf::Calendar calendar = ReminderSchedule::calendar();
  m_nameField->setText(m_original ? m_original->name : QString());
  m_messageView->setPlainText(m_original ? m_original->message : QString());
  // The stored wall time as written, even one that the clock skipped on its
  // first day (02:30 becomes 03:00 only when it falls due), so an edit that
  // keeps the schedule keeps it.
  const bool stored = m_original && m_original->time.date(calendar);
  setPickers(stored ? m_original->time : ReminderTime(m_now(), calendar));

  const ReminderRepeat rule = m_original ? m_original->repeatRule : ReminderRepeat::once;
  const auto ruleAt = std::find(ReminderRepeat::allCases.begin(), ReminderRepeat::allCases.end(), rule.value());
  {
    const QSignalBlocker quiet(m_repeatPopup);
    m_repeatPopup->setCurrentIndex(int(ruleAt - ReminderRepeat::allCases.begin()));
  }
  for (int tag = 1; tag <= 7; ++tag) {
    const bool on = m_original && std::find(m_original->weekdays.begin(), m_original->weekdays.end(), tag) !=
                                      m_original->weekdays.end();
    m_days[std::size_t(tag - 1)]->setChecked(on);
  }

  int animation = 0;
  for (std::size_t i = 0; m_original && i < QuibAction::allCases.size(); ++i)
    if (QuibAction(QuibAction::allCases[i]).rawValue() == m_original->animation) {
      animation = int(i);
      break;
    }
  m_animationPopup->setCurrentIndex(animation);

  const std::optional<QString> linked = m_original ? m_original->actionID : std::nullopt;
  const auto actionAt = std::find(m_actionIDs.begin(), m_actionIDs.end(), linked);
  m_actionPopup->setCurrentIndex(actionAt == m_actionIDs.end() ? 0 : int(actionAt - m_actionIDs.begin()));
}

void ReminderEditor::setPickers(const ReminderTime& time) {
  const QSignalBlocker quietDate(m_datePicker);
  const QSignalBlocker quietTime(m_timePicker);
  m_datePicker->setDate(QDate(int(time.year), int(time.month), int(time.day)));
  m_timePicker->setTime(QTime(int(time.hour), int(time.minute)));
}

ReminderTime ReminderEditor::selectedTime() const {
  const QDate date = m_datePicker->date();
  const QTime time = m_timePicker->time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute()};
}

void ReminderEditor::commitDateEditing() {
  for (QAbstractSpinBox* picker : {static_cast<QAbstractSpinBox*>(m_datePicker), static_cast<QAbstractSpinBox*>(m_timePicker)})
    if (!picker->hasAcceptableInput()) throw QuibError(unfinishedDate);
  const QSignalBlocker quietDate(m_datePicker);
  const QSignalBlocker quietTime(m_timePicker);
  m_datePicker->interpretText();
  m_timePicker->interpretText();
}

void ReminderEditor::dateChanged() {
  const pf::Calendar calendar = ReminderSchedule::calendar();
  const std::optional<QDateTime> date = selectedTime().date(calendar);
  if (!date) return;
  const QLocale locale;
  const QTimeZone zone = calendar.timeZone();
  const QDateTime now = m_now();
  const QDateTime local = date->toTimeZone(zone);
  const QString abbreviation = zone.abbreviation(now);
  QString summary = locale.toString(local.date(), QLocale::LongFormat) + u' ' +
                    locale.toString(local.time(), QLocale::ShortFormat) + QStringLiteral(" \u00B7 ") +
                    (abbreviation.isEmpty() ? QString::fromUtf8(zone.id()) : abbreviation);
  const bool past = calendar.compareMinutes(*date, now) == std::strong_ordering::less;
  if (past) summary += QStringLiteral(" \u2014 in the past");
  m_dateSummary->setText(summary);
  FixedFrames::setTextColor(m_dateSummary, past ? orange : secondaryLabel);
  if (!past && m_status->text().startsWith(QStringLiteral("That date and time is in the past."))) m_status->clear();
}

void ReminderEditor::updateRepeat() {
  const bool weekly = m_repeatPopup->currentIndex() == weeklyIndex;
  for (QCheckBox* box : m_days) box->setVisible(weekly);
}

bool ReminderEditor::readyToStep() {
  try {
    commitDateEditing();
  } catch (const QuibError& error) {
    m_status->setText(error.message());
    return false;
  }
  return true;
}

void ReminderEditor::changeDay(int days) {
  if (!readyToStep()) return;
  {
    const QSignalBlocker quiet(m_datePicker);
    m_datePicker->setDate(m_datePicker->date().addDays(days));
  }
  dateChanged();
}

void ReminderEditor::changeClock(int minutes) {
  if (!readyToStep()) return;
  // The step is made on the wall clock, so "+1 hr" always moves the shown
  // hour by one, across midnight and across clock changes alike.
  const pf::Calendar local = ReminderSchedule::calendar();
  const pf::Calendar floating(QTimeZone::utc());
  const ReminderTime chosen = selectedTime();
  const std::optional<QDateTime> floatingDate = chosen.date(floating);
  if (!floatingDate) return;
  const ReminderTime target(floatingDate->addSecs(qint64(minutes) * 60), floating);
  std::optional<QDateTime> result = target.date(local);
  if (!result) return;
  // Stepping back onto an hour the clock skipped would land after the
  // starting time; step back by elapsed time instead.
  if (minutes < 0 && ReminderTime(*result, local) != target)
    if (const auto start = chosen.date(local)) result = start->addSecs(qint64(minutes) * 60);
  setPickers(ReminderTime(*result, local));
  dateChanged();
}

QuibReminder ReminderEditor::base() const {
  if (m_original) return *m_original;
  QuibReminder fresh;
  fresh.id = m_draftID;
  fresh.scheduleID = newID();
  fresh.time = selectedTime();
  return fresh;
}

QuibReminder ReminderEditor::value() {
  commitDateEditing();
  QuibReminder reminder = base();
  reminder.name = m_nameField->text();
  reminder.message = m_messageView->toPlainText();
  reminder.time = selectedTime();
  reminder.repeatRule = ReminderRepeat::allCases[std::size_t(m_repeatPopup->currentIndex())];
  reminder.weekdays.clear();
  for (int tag = 1; tag <= 7; ++tag)
    if (m_days[std::size_t(tag - 1)]->isChecked()) reminder.weekdays.push_back(tag);
  reminder.animation = QuibAction(QuibAction::allCases[std::size_t(m_animationPopup->currentIndex())]).rawValue();
  reminder.actionID = m_actionIDs[std::size_t(m_actionPopup->currentIndex())];
  reminder.actionLabel = std::nullopt;
  if (reminder.actionID) {
    if (const auto shortcut = m_shortcuts.item(*reminder.actionID))
      reminder.actionLabel = shortcut->label;
    else if (m_original)
      reminder.actionLabel = m_original->actionLabel;
  }
  reminder.validate();
  return reminder;
}

QuibReminder ReminderEditor::scheduledValue(const QDateTime& now) {
  QuibReminder reminder = value();
  if (!m_original || !reminder.sameSchedule(*m_original)) {
    const std::optional<QDateTime> date = reminder.time.date(ReminderSchedule::calendar());
    if (!date || *date <= now) throw QuibError(pastTime);
  }
  return reminder;
}

void ReminderEditor::present() {
  if (!m_original && !m_window->isVisible()) {
    setPickers(ReminderTime(m_now(), ReminderSchedule::calendar()));
    dateChanged();
  }
  m_window->makeKeyAndOrderFront();
  m_window->activateWindow();
  m_nameField->setFocus();
}

void ReminderEditor::showStatus(const QString& text) { m_status->setText(text); }

void ReminderEditor::preview() {
  QuibReminder reminder;
  try {
    reminder = value();
  } catch (const QuibError& error) {
    m_status->setText(error.message());
    return;
  }
  m_status->setText(QStringLiteral("Preview only \u2014 nothing is saved or scheduled."));
  if (onPreview) onPreview(reminder);
}

void ReminderEditor::save() {
  if (!onSave) {
    m_window->close();
    return;
  }
  try {
    onSave(scheduledValue(m_now()));
  } catch (const std::exception& error) {
    // The summary is brought up to date first, so that a refusal of a time
    // within the current minute is not wiped out again at once.
    dateChanged();
    m_status->setText(ReminderStore::text(error));
    return;
  }
  m_window->close();
}

void ReminderEditor::cancel() { m_window->close(); }
