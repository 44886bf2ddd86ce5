#include "reminders/ui/ReminderEditor.h"

#include "character/QuibAction.h"
#include "platform/ui/ViewStyle.h"
#include "platform/ui/Window.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderStore.h"
#include "shortcuts/QuibError.h"
#include "shortcuts/ShortcutStore.h"
#include "widgets/DesignFrames.h"
#include "widgets/GlassSurface.h"
#include "widgets/GlassWindow.h"

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

namespace {

constexpr pf::Size baseSize{560, 724};
constexpr pf::Rect messageFrame{24, 460, 512, 138};
constexpr int repeatDelay = 450;
constexpr int repeatInterval = 120;

const pf::Color orange = pf::Color::system(QStringLiteral("systemOrange"));
const pf::Color secondaryLabel = pf::Color::system(QStringLiteral("secondaryLabelColor"));

struct Stepper {
  QString title;
  QString accessibleName;
  pf::Rect frame;
  double fontSize;
  ReminderStep step;
};

constexpr auto days = ReminderStep::Unit::days;
constexpr auto minutes = ReminderStep::Unit::minutes;

// The minus signs are U+2212, as a calendar prints them.
const std::array<Stepper, 6> steppers{{
    {QStringLiteral("\u22121 day"), QStringLiteral("Previous day"), {292, 412, 116, 38}, 14, {days, -1}},
    {QStringLiteral("+1 day"), QStringLiteral("Next day"), {420, 412, 116, 38}, 14, {days, 1}},
    {QStringLiteral("\u22121 hr"), QStringLiteral("One hour earlier"), {248, 364, 64, 38}, 13, {minutes, -60}},
    {QStringLiteral("+1 hr"), QStringLiteral("One hour later"), {320, 364, 64, 38}, 13, {minutes, 60}},
    {QStringLiteral("\u22121 min"), QStringLiteral("One minute earlier"), {392, 364, 68, 38}, 13, {minutes, -1}},
    {QStringLiteral("+1 min"), QStringLiteral("One minute later"), {468, 364, 68, 38}, 13, {minutes, 1}},
}};

const std::array<QString, 7> dayTitles{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                                       QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                                       QStringLiteral("Sat")};

template <typename Control>
Control* control(QWidget* parent, const pf::Rect& frame, double fontSize, const QString& accessibleName = {}) {
  auto* view = new Control;
  pf::ViewStyle::setFontSize(view, fontSize);
  if (!accessibleName.isEmpty()) view->setAccessibleName(accessibleName);
  DesignFrames::place(view, parent, frame);
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
  DesignFrames::place(button, parent, {x, 16, width, 32});
  return button;
}

/// A four-digit year, whatever the locale's short date writes.
QString dateFormat(const QLocale& locale) {
  QString format = locale.dateFormat(QLocale::ShortFormat);
  if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  return format;
}

}  // namespace

ReminderEditor::ReminderEditor(ShortcutStore& shortcuts, std::optional<QuibReminder> reminder, Clock now)
    : m_shortcuts(shortcuts),
      m_form(std::move(reminder)),
      m_now(now ? std::move(now) : Clock([] { return QDateTime::currentDateTimeUtc(); })) {
  build();
}

ReminderEditor::~ReminderEditor() = default;

pf::Window* ReminderEditor::window() const { return m_glass->window(); }

void ReminderEditor::build() {
  m_glass = std::make_unique<GlassWindow>(original() ? QStringLiteral("Edit Reminder") : QStringLiteral("New Reminder"),
                                          baseSize);
  window()->onWillClose = [this] {
    if (onClose) onClose();
  };
  QWidget* content = m_glass->content();

  DesignFrames::label(content, QStringLiteral("Reminder name"), {24, 680, 512, 22}, {.pixelSize = 14});
  m_nameField = control<QLineEdit>(content, {24, 638, 512, 36}, 17, QStringLiteral("Reminder name"));
  DesignFrames::label(content, QStringLiteral("What should I say?"), {24, 605, 512, 22}, {.pixelSize = 14});
  m_messageView = control<QPlainTextEdit>(content, messageFrame, 17, QStringLiteral("What should I say?"));
  m_messageView->setTabChangesFocus(true);
  m_messageView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_messageView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_messageView->document()->setDocumentMargin(10);

  buildPickers(content);
  buildChoices(content);

  DesignFrames::label(
      content,
      QStringLiteral("Uses this computer\u2019s local time. Wendle must be open to alert on time; "
                     "missed repeats become one catch-up reminder when the app reopens."),
      {24, 106, 512, 48}, {.pixelSize = 11, .color = secondaryLabel, .wraps = true});
  m_status = DesignFrames::label(content, {}, {24, 58, 512, 42}, {.pixelSize = 12, .color = orange, .wraps = true});

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

  m_glass->arrange({.stretchFrame = messageFrame,
                    .key = QStringLiteral("reminderEditor"),
                    .defaults = &m_shortcuts.defaults(),
                    .minimum = {590, 724},
                    .initial = {630, 790}});
}

