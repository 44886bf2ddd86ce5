#include "launcher/QuibIcons.h"

#include "platform/core/SystemInfo.h"
#include "platform/gfx/IconTheme.h"
#include "platform/gfx/PainterCanvas.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Symbols.h"
#include "shortcuts/DesktopEntry.h"
#include "shortcuts/ShortcutPresets.h"
#include "shortcuts/ShortcutStore.h"

#include <QPainter>
#include <QPen>

namespace {

std::optional<QString>& rootOverride() {
  static std::optional<QString> root;
  return root;
}

QString symbolFor(const QString& reference) {
  static const std::map<QString, QString> symbols{
      {QStringLiteral("corvane"), QStringLiteral("c.square.fill")},
      {QStringLiteral("videos"), QStringLiteral("folder.fill")},
      {QStringLiteral("images"), QStringLiteral("photo.on.rectangle.angled")},
      {QStringLiteral("app"), QStringLiteral("app.fill")},
  };
  const auto it = symbols.find(reference);
  return it == symbols.end() ? QStringLiteral("globe") : it->second;
}

std::optional<pf::Image> artwork(const QString& reference, const QString& extension) {
  return pf::Image::fromFile(QuibIcons::assetRoot() + QStringLiteral("/Icons/") + reference + extension);
}

pf::Color named(const char* name) { return pf::Color::system(QLatin1String(name)); }

}  // namespace

const std::map<QString, pf::Color>& QuibIcons::colors() {
  static const std::map<QString, pf::Color> table{
      {QStringLiteral("youtube"), named("systemRed")},
      {QStringLiteral("instagram"), named("systemPink")},
      {QStringLiteral("tiktok"), named("white")},
      {QStringLiteral("facebook"), named("systemBlue")},
      {QStringLiteral("threads"), named("white")},
      {QStringLiteral("x"), named("white")},
      {QStringLiteral("pinterest"), named("systemRed")},
      {QStringLiteral("suno"), named("systemPurple")},
      {QStringLiteral("corvane"), named("systemPurple")},
      {QStringLiteral("videos"), named("cyan")},
      {QStringLiteral("images"), named("systemYellow")},
  };
  return table;
}

QString QuibIcons::assetRoot() { return rootOverride().value_or(pf::SystemInfo::assetRoot()); }

void QuibIcons::overrideAssetRoot(std::optional<QString> root) { rootOverride() = std::move(root); }

QString QuibIcons::reference(const Shortcut& shortcut) {
  if (shortcut.icon && !ShortcutImageStore::digest(*shortcut.icon)) return *shortcut.icon;
  if (colors().contains(shortcut.id)) return shortcut.id;
  if (shortcut.id == u"fizzcast") return shortcut.id;
  switch (shortcut.kind) {
    case ShortcutKind::folder: return QStringLiteral("videos");
    case ShortcutKind::application: return QStringLiteral("app");
    case ShortcutKind::web: break;
  }
  return QStringLiteral("globe");
}

std::optional<pf::Image> QuibIcons::icon(const QString& reference) {
  if (auto svg = artwork(reference, QStringLiteral(".svg"))) {
    svg->setTemplate(true);
    return svg;
  }
  if (auto png = artwork(reference, QStringLiteral(".png"))) return png;
  if (reference == u"fizzcast") return fizzcastIcon();
  return pf::Symbols::named(symbolFor(reference), 16, reference);
}

std::optional<pf::Image> QuibIcons::icon(const Shortcut& shortcut, const ShortcutStore* store,
                                         const PendingImages& pending) {
  const QImage custom = customImage(shortcut, store, pending);
  if (!custom.isNull()) return pf::Image::fromBitmap(custom);
  const QString chosen = reference(shortcut);
  // An application shows its own icon, as the desktop's menus do, where it has one.
  if (shortcut.kind == ShortcutKind::application && chosen == u"app") {
    if (auto own = applicationIcon(shortcut.destination)) return own;
  }
  return icon(chosen);
}

std::optional<pf::Color> QuibIcons::color(const Shortcut& shortcut, const ShortcutStore* store,
                                          const PendingImages& pending) {
  if (!customImage(shortcut, store, pending).isNull()) return std::nullopt;
  const auto it = colors().find(reference(shortcut));
  if (it == colors().end()) return std::nullopt;
  return it->second;
}

QImage QuibIcons::customImage(const Shortcut& shortcut, const ShortcutStore* store,
                              const PendingImages& pending) {
  return store ? store->customImage(shortcut, pending) : QImage();
}

std::optional<pf::Image> QuibIcons::applicationIcon(const QString& entry) {
  const auto name = DesktopEntry::value(entry, "Icon");
  return name ? pf::IconTheme::image(*name, 64) : std::nullopt;
}

// The workspace always has a picture for an application, so a missing entry
// or theme icon still shows the application symbol.
pf::Image QuibIcons::fizzcastIcon() {
  if (auto own = applicationIcon(ShortcutPresets::fizzcastPath())) return *own;
  return *pf::Symbols::named(QStringLiteral("app.fill"), 64);
}

std::optional<pf::Image> QuibIcons::headerSymbol(const QString& name, double size, const pf::Color& color) {
  const auto symbol = pf::Symbols::named(name, size);
  if (!symbol) return std::nullopt;
  pf::Image tinted({size, size}, [symbol = *symbol, color](QPainter& painter, const QRectF& rect) {
    symbol.draw(painter, rect, color);
  });
  return tinted;
}

pf::Image QuibIcons::orbit() {
  return pf::Image({32, 32}, [](QPainter& painter, const QRectF& rect) {
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / 32, rect.height() / 32);
    painter.setRenderHint(QPainter::Antialiasing);
    {
      pf::PainterCanvas canvas(painter, 32);
      canvas.fillLinearGradient(pf::Path::ellipse(pf::Rect(7, 5, 21, 23)),
                                {{named("systemCyan"), named("systemPurple")}, {}}, -60);
    }
    // The ring turns 28 degrees counter-clockwise on screen; y runs down here,
    // so the turn is negative. The rectangle is symmetric about the centre line.
    painter.save();
    painter.translate(16, 16);
    painter.rotate(-28);
    painter.translate(-16, -16);
    painter.setPen(QPen(pf::toQColor(named("cyan")), 2.1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(1, 11, 31, 10));
    painter.restore();
    pf::PainterCanvas canvas(painter, 32);
    canvas.fill(pf::Path::ellipse(pf::Rect(12, 21, 3, 3)), pf::Color::calibratedWhite(1, 0.7));
  });
}
