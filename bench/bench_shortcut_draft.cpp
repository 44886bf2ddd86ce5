// Cost of saving the editor's draft at the catalog's largest: 128 shortcuts,
// half of them folders with bookmarks, checked, pruned, validated, encoded
// and saved under the lock with its previous copy.
#include "BenchMain.h"
#include "ThrowawayDefaults.h"
#include "shortcuts/ShortcutPresets.h"
#include "shortcuts/ShortcutStore.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

/// A store over a fresh folder holding a full catalog: the stock shortcuts,
/// then folders (each with a real folder on disk) and websites up to 128.
struct FullStore {
  ThrowawayDefaults defaults;
  QTemporaryDir folder;
  ShortcutStore store{pf::UserDefaults::standard(), folder.path() + QStringLiteral("/catalog")};
  int edits = 0;

  FullStore() {
    std::vector<Shortcut> shortcuts = ShortcutPresets::creator();
    for (int i = int(shortcuts.size()); i < 128; ++i) {
      const bool isFolder = i % 2 == 0;
      const QString destination = isFolder ? folder.path() + QStringLiteral("/Folder %1").arg(i)
                                           : QStringLiteral("https://example.com/path/%1?from=wendle").arg(i);
      if (isFolder) QDir().mkpath(destination);
      shortcuts.push_back({QStringLiteral("shortcut-%1").arg(i), QStringLiteral("Shortcut %1").arg(i),
                           isFolder ? ShortcutKind::folder : ShortcutKind::web, destination,
                           QStringLiteral("A note about shortcut %1 that is a sentence long.").arg(i), std::nullopt,
                           std::nullopt, i % 5 != 0});
    }
    store.replaceShortcuts(shortcuts);
  }

  /// A draft of everything with one label changed, so every save writes.
  ShortcutDraft editedDraft() {
    ShortcutDraft draft(store.shortcuts());
    draft.items.back().label = QStringLiteral("Edited %1").arg(++edits);
    return draft;
  }
};

void saveEditedDraft(benchmark::State& state) {
  FullStore full;
  for (auto _ : state) full.store.saveDraft(full.editedDraft());
}
BENCHMARK(saveEditedDraft)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

/// The same save with a folder chosen anew for each of the 60 folders made
/// here: one check and one fresh bookmark each.
void saveDraftWithChosenFolders(benchmark::State& state) {
  FullStore full;
  for (auto _ : state) {
    ShortcutDraft draft = full.editedDraft();
    for (const Shortcut& s : draft.items)
      if (s.kind == ShortcutKind::folder && !s.isStock())
        draft.selectedFiles[s.id] = QUrl::fromLocalFile(s.destination);
    full.store.saveDraft(draft);
  }
}
BENCHMARK(saveDraftWithChosenFolders)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