void ReminderEditor::buildPickers(QWidget* content) {
  const QLocale locale;
  DesignFrames::label(content, QStringLiteral("Date"), {24, 420, 44, 22}, {.pixelSize = 14});
  m_datePicker = control<QDateEdit>(content, {72, 412, 208, 38}, 18, QStringLiteral("Reminder date"));
  m_datePicker->setDisplayFormat(dateFormat(locale));
  m_datePicker->setCalendarPopup(true);
  m_datePicker->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
  connect(m_datePicker, &QDateEdit::dateChanged, this, &ReminderEditor::dateChanged);

  DesignFrames::label(content, QStringLiteral("Time"), {24, 372, 44, 22}, {.pixelSize = 14});
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
    connect(button, &QPushButton::clicked, this, [this, by = stepper.step] { step(by); });
    m_steppers[i] = button;
  }

  m_dateSummary = DesignFrames::label(content, QString(), {24, 322, 512, 34}, {.pixelSize = 12, .wraps = true});
}

void ReminderEditor::buildChoices(QWidget* content) {
  DesignFrames::label(content, QStringLiteral("Repeat"), {24, 290, 130, 22}, {.pixelSize = 13});
  QStringList repeats;
  for (const auto rule : ReminderRepeat::allCases) repeats << ReminderRepeat(rule).title();
  m_repeatPopup = popup(content, repeats, 283, QStringLiteral("Repeat"));
  connect(m_repeatPopup, &QComboBox::currentIndexChanged, this, &ReminderEditor::updateRepeat);

  for (int tag = 1; tag <= 7; ++tag) {
    auto* box = control<QCheckBox>(content, {24.0 + 73 * (tag - 1), 249, 73, 28}, 14);
    box->setText(dayTitles[std::size_t(tag - 1)]);
    m_days[std::size_t(tag - 1)] = box;
  }

  DesignFrames::label(content, QStringLiteral("Animation"), {24, 210, 130, 22}, {.pixelSize = 13});
  QStringList actions;
  for (const auto action : QuibAction::allCases) actions << QuibAction(action).title();
  m_animationPopup = popup(content, actions, 203, QStringLiteral("Reminder animation"));

  DesignFrames::label(content, QStringLiteral("Action button"), {24, 171, 130, 22}, {.pixelSize = 13});
  m_actionPopup = popup(content, {}, 164, QStringLiteral("Optional saved shortcut"));
  fillActions();
}

void ReminderEditor::fillActions() {
  for (const ReminderActionChoice& choice : m_form.actionChoices(m_shortcuts.activeShortcuts())) {
    m_actionPopup->addItem(choice.title);
    m_actionIDs.push_back(choice.id);
  }
}

