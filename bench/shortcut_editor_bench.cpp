// The Edit Shortcuts window over a full catalog of 128 shortcuts: opening it
// (built, filled and drawn once), an edit that refills both lists (a move),
// and decoding the companion's dance.
#include "ThrowawayDefaults.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "shortcuts/ShortcutCatalogRepository.h"
#include "shortcuts/ShortcutStore.h"
#include "shortcuts/ui/EditorActionButton.h"
#include "shortcuts/ui/ShortcutDanceView.h"
#include "shortcuts/ui/ShortcutEditorController.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<ShortcutStore> fullStore() {
  std::vector<Shortcut> shortcuts;
  for (int i = 0; i < 128; ++i)
    shortcuts.push_back({QStringLiteral("s%1").arg(i), QStringLiteral("Shortcut %1").arg(i), ShortcutKind::web,
                         QStringLiteral("https://example.com/%1").arg(i), QStringLiteral("A note"), std::nullopt,
                         std::nullopt, i % 3 != 0});
  const QString directory = pf::SystemInfo::applicationDataDirectory();
  ShortcutCatalogRepository(directory).load([&] { return ShortcutCatalog{2, shortcuts, {}}; }, std::nullopt);
  return std::make_unique<ShortcutStore>(pf::UserDefaults::standard(), directory);
}

EditorActionButton* buttonNamed(ShortcutEditorController& editor, const QString& name) {
  for (auto* button : editor.window()->findChildren<EditorActionButton*>())
    if (button->accessibleName() == name) return button;
  return nullptr;
}

void openEditor(benchmark::State& state) {
  const auto store = fullStore();
  for (auto _ : state) {
    ShortcutEditorController editor(*store);
    editor.present();
    editor.window()->repaint();
  }
}

void moveRefillsBothLists(benchmark::State& state) {
  const auto store = fullStore();
  ShortcutEditorController editor(*store);
  editor.present();
  EditorActionButton* down = buttonNamed(editor, QStringLiteral("Move selected shortcut down"));
  EditorActionButton* up = buttonNamed(editor, QStringLiteral("Move selected shortcut up"));
  for (auto _ : state) {
    QTest::mouseClick(down, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

void decodeDance(benchmark::State& state) {
  for (auto _ : state) {
    ShortcutDanceView view(QStringLiteral(WENDLE_ASSETS), QStringLiteral("blue"));
    benchmark::DoNotOptimize(view.frames().size());
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  qputenv("HOME", QFile::encodeName(home.path()));
  QApplication app(argc, argv);
  const ThrowawayDefaults defaults;
  benchmark::RegisterBenchmark("editor/open with 128 shortcuts", openEditor)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("editor/move (refills 128 rows)", moveRefillsBothLists)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("dance/decode 12 frames", decodeDance)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
