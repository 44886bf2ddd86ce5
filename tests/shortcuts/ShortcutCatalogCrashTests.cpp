// The catalog against writers killed at random moments and against running
// copies changing it at once.
#include "shortcuts/RepositorySupport.h"
#include "support/HelperProcess.h"
#include "support/StoreHarness.h"

#include <gtest/gtest.h>

namespace {

/// The catalog after change n: full, so that a kill often lands inside a write.
ShortcutCatalog counter(int n) {
  ShortcutCatalog catalog = test::catalogOf(128);
  for (Shortcut& s : catalog.shortcuts) s.note = QStringLiteral("Change %1 ").arg(n).repeated(20);
  return catalog;
}

std::optional<int> counterState(const ShortcutCatalog& catalog) {
  if (catalog.shortcuts.empty()) return std::nullopt;
  const auto n = test::changeNumber(catalog.shortcuts[0].note.section(u' ', 0, 1), QStringLiteral("Change "));
  return n && catalog == counter(*n) ? n : std::nullopt;
}

const auto noSeed = [] {
  ADD_FAILURE() << "a catalog that was saved was seeded again";
  return ShortcutCatalog();
};

test::CrashSubject catalogSubject() {
  const QString folder = test::catalogFolder();
  return {"saveCatalogForever", folder,
          [folder]() -> std::optional<int> {
            const auto bytes = pf::Files::read(folder + QStringLiteral("/shortcuts.json"));
            return bytes ? counterState(ShortcutCatalog::decode(*bytes)) : 0;
          },
          [folder]() -> std::optional<int> {
            if (!pf::Files::read(folder + QStringLiteral("/shortcuts.json"))) return 0;
            ShortcutCatalogRepository repository(folder);
            try {
              const auto loaded = repository.load(noSeed, std::nullopt);
              return loaded.notice ? std::nullopt : counterState(loaded.catalog);
            } catch (const CatalogError&) {
              return std::nullopt;
            }
          }};
}

bool busyOrChanged(const std::exception& error) {
  const QString sentence = QString::fromUtf8(error.what());
  return sentence == QString::fromUtf8(ShortcutCatalogRepository::busy().what()) ||
         sentence == QString::fromUtf8(CatalogError::conflict().what());
}

}  // namespace

WENDLE_TEST_HELPER(saveCatalogForever) {
  ShortcutCatalogRepository repository(args.value(0));
  const int done = counterState(repository.load([] { return counter(0); }, std::nullopt).catalog).value_or(-1);
  if (done < 0) return 2;
  test::commitForever(done + 1, [&](int n) { repository.save(counter(n), {}); });
}

/// Each change loads the catalog afresh and adds one bookmark under the change's name.
WENDLE_TEST_HELPER(addBookmarksRetrying) {
  return test::changeRetryingWhileBusy(
      args.value(2).toInt(),
      [&](int n) {
        ShortcutCatalogRepository repository(args.value(0));
        ShortcutCatalog catalog = repository.load([] { return test::catalogOf(1); }, std::nullopt).catalog;
        catalog.bookmarks[args.value(1) + QString::number(n)] = "bookmark";
        repository.save(catalog, {});
      },
      busyOrChanged);
}

TEST(CatalogHarness, AKilledWriterLeavesACommittedState) { test::runCrashHarness(catalogSubject()); }

TEST(CatalogHarness, CopiesChangingAtOnceKeepEveryChangeOnce) {
  const test::Contention contention;
  contention.run("addBookmarksRetrying", test::catalogFolder());
  ShortcutCatalogRepository repository(test::catalogFolder());
  const ShortcutCatalog catalog = repository.load(noSeed, std::nullopt).catalog;
  QStringList names;
  for (const auto& [key, bookmark] : catalog.bookmarks) names << key;
  contention.expectEachOnce(names);
}