void ReminderEditor::fillInitialValues() {
  const ReminderFields initial = m_form.initialFields(m_now(), ReminderSchedule::calendar());
  m_nameField->setText(initial.name);
  m_messageView->setPlainText(initial.message);
  setPickers(initial.time);
  const auto ruleAt =
      std::find(ReminderRepeat::allCases.begin(), ReminderRepeat::allCases.end(), initial.repeatRule.value());
  {
    const QSignalBlocker quiet(m_repeatPopup);
    m_repeatPopup->setCurrentIndex(int(ruleAt - ReminderRepeat::allCases.begin()));
  }
  for (int tag = 1; tag <= 7; ++tag)
    m_days[std::size_t(tag - 1)]->setChecked(
        std::find(initial.weekdays.begin(), initial.weekdays.end(), tag) != initial.weekdays.end());
  const auto animationAt = std::find_if(QuibAction::allCases.begin(), QuibAction::allCases.end(),
                                        [&](auto action) { return QuibAction(action).rawValue() == initial.animation; });
  m_animationPopup->setCurrentIndex(
      animationAt == QuibAction::allCases.end() ? 0 : int(animationAt - QuibAction::allCases.begin()));
  const auto actionAt = std::find(m_actionIDs.begin(), m_actionIDs.end(), initial.actionID);
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
  const std::optional<ReminderTimeSummary> summary =
      ReminderForm::summary(selectedTime(), m_now(), ReminderSchedule::calendar());
  if (!summary) return;
  m_dateSummary->setText(summary->text);
  DesignFrames::setTextColor(m_dateSummary, summary->past ? orange : secondaryLabel);
  if (!summary->past && m_showsPastRefusal) showStatus(QString());
}

void ReminderEditor::updateRepeat() {
  const bool weekly = ReminderForm::usesWeekdays(ReminderRepeat::allCases[std::size_t(m_repeatPopup->currentIndex())]);
  for (QCheckBox* box : m_days) box->setVisible(weekly);
}

bool ReminderEditor::readyToStep() {
  try {
    commitDateEditing();
  } catch (const QuibError& error) {
    showStatus(error.message());
    return false;
  }
  return true;
}

void ReminderEditor::step(const ReminderStep& step) {
  if (!readyToStep()) return;
  const std::optional<ReminderTime> stepped = step.applied(selectedTime(), ReminderSchedule::calendar());
  if (!stepped) return;
  setPickers(*stepped);
  dateChanged();
}

ReminderFields ReminderEditor::fields() const {
  ReminderFields fields;
  fields.name = m_nameField->text();
  fields.message = m_messageView->toPlainText();
  fields.time = selectedTime();
  fields.repeatRule = ReminderRepeat::allCases[std::size_t(m_repeatPopup->currentIndex())];
  for (int tag = 1; tag <= 7; ++tag)
    if (m_days[std::size_t(tag - 1)]->isChecked()) fields.weekdays.push_back(tag);
  fields.animation = QuibAction(QuibAction::allCases[std::size_t(m_animationPopup->currentIndex())]).rawValue();
  fields.actionID = m_actionIDs[std::size_t(m_actionPopup->currentIndex())];
  return fields;
}

QuibReminder ReminderEditor::value() {
  commitDateEditing();
  return m_form.reminder(fields(), m_shortcuts.shortcuts());
}

void ReminderEditor::present() {
  if (!original() && !window()->isVisible()) {
    setPickers(ReminderTime(m_now(), ReminderSchedule::calendar()));
    dateChanged();
  }
  window()->makeKeyAndOrderFront();
  window()->activateWindow();
  m_nameField->setFocus();
}

void ReminderEditor::showStatus(const QString& text) {
  m_status->setText(text);
  m_showsPastRefusal = false;
}

void ReminderEditor::showPastRefusal() {
  m_status->setText(ReminderForm::pastTime);
  m_showsPastRefusal = true;
}

void ReminderEditor::preview() {
  QuibReminder reminder;
  try {
    reminder = value();
  } catch (const QuibError& error) {
    showStatus(error.message());
    return;
  }
  showStatus(QStringLiteral("Preview only \u2014 nothing is saved or scheduled."));
  if (onPreview) onPreview(reminder);
}

void ReminderEditor::save() {
  if (!onSave) {
    window()->close();
    return;
  }
  // The summary is brought up to date before a refusal shows, so that a
  // refusal of a time within the current minute is not wiped out again at once.
  try {
    const QuibReminder reminder = value();
    if (m_form.refusesAsPast(reminder, m_now())) {
      dateChanged();
      showPastRefusal();
      return;
    }
    onSave(reminder);
  } catch (const std::exception& error) {
    dateChanged();
    showStatus(ReminderStore::text(error));
    return;
  }
  window()->close();
}

void ReminderEditor::cancel() { window()->close(); }
