#include "shortcuts/ui/ShortcutDanceView.h"

#include "platform/gfx/Image.h"
#include "shortcuts/DanceTiming.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

qint64 milliseconds(double seconds) { return std::llround(seconds * 1000); }

}  // namespace

ShortcutDanceView::ShortcutDanceView(const QString& folder, const QString& color, QWidget* parent)
    : QWidget(parent) {
  Q_UNUSED(color);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, &ShortcutDanceView::advance);
  load(QDir(folder).filePath(fileName));
  m_clock.start();
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

double ShortcutDanceView::delay(int index) const {
  return size_t(index) < m_durations.size() ? m_durations[size_t(index)] : DanceTiming::minimumDelay;
}

void ShortcutDanceView::scheduleFrame() {
  const qint64 length = milliseconds(isVisible() ? delay(m_frameIndex)
                                                : DanceTiming::remaining(m_durations, size_t(m_frameIndex)));
  m_timer.start(int(std::max<qint64>(0, m_frameStart + length - m_clock.elapsed())));
}

void ShortcutDanceView::advance() {
  if (!isVisible()) {
    finish();
    return;
  }
  ++m_frameIndex;
  m_frameStart = m_clock.elapsed();
  if (m_frameIndex >= int(m_frames.size())) {
    finish();
    return;
  }
  update();
  scheduleFrame();
}

// Skips the frames whose time ran out while the view was hidden.
void ShortcutDanceView::catchUp() {
  const qint64 now = m_clock.elapsed();
  const DanceTiming::Position reached =
      DanceTiming::reached(m_durations, size_t(m_frameIndex), double(now - m_frameStart) / 1000);
  m_frameIndex = int(reached.frame);
  m_frameStart = now - milliseconds(reached.shown);
}

void ShortcutDanceView::finish() {
  m_done = true;
  if (finished) finished();
}

void ShortcutDanceView::shutdown() {
  m_timer.stop();
  m_done = true;
  finished = nullptr;
  m_frames.clear();
  m_durations.clear();
  hide();
  deleteLater();
}

void ShortcutDanceView::showEvent(QShowEvent*) {
  if (m_done) return;
  catchUp();
  scheduleFrame();
}

void ShortcutDanceView::hideEvent(QHideEvent*) {
  if (!m_done) scheduleFrame();
}

void ShortcutDanceView::paintEvent(QPaintEvent*) {
  if (size_t(m_frameIndex) >= m_frames.size()) return;
  const QImage& frame = m_frames[size_t(m_frameIndex)];
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(pf::aspectFitted(pf::Size{double(frame.width()), double(frame.height())}, QRectF(rect())),
                    frame);
}
