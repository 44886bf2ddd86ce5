#include "reminders/ui/ReminderFeature.h"

#include "launcher/ui/LauncherPanel.h"
#include "platform/core/QtMainQueue.h"
#include "platform/core/SystemClockMonitor.h"
#include "platform/ui/Screens.h"
#include "platform/ui/Window.h"
#include "reminders/ui/ReminderBubble.h"
#include "reminders/ui/ReminderEditor.h"
#include "reminders/ui/ReminderList.h"
#include "shortcuts/ShortcutStore.h"
#include "widgets/ContentWindowSizing.h"

#include <QDateTime>
#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <algorithm>

namespace {

constexpr double bubbleWidth = 390;
constexpr double screenInset = 8;
constexpr double gapAboveCompanion = 10;

ReminderFeature::Services filledIn(ReminderFeature::Services services) {
  if (!services.clock) services.clock = &pf::SystemClock::shared();
  if (!services.queue) services.queue = &pf::QtMainQueue::shared();
  if (services.zoneFile.isEmpty()) services.zoneFile = pf::SystemClockMonitor::systemZoneFile;
  return services;
}

}  // namespace

ReminderFeature::ReminderFeature(ShortcutStore& shortcuts, std::optional<QString> directory, Services services)
    : m_shortcuts(shortcuts),
      m_services(filledIn(std::move(services))),
      m_store(directory.value_or(shortcuts.dataDirectory())),
      m_coordinator(m_store, *m_services.clock, *m_services.queue),
      m_list(std::make_unique<ReminderList>(m_store, &shortcuts.defaults())),
      m_bubble(std::make_unique<ReminderBubble>()) {
  wireCoordinator();
  wireList();
  wireBubble();
}

ReminderFeature::~ReminderFeature() { stop(); }

void ReminderFeature::wireCoordinator() {
  const QPointer<ReminderFeature> self(this);
  m_coordinator.canPresent = [self] { return self && !self->m_previewReminder && self->available(); };
  m_coordinator.onPresent = [self](const ReminderOccurrence& occurrence, bool animate) {
    if (self) self->show(occurrence.reminder, false, animate);
  };
  m_coordinator.onDismiss = [self] {
    if (self) self->hideBubble();
  };
  m_coordinator.onError = [self](const QString& text) {
    if (self) self->showFailure(text);
  };
}

void ReminderFeature::wireList() {
  const QPointer<ReminderFeature> self(this);
  m_list->onNew = [self] {
    if (self) self->edit(std::nullopt);
  };
  m_list->onEdit = [self](const QuibReminder& reminder) {
    if (self) self->edit(reminder);
  };
  m_list->onChange = [self] {
    if (self) self->m_coordinator.check();
  };
  m_list->onClose = [self] {
    if (self) self->reportHoldLater();
  };
}

void ReminderFeature::wireBubble() {
  const QPointer<ReminderFeature> self(this);
  m_bubble->onDone = [self] {
    if (!self) return;
    if (!self->m_previewReminder) {
      self->m_coordinator.done();
    } else {
      self->m_previewReminder.reset();
      self->hideBubble();
      self->m_coordinator.check();
    }
    self->m_list->refresh();
  };
  m_bubble->onSnooze = [self](double seconds) {
    if (!self) return;
    self->m_coordinator.snooze(seconds);
    self->m_list->refresh();
  };
  m_bubble->onAction = [self] {
    if (self) self->activateAction();
  };
  // Escape closes a bubble whose answer the journal refused; a preview closes with its own button.
  m_bubble->onEscape = [self] {
    if (self && !self->m_previewReminder) self->m_coordinator.setAside();
  };
}

void ReminderFeature::start() {
  m_coordinator.start();
  if (m_clockMonitor) return;
  m_clockMonitor = std::make_unique<pf::SystemClockMonitor>(m_services.zoneFile);
  m_clockMonitor->onTimeZoneChange = [this] { clockChanged(); };
  m_clockMonitor->onClockChange = [this] { clockChanged(); };
}

void ReminderFeature::stop() {
  m_coordinator.stop();
  m_clockMonitor.reset();
  if (m_panel) m_panel->dismiss();
}

// The kernel reports a wake as a clock change: both move what is due.
void ReminderFeature::clockChanged() {
  waking();
  m_list->refresh();
}

void ReminderFeature::waking() {
  m_coordinator.check();
  position();
}

void ReminderFeature::presentList() {
  if (positionWindow) positionWindow(m_list->window());
  m_list->present();
  reportHold();
}

bool ReminderFeature::isHolding() const {
  return (m_panel && m_panel->isVisible()) || m_list->window()->isVisible() ||
         (m_editor && m_editor->window()->isVisible());
}

