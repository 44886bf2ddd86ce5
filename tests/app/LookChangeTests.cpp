#include "app/AppDelegate.h"
#include "clipboard/ui/ClipboardFavoriteEditor.h"
#include "clipboard/ui/ClipboardFavoritesController.h"
#include "filedrop/ui/FileDropController.h"
#include "launcher/LauncherAssignmentStore.h"
#include "launcher/ui/LauncherPanel.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/AnimationClock.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Window.h"
#include "reminders/ui/ReminderEditor.h"
#include "reminders/ui/ReminderFeature.h"
#include "reminders/ui/ReminderList.h"
#include "settings/ui/SettingsWindowController.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/ShortcutEditorController.h"
#include "shortcuts/ui/ShortcutEditorWindow.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTime>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

/// The whole program, made over the stored look and the test's home.
std::unique_ptr<AppDelegate> launched() {
  auto delegate = std::make_unique<AppDelegate>(
      std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), pf::SystemInfo::applicationDataDirectory()),
      pf::UserDefaults::standard(), QStringLiteral(WENDLE_ASSETS));
  delegate->applicationDidFinishLaunching();
  return delegate;
}

/// The pop-up list of `window` on the row of the text `label`.
QComboBox* popUpLabelled(pf::Window* window, const QString& label) {
  const auto row = [&](const QWidget* w) { return w->mapTo(window, w->rect().center()).y(); };
  for (auto* text : window->findChildren<QLabel*>()) {
    if (text->text() != label) continue;
    for (auto* box : window->findChildren<QComboBox*>())
      if (std::abs(row(box) - row(text)) < 8) return box;
  }
  ADD_FAILURE() << "no pop-up labelled " << label.toStdString();
  return nullptr;
}

/// Chooses `item` in the pop-up labelled `label`, as a person's click does.
void choose(pf::Window* window, const QString& label, const QString& item) {
  QComboBox* box = popUpLabelled(window, label);
  if (!box) return;
  const int index = box->findText(item);
  ASSERT_GE(index, 0) << item.toStdString();
  box->setCurrentIndex(index);
  emit box->activated(index);
}

void press(pf::Window* window, const QString& title) {
  for (auto* button : window->findChildren<QAbstractButton*>()) {
    if (button->text() == title) return button->click();
  }
  ADD_FAILURE() << title.toStdString() << " is not in " << window->windowTitle().toStdString();
}

/// Opens every window the program opens, as a person reaches each; gives
/// each one by name, the launcher last (a window opening closes it).
std::vector<std::pair<const char*, QWidget*>> openEveryWindow(AppDelegate& program, const QString& dropped) {
  const auto choose = [&](const char* item) { program.statusMenu().item(QString::fromUtf8(item))->trigger(); };
  choose("Edit Shortcuts…");
  choose("Settings…");
  choose("Clipboard…");
  program.clipboardFavorites()->newFavorite();
  choose("Reminders…");
  press(program.reminders().list().window(), QStringLiteral("New…"));
  pf::Window* editor = program.reminders().editor()->window();
  editor->findChild<QLineEdit*>()->setText(QStringLiteral("Tea"));
  editor->findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("Time for a cup of tea."));
  program.reminders().editor()->preview();
  program.fileDrop().present({QUrl::fromLocalFile(dropped)});
  program.launcherPanel()->orderFront();
  return {
      {"Edit Shortcuts", program.shortcutEditor().window()},
      {"Settings", program.settings()->window()},
      {"Clipboard", program.clipboardFavorites()->window()},
      {"favorite editor", program.clipboardFavorites()->editor()->window()},
      {"Reminders list", program.reminders().list().window()},
      {"Reminder editor", program.reminders().editor()->window()},
      {"reminder bubble", program.reminders().panel()},
      {"file drop", program.fileDrop().window()},
      {"launcher", program.launcherPanel()},
  };
}

std::vector<QImage> pictures(const std::vector<std::pair<const char*, QWidget*>>& windows) {
  QTest::qWait(50);  // queued repaints and layouts land
  std::vector<QImage> shown;
  for (const auto& [name, window] : windows) {
    EXPECT_TRUE(window && window->isVisible()) << name << " is not shown";
    shown.push_back(window ? window->grab().toImage() : QImage());
  }
  return shown;
}

}  // namespace

// A window open through a look change shows, pixel for pixel, what the same
// window built afresh in the new look shows: a colour kept privately, an
// appearance taken only when built, a picture drawn for the old palette all
// show up here. Animation holds still and the caret does not blink.
TEST(LookChange, EveryOpenWindowShowsWhatOneBuiltInTheNewLookShows) {
  pf::UserDefaults::resetAll();
  LauncherAssignmentStore::resetShared();
  pf::Accessibility::overrideReduceMotion(true);
  pf::AnimationClock::setTimeSource([] { return 100.0; });
  QApplication::setCursorFlashTime(0);
  const QString dropped = test::home() + QStringLiteral("/notes.txt");
  test::writeFile(dropped, "notes");

  const std::unique_ptr<AppDelegate> open = launched();
  const auto openWindows = openEveryWindow(*open, dropped);
  // Each change is made in the open program's Settings window, as a person makes it.
  pf::Window* settings = open->settings()->window();
  const struct {
    const char* name;
    std::function<void()> change;
  } changes[] = {
      {"a new accent", [&] { choose(settings, QStringLiteral("Accent"), QStringLiteral("Green")); }},
      {"a new background", [&] { choose(settings, QStringLiteral("Background"), QStringLiteral("Deep Purple")); }},
      {"a light skin", [&] { choose(settings, QStringLiteral("Skin"), QStringLiteral("Pearl Space")); }},
      {"a custom accent",
       [&] {
         choose(settings, QStringLiteral("Accent"), QStringLiteral("Custom Color…"));
         open->settings()->colorPanel()->setCurrentColor(QColor(255, 128, 0));
       }},
      {"a dark themed skin", [&] { choose(settings, QStringLiteral("Skin"), QStringLiteral("Steampunk")); }},
      {"the accent on the trim only", [&] { settings->findChild<QCheckBox*>()->click(); }},
  };
  // The reminder editor shows the minute it opened in, so it is compared only
  // while a fresh one opens in that same minute: the run may cross into the next.
  const int openMinute = QTime::currentTime().minute();
  for (const auto& change : changes) {
    change.change();
    const std::vector<QImage> changed = pictures(openWindows);
    const std::unique_ptr<AppDelegate> fresh = launched();
    const std::vector<QImage> built = pictures(openEveryWindow(*fresh, dropped));
    const bool sameMinute = QTime::currentTime().minute() == openMinute;
    for (std::size_t i = 0; i < openWindows.size(); ++i) {
      if (openWindows[i].first == std::string("Reminder editor") && !sameMinute) continue;
      EXPECT_TRUE(changed[i] == built[i])
          << openWindows[i].first << " after " << change.name << " differs from one built afresh";
    }
  }
  QApplication::setCursorFlashTime(1000);
  pf::AnimationClock::setTimeSource({});
  pf::Accessibility::overrideReduceMotion(std::nullopt);
  LauncherAssignmentStore::resetShared();
}
