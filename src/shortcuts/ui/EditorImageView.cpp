#include "shortcuts/ui/EditorImageView.h"

#include <QPainter>

EditorImageView::EditorImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void EditorImageView::setImage(std::optional<pf::Image> image, std::optional<pf::Color> tint) {
  m_image = std::move(image);
  m_tint = std::move(tint);
  update();
}

void EditorImageView::paintEvent(QPaintEvent*) {
  if (!m_image || m_image->isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  m_image->draw(painter, pf::aspectFitted(m_image->size(), QRectF(rect())), m_tint);
}