void ReminderFeature::reportHold() {
  if (onHold) onHold(isHolding());
}

// A closing window is still visible while it tells of its closing.
void ReminderFeature::reportHoldLater() {
  m_services.queue->async(this, [this] {
    reportHold();
    m_coordinator.check();
  });
}

void ReminderFeature::show(const QuibReminder& reminder, bool preview, bool animate) {
  if (onReveal) onReveal();
  m_bubble->display(reminder, preview);
  const pf::Size size{double(m_bubble->view()->width()), double(m_bubble->view()->height())};
  if (!m_panel) makePanel();
  m_panel->setMinimumSize(int(bubbleWidth), int(size.height));
  m_bubbleSizing->useDefault(size);
  position();
  m_panel->setWindowOpacity(1);
  m_panel->orderFront();
  reportHold();
  if (animate) {
    if (const auto action = QuibAction::fromRawValue(reminder.animation); action && onAnimation) onAnimation(*action);
  }
  m_list->refresh();
}

void ReminderFeature::makePanel() {
  const pf::Size size{double(m_bubble->view()->width()), double(m_bubble->view()->height())};
  m_panel = std::make_unique<LauncherPanel>(m_bubble->view(), size);
  m_panel->setWindowTitle(panelTitle);
  m_bubbleSizing = std::make_unique<ContentWindowSizing>(m_panel.get(), QStringLiteral("reminderBubble"),
                                                         &m_shortcuts.defaults(),
                                                         pf::Size{bubbleWidth, size.height}, size);
}

void ReminderFeature::hideBubble() {
  if (m_panel) m_panel->dismiss();
  if (onStopAnimation) onStopAnimation();
  reportHold();
}

void ReminderFeature::position() {
  if (!m_panel || !placement) return;
  const std::optional<Placement> place = placement();
  if (!place || !place->second) return;
  m_panel->setFrameOrigin(
      bubbleOrigin(place->first, m_panel->frame().size, pf::Screens::visibleFrame(place->second)));
  m_panel->setLevel(pf::WindowLevel::frontOfDock);
}

pf::Point ReminderFeature::bubbleOrigin(const pf::Rect& companion, pf::Size size, const pf::Rect& visibleFrame) {
  const pf::Rect frame = visibleFrame.insetBy(screenInset, screenInset);
  const double x = std::min(std::max(companion.midX() - size.width / 2, frame.minX()), frame.maxX() - size.width);
  const double y = std::min(std::max(companion.maxY() + gapAboveCompanion, frame.minY()), frame.maxY() - size.height);
  return {x, y};
}

void ReminderFeature::preview(const QuibReminder& reminder) {
  if (m_coordinator.active()) {
    if (m_editor) {
      m_editor->window()->makeKeyAndOrderFront();
      m_editor->showStatus(previewRefused);
    }
    return;
  }
  m_previewReminder = reminder;
  show(reminder, true, true);
}

void ReminderFeature::edit(const std::optional<QuibReminder>& reminder) {
  if (m_editor && m_editor->window()->isVisible()) {
    m_editor->window()->makeKeyAndOrderFront();
    return;
  }
  m_editor = std::make_unique<ReminderEditor>(m_shortcuts, reminder,
                                              [clock = m_services.clock] { return clock->now(); });
  const QPointer<ReminderFeature> self(this);
  m_editor->onSave = [self, reminder](const QuibReminder& edited) {
    if (!self) return;
    self->m_store.save(edited, reminder, self->m_services.clock->now());
    self->m_list->refresh();
  };
  m_editor->onPreview = [self](const QuibReminder& shown) {
    if (self) self->preview(shown);
  };
  m_editor->onClose = [self] {
    if (!self) return;
    if (self->m_previewReminder) {
      self->m_previewReminder.reset();
      self->hideBubble();
    }
    self->reportHoldLater();
  };
  if (positionWindow) positionWindow(m_editor->window());
  m_editor->present();
  reportHold();
}

void ReminderFeature::activateAction() {
  const std::optional<ReminderOccurrence>& active = m_coordinator.active();
  if (m_previewReminder || !active || !active->reminder.actionID) return;
  const std::optional<Shortcut> shortcut = m_shortcuts.item(*active->reminder.actionID);
  if (!shortcut || !shortcut->isActive) {
    showFailure(unavailableShortcut);
    return;
  }
  if (!openAction) return;
  const QPointer<ReminderFeature> self(this);
  openAction(*shortcut, [self](std::optional<QString> error) {
    if (self && error) self->showFailure(*error);
  });
}

void ReminderFeature::showFailure(const QString& text) {
  m_list->showStatus(text);
  m_bubble->status()->setText(text);
  if (onNotice) onNotice(text);
}
