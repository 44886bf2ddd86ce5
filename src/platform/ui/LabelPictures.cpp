#include "platform/ui/LabelPictures.h"

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace pf {

namespace {

const char* const watcherName = "pf.labelPictures";
// Set on every widget followed, so that one polished later is not followed twice.
const char* const followedProperty = "pf.labelPictures.followed";

/// Everything a plain label's drawing depends on.
struct Key {
  QString text;
  QSize size;
  double ratio = 0;
  QString font;
  qint64 palette = 0;
  bool enabled = false;
  int alignment = 0;
  bool wordWrap = false;
  int margin = 0;
  int indent = 0;
  int frameStyle = 0;
  int lineWidth = 0;
  int textFormat = 0;
  int foregroundRole = 0;
  int direction = 0;
  bool operator==(const Key&) const = default;
};

/// The picture of one label, kept by a filter on the label.
class LabelPicture final : public QObject {
 public:
  explicit LabelPicture(QLabel* label) : QObject(label), m_label(label) { label->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != m_label || event->type() != QEvent::Paint || m_drawing || !drawsOnlyItsKey()) return false;
    // Begun before the picture is drawn: drawing a widget elsewhere ends
    // where its own paint event was to go, but not a painter already begun.
    QPainter painter(m_label);
    if (m_image.isNull() || !(current() == m_key)) draw();
    painter.drawImage(QPointF(0, 0), m_image);
    return true;
  }

 private:
  // A picture, a movie, or text one can select or whose links take the
  // keyboard's focus, draws from more than the key holds.
  bool drawsOnlyItsKey() const {
    constexpr Qt::TextInteractionFlags drawnOtherwise =
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::LinksAccessibleByKeyboard;
    return m_label->pixmap().isNull() && m_label->picture().isNull() && !m_label->movie() &&
           !(m_label->textInteractionFlags() & drawnOtherwise);
  }

  Key current() const {
    const QLabel& l = *m_label;
    return {l.text(),
            l.size(),
            l.devicePixelRatioF(),
            l.font().key(),
            l.palette().cacheKey(),
            l.isEnabled(),
            static_cast<int>(l.alignment()),
            l.wordWrap(),
            l.margin(),
            l.indent(),
            l.frameStyle(),
            l.lineWidth(),
            static_cast<int>(l.textFormat()),
            static_cast<int>(l.foregroundRole()),
            static_cast<int>(l.layoutDirection())};
  }

  void draw() {
    m_key = current();
    m_image = QImage(QSize(static_cast<int>(std::ceil(m_key.size.width() * m_key.ratio)),
                           static_cast<int>(std::ceil(m_key.size.height() * m_key.ratio))),
                     QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(m_key.ratio);
    m_image.fill(Qt::transparent);
    m_drawing = true;
    // Drawn within the label's own paint event, which Qt would take for a
    // repaint begun within another and warn of: the flag is lifted meanwhile.
    const bool painting = m_label->testAttribute(Qt::WA_WState_InPaintEvent);
    m_label->setAttribute(Qt::WA_WState_InPaintEvent, false);
    m_label->render(&m_image, QPoint(), QRegion(), QWidget::RenderFlags());
    m_label->setAttribute(Qt::WA_WState_InPaintEvent, painting);
    m_drawing = false;
  }

  QLabel* m_label;
  Key m_key;
  QImage m_image;
  bool m_drawing = false;  // the label is drawing itself into the picture
};

}  // namespace

void LabelPictures::watch(QWidget* view) {
  if (!view || view->findChild<LabelPictures*>(QLatin1String(watcherName), Qt::FindDirectChildrenOnly)) return;
  new LabelPictures(view);
}

LabelPictures::LabelPictures(QWidget* view) : QObject(view) {
  setObjectName(QLatin1String(watcherName));
  follow(view);
}

void LabelPictures::follow(QWidget* widget) {
  if (widget->property(followedProperty).toBool()) return;
  widget->setProperty(followedProperty, true);
  widget->installEventFilter(this);
  if (auto* label = qobject_cast<QLabel*>(widget)) new LabelPicture(label);
  for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) follow(child);
}

bool LabelPictures::eventFilter(QObject*, QEvent* event) {
  // Polished, a child is whole: a label is known as one only then.
  if (event->type() == QEvent::ChildPolished) {
    auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
    if (child) follow(child);
  }
  return false;
}

}  // namespace pf
