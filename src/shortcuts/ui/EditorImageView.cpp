#include "shortcuts/ui/EditorImageView.h"

#include "platform/ui/ViewStyle.h"

#include <QPainter>

EditorImageView::EditorImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void EditorImageView::setImage(std::optional<pf::Image> image, std::optional<pf::Color> tint) {
  m_image = std::move(image);
  pf::ViewStyle::setColor(this, pf::ViewStyle::ColorRole::tint, tint);
  update();
}

std::optional<pf::Color> EditorImageView::tint() const {
  return pf::ViewStyle::color(this, pf::ViewStyle::ColorRole::tint);
}

void EditorImageView::paintEvent(QPaintEvent*) {
  if (!m_image || m_image->isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  m_image->draw(painter, pf::aspectFitted(m_image->size(), QRectF(rect())), tint());
}
