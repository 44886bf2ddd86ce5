// The favorites file against writers killed at random moments and against
// running copies changing it at once.
#include "clipboard/FavoritesSupport.h"
#include "support/HelperProcess.h"
#include "support/StoreHarness.h"

#include <gtest/gtest.h>

namespace {

/// The one favorite the crash helper keeps changing; change n gives it n in every field.
ClipboardFavorite counter(int n) {
  return {QStringLiteral("c"), QStringLiteral("Change %1").arg(n), QStringLiteral("Text of change %1").arg(n),
          n % 2 ? QStringLiteral("links") : QStringLiteral("others")};
}

/// The change count held by the favorites in `items`; none when they are no state of the helper.
std::optional<int> counterState(const std::vector<ClipboardFavorite>& items) {
  if (items.empty()) return 0;
  if (items.size() != 1) return std::nullopt;
  const auto n = test::changeNumber(items[0].name, QStringLiteral("Change "));
  return n && items[0] == counter(*n) ? n : std::nullopt;
}

test::CrashSubject favoritesSubject() {
  const QString folder = test::favoritesFolder();
  return {"changeFavoritesForever", folder,
          [folder]() -> std::optional<int> {
            const auto bytes = pf::Files::read(folder + QStringLiteral("/clipboard-favorites.json"));
            if (!bytes) return 0;
            ClipboardFavoritesFile file = ClipboardFavoritesFile::decode(*bytes);
            file.validate();
            if (file.lists != ClipboardFavoritesFile::empty().lists) return std::nullopt;
            return counterState(file.items);
          },
          [folder]() -> std::optional<int> {
            const ClipboardFavoritesStore store(folder);
            return store.failure() ? std::nullopt : counterState(store.items());
          }};
}

}  // namespace

WENDLE_TEST_HELPER(changeFavoritesForever) {
  ClipboardFavoritesStore store(args.value(0));
  const int done = counterState(store.items()).value_or(-1);
  if (done < 0) return 2;
  test::commitForever(done + 1,
                      [&](int n) { store.save(counter(n), n > 1 ? std::optional(counter(n - 1)) : std::nullopt); });
}

WENDLE_TEST_HELPER(addFavoritesRetrying) {
  ClipboardFavoritesStore store(args.value(0));
  return test::changeRetryingWhileBusy(
      args.value(2).toInt(),
      [&](int n) { store.save(test::favorite(args.value(1) + QString::number(n)), std::nullopt); },
      test::says(test::busyMessage));
}

TEST(FavoritesHarness, AKilledWriterLeavesACommittedState) { test::runCrashHarness(favoritesSubject()); }

TEST(FavoritesHarness, CopiesChangingAtOnceKeepEveryChangeOnce) {
  const test::Contention contention;
  contention.run("addFavoritesRetrying", test::favoritesFolder());
  const ClipboardFavoritesStore store(test::favoritesFolder());
  QStringList ids;
  for (const ClipboardFavorite& item : store.items()) ids << item.id;
  contention.expectEachOnce(ids);
}
