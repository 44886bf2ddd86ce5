#include "shortcuts/ui/ShortcutDanceView.h"

#include "platform/gfx/Image.h"
#include "shortcuts/DanceTiming.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <cmath>

ShortcutDanceView::ShortcutDanceView(const QString& folder, const QString& color, QWidget* parent)
    : QWidget(parent) {
  Q_UNUSED(color);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, &ShortcutDanceView::advance);
  load(QDir(folder).filePath(fileName));
  scheduleFrame();
}

void ShortcutDanceView::load(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  const std::vector<std::optional<double>> delays = DanceTiming::statedDelays(bytes);
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  const int count = reader.imageCount();
  for (int index = 0; index < count; ++index) {
    const QImage frame = reader.read();
    if (frame.isNull()) continue;
    m_frames.push_back(frame);
    m_durations.push_back(
        DanceTiming::duration(size_t(index) < delays.size() ? delays[size_t(index)] : std::nullopt));
  }
}

void ShortcutDanceView::scheduleFrame() {
  const double delay = size_t(m_frameIndex) < m_durations.size() ? m_durations[size_t(m_frameIndex)]
                                                                  : DanceTiming::minimumDelay;
  m_remainingMilliseconds = int(std::lround(delay * 1000));
  if (isVisible()) m_timer.start(m_remainingMilliseconds);
}

void ShortcutDanceView::advance() {
  m_remainingMilliseconds = -1;
  ++m_frameIndex;
  if (m_frameIndex >= int(m_frames.size())) {
    m_done = true;
    if (finished) finished();
    return;
  }
  update();
  scheduleFrame();
}

void ShortcutDanceView::shutdown() {
  m_timer.stop();
  m_done = true;
  finished = nullptr;
  m_frames.clear();
  m_durations.clear();
  update();
  setParent(nullptr);
}

void ShortcutDanceView::showEvent(QShowEvent*) {
  if (!m_done && m_remainingMilliseconds >= 0 && !m_timer.isActive()) m_timer.start(m_remainingMilliseconds);
}

void ShortcutDanceView::hideEvent(QHideEvent*) {
  if (!m_timer.isActive()) return;
  m_remainingMilliseconds = std::max(0, m_timer.remainingTime());
  m_timer.stop();
}

void ShortcutDanceView::paintEvent(QPaintEvent*) {
  if (size_t(m_frameIndex) >= m_frames.size()) return;
  const QImage& frame = m_frames[size_t(m_frameIndex)];
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(pf::aspectFitted(pf::Size{double(frame.width()), double(frame.height())}, QRectF(rect())),
                    frame);
}
