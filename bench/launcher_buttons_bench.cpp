// Drawing a full launcher page of 12 shortcut buttons with icons in a
// decorated skin: the first time (every drawing made afresh) and again
// (from the buttons' kept drawings). With --shots <folder> it writes PNGs of
// a small and a wide button in the classic and the steampunk skin instead.
#include "ThrowawayDefaults.h"
#include "launcher/LauncherGrid.h"
#include "launcher/ui/ShortcutButton.h"
#include "platform/core/UserDefaults.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const LauncherGrid grid{2, 2, 1.0};

Shortcut item(int i) {
  static const char* ids[] = {"youtube", "videos", "images", "mail", "x", "corvane"};
  const ShortcutKind kinds[] = {ShortcutKind::web, ShortcutKind::folder, ShortcutKind::application};
  const QString id = QString::fromUtf8(ids[i % 6]) + QString::number(i / 6);
  return {i < 6 ? QString::fromUtf8(ids[i]) : id,
          QStringLiteral("Shortcut %1").arg(i + 1),
          kinds[i % 3],
          QStringLiteral("https://example.com/"),
          QStringLiteral("A note"),
          std::nullopt,
          std::nullopt,
          true};
}

void chooseSkin(const char* skin) {
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QString::fromUtf8(skin));
}

/// A launcher page of `grid`'s size holding one button per slot.
std::unique_ptr<QWidget> page() {
  auto root = std::make_unique<QWidget>();
  const pf::Size size = grid.size();
  root->resize(int(size.width), int(size.height));
  for (qint64 i = 0; i < grid.capacity(); ++i) {
    auto* button = new ShortcutButton(item(int(i)), grid.isWide(i), nullptr, root.get());
    const pf::Rect frame = grid.frame(i, size);
    button->setGeometry(int(frame.minX()), int(size.height - frame.maxY()), int(frame.width()), int(frame.height()));
  }
  return root;
}

void render(QWidget& root, QImage& image) {
  image.fill(Qt::transparent);
  QPainter painter(&image);
  root.render(&painter, {}, {}, QWidget::DrawChildren);
}

void firstTime(benchmark::State& state) {
  chooseSkin("steampunk");
  QImage image(int(grid.size().width), int(grid.size().height), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    state.PauseTiming();
    auto root = page();
    state.ResumeTiming();
    render(*root, image);
  }
}

void again(benchmark::State& state) {
  chooseSkin("steampunk");
  QImage image(int(grid.size().width), int(grid.size().height), QImage::Format_ARGB32_Premultiplied);
  auto root = page();
  render(*root, image);
  for (auto _ : state) render(*root, image);
}

void writeShots(const QString& folder) {
  for (const char* skin : {"classic", "steampunk"}) {
    chooseSkin(skin);
    for (const bool wide : {false, true}) {
      ShortcutButton button(item(wide ? 1 : 0), wide, nullptr);
      button.resize(wide ? 228 : 110, wide ? 50 : 78);
      button.grab().save(
          QStringLiteral("%1/button-%2-%3.png").arg(folder, QString::fromUtf8(skin), wide ? "wide" : "small"));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const ThrowawayDefaults defaults;
  const QStringList arguments = QCoreApplication::arguments();
  if (const qsizetype at = arguments.indexOf(QStringLiteral("--shots")); at > 0 && at + 1 < arguments.size()) {
    writeShots(arguments.at(at + 1));
    return 0;
  }
  benchmark::RegisterBenchmark("page of 12 buttons/first time", firstTime)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("page of 12 buttons/again", again)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
