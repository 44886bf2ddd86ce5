#pragma once

#include "app/AppDelegate.h"
#include "launcher/LauncherAssignmentStore.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Window.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace test {

/// The visible window of the program with this title, if any.
inline pf::Window* windowTitled(const QString& title) {
  for (pf::Window* window : pf::Window::windows())
    if (window->windowTitle() == title && window->isVisible()) return window;
  return nullptr;
}

/// The whole program launched over a catalog of the given shortcuts, in the
/// test's own home; everything shared is reset before and after.
class LaunchedProgram : public ::testing::Test {
 protected:
  void launch(const std::vector<Shortcut>& shortcuts) {
    pf::UserDefaults::resetAll();
    LauncherAssignmentStore::resetShared();
    const QString directory = ShortcutCatalogRepository::applicationDirectory();
    ShortcutCatalogRepository(directory).load([&] { return ShortcutCatalog{2, shortcuts, {}}; }, std::nullopt);
    delegate = std::make_unique<AppDelegate>(
        std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), directory), pf::UserDefaults::standard(),
        QStringLiteral(WENDLE_ASSETS));
    delegate->applicationDidFinishLaunching();
  }
  void TearDown() override {
    delegate.reset();
    LauncherAssignmentStore::resetShared();
    pf::UserDefaults::resetAll();
  }

  std::unique_ptr<AppDelegate> delegate;
};

}  // namespace test
