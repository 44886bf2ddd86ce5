#include "platform/gfx/IconTheme.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QStandardPaths>
#include <mutex>

namespace pf {
namespace {

void appendMissing(QStringList& list, const QString& entry) {
  if (!list.contains(entry)) list.append(entry);
}

/// Searches the theme folders of the icon theme specification: ~/.icons, then
/// "icons" in every XDG data folder, the user's first; and "pixmaps" there last.
void prepareSearch() {
  const QStringList dataFolders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
  QStringList themes = QIcon::themeSearchPaths();
  appendMissing(themes, QDir::homePath() + QStringLiteral("/.icons"));
  QStringList pixmaps = QIcon::fallbackSearchPaths();
  for (const QString& folder : dataFolders) {
    appendMissing(themes, folder + QStringLiteral("/icons"));
    appendMissing(pixmaps, folder + QStringLiteral("/pixmaps"));
  }
  QIcon::setThemeSearchPaths(themes);
  QIcon::setFallbackSearchPaths(pixmaps);
  // Every theme inherits hicolor; the fallback is searched after it.
  if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("hicolor"));
  QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

bool drawsSomething(const QIcon& icon) {
  const QImage drawn = icon.pixmap(QSize(64, 64)).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < drawn.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
    for (int x = 0; x < drawn.width(); ++x)
      if (qAlpha(line[x]) != 0) return true;
  }
  return false;
}

}  // namespace

QIcon IconTheme::icon(const QString& name) {
  static std::once_flag prepared;
  std::call_once(prepared, prepareSearch);
  if (name.isEmpty()) return {};
  if (QFileInfo(name).isAbsolute()) return QFileInfo(name).isFile() ? QIcon(name) : QIcon();
  return QIcon::fromTheme(name);
}

std::optional<Image> IconTheme::image(const QString& name, double side) {
  const QIcon found = icon(name);
  if (found.isNull() || !drawsSomething(found)) return std::nullopt;
  return Image({side, side},
               [found](QPainter& painter, const QRectF& rect) { found.paint(&painter, rect.toAlignedRect()); });
}

}  // namespace pf
