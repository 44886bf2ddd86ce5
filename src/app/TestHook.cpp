#include "app/TestHook.h"

#include "app/AppDelegate.h"
#include "character/ui/CompanionPanel.h"
#include "character/ui/RobotView.h"
#include "launcher/ui/LauncherPanel.h"
#include "reminders/ui/ReminderBubble.h"
#include "reminders/ui/ReminderFeature.h"

#include <QAccessible>
#include <QAbstractItemView>
#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMetaEnum>
#include <QTextEdit>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace {

void answer(const QByteArray& line) {
  std::fputs((line + '\n').constData(), stdout);
  std::fflush(stdout);
}

/// Answers each shown node under `node`, as a screen reader reads it.
void describe(QAccessibleInterface* node) {
  if (!node || !node->isValid()) return;
  const QAccessible::State state = node->state();
  if (state.invisible || state.offscreen) return;
  const QRect rect = node->rect();
  const QJsonObject seen{
      {QStringLiteral("role"), QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role()))},
      {QStringLiteral("rect"), QJsonArray{rect.x(), rect.y(), rect.width(), rect.height()}},
      {QStringLiteral("name"), node->text(QAccessible::Name)},
      {QStringLiteral("value"), node->text(QAccessible::Value)},
      {QStringLiteral("checked"), bool(state.checked)}};
  answer(QJsonDocument(seen).toJson(QJsonDocument::Compact));
  for (int i = 0; i < node->childCount(); ++i) describe(node->child(i));
}

}  // namespace

std::unique_ptr<TestHook> TestHook::installIfAsked(AppDelegate& delegate) {
  if (qgetenv("WENDLE_TEST_HOOK") != "stdio") return nullptr;
  std::unique_ptr<TestHook> hook(new TestHook(delegate));
  answer("ready");
  return hook;
}

TestHook::TestHook(AppDelegate& delegate) : m_delegate(delegate), m_input(STDIN_FILENO, QSocketNotifier::Read) {
  connect(&m_input, &QSocketNotifier::activated, this, [this] { readCommands(); });
}

void TestHook::readCommands() {
  char buffer[512];
  const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
  if (count <= 0) {
    m_input.setEnabled(false);
    return;
  }
  m_pending.append(buffer, count);
  qsizetype end;
  while ((end = m_pending.indexOf('\n')) >= 0) {
    const QByteArray command = m_pending.left(end).trimmed();
    m_pending.remove(0, end + 1);
    run(command);
  }
}

void TestHook::run(const QByteArray& command) {
  if (command == "companion") {
    const CompanionPanel* panel = m_delegate.companionPanel();
    if (!panel) return answer("companion none");
    const pf::Rect f = panel->frame();
    const RobotView* view = panel->robotView();
    answer("companion " + QByteArray::number(panel->isVisible()) + ' ' + QByteArray::number(f.origin.x) + ' ' +
           QByteArray::number(f.origin.y) + ' ' + QByteArray::number(f.size.width) + ' ' +
           QByteArray::number(f.size.height) + ' ' + view->character().title().toUtf8() + ' ' +
           QByteArray::number(view->hasArtwork()));
  } else if (command.startsWith("menu ")) {
    const QByteArray title = command.mid(5);
    QAction* item = m_delegate.statusMenu().item(QString::fromUtf8(title));
    answer((item ? "chosen " : "missing ") + title);
    if (item) item->trigger();
  } else if (command == "bubble") {
    answerBubble();
  } else if (command.startsWith("look ")) {
    answerLook(quintptr(command.mid(5).toULongLong()));
  } else {
    answer("unknown " + command);
  }
}

void TestHook::answerBubble() {
  const ReminderFeature& reminders = m_delegate.reminders();
  const LauncherPanel* panel = reminders.panel();
  if (!panel || !panel->isVisible()) return answer("bubble hidden");
  const pf::Rect f = panel->frame();
  const ReminderBubble& bubble = reminders.bubble();
  answer("bubble " + QByteArray::number(f.origin.x) + ' ' + QByteArray::number(f.origin.y) + ' ' +
         QByteArray::number(f.size.width) + ' ' + QByteArray::number(f.size.height) + ' ' +
         bubble.titleField()->text().toUtf8() + '|' + bubble.message()->toPlainText().toUtf8());
}

void TestHook::answerLook(quintptr window) {
  // A hidden window reads as nothing: its root node says it is invisible.
  if (QWidget* widget = QWidget::find(WId(window))) {
    // With no screen reader running, Qt does not tell a list's reader of a
    // changed model: read every list afresh.
    for (QAbstractItemView* view : widget->findChildren<QAbstractItemView*>())
      if (QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(list));
    describe(QAccessible::queryAccessibleInterface(widget));
  }
  answer("end");
}
