#pragma once

#include "launcher/LauncherAssignmentStore.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"

#include <gtest/gtest.h>
#include <memory>

/// A companion's shortcut store over a catalog of `count` active web
/// shortcuts "s1", "s2", ... (labels "Shortcut 1", ...) in the test's home,
/// with fresh defaults and a fresh positions store.
class LauncherFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    pf::UserDefaults::resetAll();
    LauncherAssignmentStore::resetShared();
  }
  void TearDown() override {
    LauncherAssignmentStore::resetShared();
    pf::UserDefaults::resetAll();
  }

  static Shortcut web(int n) {
    return {QStringLiteral("s%1").arg(n),
            QStringLiteral("Shortcut %1").arg(n),
            ShortcutKind::web,
            QStringLiteral("https://example.com/%1").arg(n),
            QStringLiteral("Note %1").arg(n),
            std::nullopt,
            std::nullopt,
            true};
  }

  /// Writes the catalog and opens the store over it.
  std::shared_ptr<ShortcutStore> makeStore(int count) {
    std::vector<Shortcut> shortcuts;
    for (int n = 1; n <= count; ++n) shortcuts.push_back(web(n));
    return makeStore(shortcuts);
  }

  std::shared_ptr<ShortcutStore> makeStore(const std::vector<Shortcut>& shortcuts) {
    const QString directory = pf::SystemInfo::applicationDataDirectory();
    ShortcutCatalogRepository(directory).load([&] { return ShortcutCatalog{2, shortcuts, {}}; }, std::nullopt);
    return std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), directory);
  }

  static void saveSize(const QVariant& width, const QVariant& height) {
    pf::UserDefaults::standard().set(QStringLiteral("contentSize.launcher"),
                                     QVariantMap{{QStringLiteral("width"), width}, {QStringLiteral("height"), height}});
  }
};
