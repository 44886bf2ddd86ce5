#include "platform/ui/ViewLayer.h"

#include "platform/ui/LayerHost.h"

#include <QEvent>
#include <QWidget>

namespace pf {
namespace {

const QString hostName = QStringLiteral("pf.viewLayer");

/// Keeps the host over the whole widget and above children added later.
class Follower final : public QObject {
 public:
  Follower(QWidget* view, LayerHost* host) : QObject(host), m_view(view), m_host(host) {
    view->installEventFilter(this);
    fit();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != m_view) return false;
    if (event->type() == QEvent::Resize) fit();
    if (event->type() == QEvent::ChildAdded) m_host->raise();
    return false;
  }

 private:
  void fit() {
    m_host->setGeometry(m_view->rect());
    m_host->rootLayer()->setFrame(Rect(0, 0, m_view->width(), m_view->height()));
  }

  QWidget* m_view;
  LayerHost* m_host;
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
  new Follower(view, host);
  host->raise();
  host->show();
  return host->rootLayer();
}

std::shared_ptr<Layer> ViewLayer::of(const QWidget* view) {
  const LayerHost* host = hostOf(view);
  return host ? host->rootLayer() : nullptr;
}

}  // namespace pf
