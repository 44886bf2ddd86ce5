#include "character/ui/CharacterArtwork.h"

#include "platform/core/Log.h"

#include <QFileInfo>
#include <QPainter>
#include <cmath>

namespace {

// The drawings' own proportions, used for the placeholder too.
constexpr double placeholderAspect = 0.75;

}  // namespace

CharacterArtwork::CharacterArtwork(const QString& assetRoot, CharacterSkin skin, Facing facing)
    : m_path(pathFor(assetRoot, skin, facing)) {
  m_renderer = std::make_unique<QSvgRenderer>();
  if (!QFileInfo::exists(m_path) || !m_renderer->load(m_path))
    pf::log(QStringLiteral("Companion artwork is missing or unreadable: %@"), m_path);
}

QString CharacterArtwork::pathFor(const QString& assetRoot, CharacterSkin skin, Facing facing) {
  const QString folder = skin.artworkFolder();
  const QString side = facing == Facing::left ? QStringLiteral("left") : QStringLiteral("right");
  return assetRoot + QStringLiteral("/Characters/") + folder + QLatin1Char('/') + folder + QLatin1Char('-') + side +
         QStringLiteral(".svg");
}

pf::Size CharacterArtwork::sizeForHeight(double height) const {
  const QSizeF natural = m_renderer->isValid() ? m_renderer->viewBoxF().size() : QSizeF();
  const double aspect = natural.height() > 0 ? natural.width() / natural.height() : placeholderAspect;
  return {std::round(height * aspect), std::round(height)};
}

QImage CharacterArtwork::render(QSize size, double devicePixelRatio) const {
  QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds(QPointF(0, 0), QSizeF(size));
  if (m_renderer->isValid()) {
    m_renderer->render(&painter, bounds);
  } else {
    // Something the user can still see, drag and right-click.
    painter.setPen(QPen(QColor(90, 100, 115), 3));
    painter.setBrush(QColor(220, 226, 234));
    painter.drawRoundedRect(bounds.adjusted(4, 4, -4, -4), 16, 16);
    QFont font = painter.font();
    font.setPixelSize(int(size.height() / 3));
    painter.setFont(font);
    painter.drawText(bounds, Qt::AlignCenter, QStringLiteral("?"));
  }
  return image;
}
