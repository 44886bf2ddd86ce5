#include "desktop/DesktopTest.h"

#include "app/AppDelegate.h"
#include "desktop/XSession.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QThread>
#include <stdexcept>

namespace desk {
namespace {

// Started before main, so every test program of the suite has its desktop.
[[maybe_unused]] const auto* session = ::testing::AddGlobalTestEnvironment(new XSession);

}  // namespace

DesktopTest::DesktopTest()
    : home(test::home()),
      input(XSession::shared().display()),
      windows(XSession::shared().display()),
      screen(XSession::shared().display()) {}

void DesktopTest::TearDown() {
  if (HasFailure()) {
    shot(QStringLiteral("failed"));
    for (const auto& program : programs) std::cerr << program->errors().toStdString();
  }
  programs.clear();
  // The next test starts on an empty first desktop with the pointer out of the way.
  waitUntil([&] { return windows.shown().empty(); }, 5000);
  windows.switchToDesktop(0);
  input.moveTo({0, 0});
}

void DesktopTest::placeCompanion(double x, double yUp) {
  pf::UserDefaults::standard().set(AppDelegate::robotXKey, x);
  pf::UserDefaults::standard().set(AppDelegate::robotYKey, yUp);
}

Shortcut DesktopTest::shortcut(const QString& label, ShortcutKind kind, const QString& destination) {
  Shortcut made;
  made.id = label.toLower();
  made.label = label;
  made.kind = kind;
  made.destination = destination;
  return made;
}

void DesktopTest::writeShortcuts(const std::vector<Shortcut>& shortcuts) {
  const ShortcutCatalog catalog{ShortcutCatalog::currentVersion, shortcuts, {}};
  ShortcutCatalogRepository(pf::SystemInfo::applicationDataDirectory()).load([&] { return catalog; }, {});
}

RunningWendle& DesktopTest::start() {
  programs.push_back(std::make_unique<RunningWendle>(home, XSession::shared().displayName()));
  // Nothing of a road can be seen without the program: the test ends here.
  if (!programs.back()->ready())
    throw std::runtime_error("wendle did not start: " + programs.back()->errors().toStdString());
  // The program knows where the companion stands from the moment it shows it,
  // so a window it opens at once goes beside it.
  const QByteArray shown = programs.back()->ask("companion");
  // A person begins once the companion stands still where it shows.
  windows.settled(companionTitle);
  EXPECT_EQ(shown.toStdString(), programs.back()->ask("companion").toStdString())
      << "the companion's place read otherwise as it showed";
  return *programs.back();
}

TopWindow DesktopTest::companion() const {
  const std::optional<TopWindow> window = windows.waitFor(companionTitle);
  EXPECT_TRUE(window) << "no companion shows";
  return window.value_or(TopWindow{});
}

TopWindow DesktopTest::openLauncher() {
  const QRect body = companion().clientRect;
  // From outside, so the companion sees the pointer come in.
  input.moveTo(body.topLeft() - QPoint(40, 40));
  input.moveTo(body.center());
  const std::optional<TopWindow> launcher = windows.waitFor(launcherTitle);
  EXPECT_TRUE(launcher) << "pointing at the companion opened no launcher";
  return launcher.value_or(TopWindow{});
}

std::optional<TopWindow> DesktopTest::openFromHook(RunningWendle& program, const QString& item, const QString& title) {
  EXPECT_EQ(program.ask("menu " + item.toUtf8()), "chosen " + item.toUtf8());
  return windows.waitFor(title);
}

void DesktopTest::chooseFromMenu(const QString& item) {
  input.click(companion().clientRect.center(), 3);
  clickShown(*programs.front(), item);
}

void DesktopTest::clickOn(RunningWendle& program, const TopWindow& window, const QString& name) {
  std::optional<Seen> seen;
  ASSERT_TRUE(waitUntil([&] { return (seen = program.find(window.id, name)).has_value(); }))
      << name.toStdString() << " is not in " << window.title.toStdString();
  input.moveTo(seen->rect.center());
  // A pop-up list is a window of its own, over its window. A window that was just
  // asked to the front may take a moment to get there on a loaded desktop.
  std::optional<TopWindow> under;
  EXPECT_TRUE(waitUntil(
      [&] {
        under = windows.underPointer();
        return under && (under->id == window.id || !under->managed);
      },
      3000))
      << name.toStdString() << " in " << window.title.toStdString() << " lies under "
      << (under ? under->title.toStdString() : "nothing");
  input.press();
  input.release();
}

::testing::AssertionResult DesktopTest::dropOnCompanion(DesktopPeer& peer, QPoint from) {
  const TopWindow standing = companion();
  const QPoint to = standing.clientRect.center();
  // Just left of the companion: near enough for its drop area to open, not yet over it.
  const QPoint near(standing.frameRect.left() - 8, to.y());
  input.moveTo(from);
  input.press();
  // The peer starts its drag when it reads the press, which a loaded desktop delays.
  const bool pickedUp = peer.said("carrying");
  input.moveAlong(from, near);
  // A drop area that opens under files held still never hears of them until they move again.
  const bool opened = pickedUp && windows.waitFor(dropAreaTitle);
  input.moveAlong(near, to);
  // Let go before the drop area has answered and the drag ends as refused.
  const bool taken = opened && peer.said("accepted");
  input.release();
  if (!pickedUp) return ::testing::AssertionFailure() << "the other program did not start dragging its files";
  if (!opened) return ::testing::AssertionFailure() << "no drop area opened round the companion";
  if (!taken) return ::testing::AssertionFailure() << "the companion did not take the files";
  return ::testing::AssertionSuccess();
}

std::optional<std::pair<TopWindow, Seen>> DesktopTest::onScreen(RunningWendle& program,
                                                                const std::function<bool(const Seen&)>& matches) const {
  const std::vector<TopWindow> shown = windows.shown();
  for (auto window = shown.rbegin(); window != shown.rend(); ++window)
    for (const Seen& seen : program.look(window->id))
      if (matches(seen)) return std::pair{*window, seen};
  return std::nullopt;
}

void DesktopTest::clickShown(RunningWendle& program, const QString& name) {
  std::optional<std::pair<TopWindow, Seen>> found;
  ASSERT_TRUE(waitUntil([&] {
    return (found = onScreen(program, [&](const Seen& seen) { return seen.name == name; })).has_value();
  })) << name.toStdString()
      << " does not show";
  input.click(found->second.rect.center());
}

std::string DesktopTest::where(const TopWindow& window) {
  const QRect& r = window.frameRect;
  return QStringLiteral("%1 at %2, %3, %4 x %5")
      .arg(window.title)
      .arg(r.x())
      .arg(r.y())
      .arg(r.width())
      .arg(r.height())
      .toStdString();
}

::testing::AssertionResult DesktopTest::inFront(const TopWindow& window) const {
  std::vector<TopWindow> over = windows.covering(window);
  // The launcher tucks two pixels into the companion's clear margin: a sliver
  // that thin at an edge hides nothing a person could see.
  std::erase_if(over, [&](const TopWindow& other) {
    const QRect shared = other.frameRect.intersected(window.frameRect);
    return shared.width() <= 2 || shared.height() <= 2;
  });
  if (over.empty()) return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << where(window) << " is covered by";
  for (const TopWindow& other : over) failure << ' ' << where(other);
  return failure;
}

void DesktopTest::shot(const QString& step) const {
  // Fades and repaints settle first, as they would before a person looks.
  QThread::msleep(250);
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  screen.save(QString::fromLatin1(test->name()) + u'-' + step);
}

}  // namespace desk
