#include "platform/ui/ViewLayer.h"

#include "platform/gfx/ShadowBlur.h"
#include "platform/gfx/SystemColors.h"
#include "platform/ui/LabelPictures.h"
#include "platform/ui/LayerHost.h"

#include <QEvent>
#include <QGraphicsEffect>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace pf {
namespace {

const QString hostName = QStringLiteral("pf.viewLayer");

bool shows(const std::optional<Color>& color) { return color && resolved(*color).alpha > 0; }

double radiusWithin(const Layer& layer, QSizeF size) {
  const double r = std::isfinite(layer.cornerRadius()) ? layer.cornerRadius() : 0.0;
  return std::clamp(r, 0.0, std::min(size.width(), size.height()) / 2);
}

/// The shadow a layer casts from everything its view draws: the view is
/// rendered offscreen, its alpha blurred and tinted beneath it.
class ContentShadow final : public QGraphicsEffect {
 public:
  using QGraphicsEffect::QGraphicsEffect;

  /// `offset` y up, in points; `radius` the blur radius in points.
  void setShadow(const QColor& tint, double radius, QPointF offset) {
    if (tint == m_tint && radius == m_radius && offset == m_offset) return;
    m_tint = tint;
    m_radius = radius;
    m_offset = offset;
    updateBoundingRect();
    update();
  }

  QRectF boundingRectFor(const QRectF& rect) const override {
    // Three standard deviations of a Gaussian with sigma = radius / 2.
    const double reach = 1.5 * m_radius + std::max(std::fabs(m_offset.x()), std::fabs(m_offset.y())) + 1;
    return rect.adjusted(-reach, -reach, reach, reach);
  }

 protected:
  void draw(QPainter* painter) override {
    QPoint at;
    const QPixmap source = sourcePixmap(Qt::DeviceCoordinates, &at, QGraphicsEffect::PadToEffectiveBoundingRect);
    if (source.isNull()) return;
    const double scale = painter->device()->devicePixelRatioF();
    const QImage content = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QPointF offset(m_offset.x() * scale, -m_offset.y() * scale);
    const QImage shadow = shadowImage(content, offset, m_radius / 2 * scale, m_tint);
    painter->save();
    painter->setWorldTransform(QTransform());
    painter->drawImage(at, shadow);
    painter->drawPixmap(at, source);
    painter->restore();
  }

 private:
  QColor m_tint;
  double m_radius = 0;
  QPointF m_offset;
};

/// Applies the layer's own properties to its view and keeps the host over the
/// whole view, above children added later.
class OwnLayer final : public QObject {
 public:
  OwnLayer(QWidget* view, LayerHost* host) : QObject(host), m_view(view), m_host(host) {
    view->installEventFilter(this);
    host->setDrawsRootBackdrop(false);
    host->onTreeChange = [this] { apply(); };
    fit();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != m_view) return false;
    if (event->type() == QEvent::Resize) fit();
    if (event->type() == QEvent::ChildAdded) m_host->raise();
    // The filter sees the paint event before the view does, so this lies beneath its drawing.
    if (event->type() == QEvent::Paint) paintBackground();
    return false;
  }

 private:
  const Layer& layer() const { return *m_host->rootLayer(); }

  void fit() {
    m_host->setGeometry(m_view->rect());
    m_host->rootLayer()->setFrame(Rect(0, 0, m_view->width(), m_view->height()));
    apply();
  }

  void apply() {
    applyMask();
    applyShadow();
    if (layer().backgroundColor() != m_background || layer().cornerRadius() != m_radius) {
      m_background = layer().backgroundColor();
      m_radius = layer().cornerRadius();
      m_view->update();
    }
  }

  void applyMask() {
    if (!layer().masksToBounds()) {
      if (!m_view->mask().isEmpty()) m_view->clearMask();
      return;
    }
    const double r = radiusWithin(layer(), m_view->size());
    QPainterPath shape;
    shape.addRoundedRect(QRectF(m_view->rect()), r, r);
    const QRegion region = r > 0 ? QRegion(shape.toFillPolygon().toPolygon()) : QRegion(m_view->rect());
    if (region != m_view->mask()) m_view->setMask(region);
  }

  void applyShadow() {
    const Layer& l = layer();
    const bool casts = l.shadowOpacity() > 0 && shows(l.shadowColor());
    auto* effect = dynamic_cast<ContentShadow*>(m_view->graphicsEffect());
    if (!casts) {
      if (effect) m_view->setGraphicsEffect(nullptr);
      return;
    }
    if (!effect) {
      effect = new ContentShadow;
      m_view->setGraphicsEffect(effect);
    }
    QColor tint = toQColor(*l.shadowColor());
    tint.setAlphaF(static_cast<float>(tint.alphaF() * std::clamp(static_cast<double>(l.shadowOpacity()), 0.0, 1.0)));
    const double radius = std::isfinite(l.shadowRadius()) ? std::max(0.0, l.shadowRadius()) : 0.0;
    effect->setShadow(tint, radius, QPointF(l.shadowOffset().width, l.shadowOffset().height));
  }

  void paintBackground() {
    if (!shows(layer().backgroundColor())) return;
    QPainter painter(m_view);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(*layer().backgroundColor()));
    const double r = radiusWithin(layer(), m_view->size());
    painter.drawRoundedRect(QRectF(m_view->rect()), r, r);
  }

  QWidget* m_view;
  LayerHost* m_host;
  std::optional<Color> m_background;
  double m_radius = 0;
};

LayerHost* hostOf(const QWidget* view) {
  return view ? view->findChild<LayerHost*>(hostName, Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace

std::shared_ptr<Layer> ViewLayer::ensure(QWidget* view) {
  if (!view) return nullptr;
  if (LayerHost* host = hostOf(view)) return host->rootLayer();
  auto* host = new LayerHost(view);
  host->setObjectName(hostName);
  host->setAttribute(Qt::WA_TransparentForMouseEvents);
  host->setRootLayer(Layer::make());
  new OwnLayer(view, host);
  // Sublayers that animate repaint the labels beneath them at every step.
  LabelPictures::watch(view);
  host->raise();
  host->show();
  return host->rootLayer();
}

std::shared_ptr<Layer> ViewLayer::of(const QWidget* view) {
  const LayerHost* host = hostOf(view);
  return host ? host->rootLayer() : nullptr;
}

void ViewLayer::setFrameRate(const QWidget* view, double framesPerSecond) {
  if (LayerHost* host = hostOf(view)) host->setFrameRate(framesPerSecond);
}

}  // namespace pf
