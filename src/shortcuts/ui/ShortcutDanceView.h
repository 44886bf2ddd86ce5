#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

/// Plays "dance.gif" from a folder once, each frame for its own delay, then
/// reports that it finished. Every frame is decoded up front, so a tick only
/// swaps the picture. While the view is hidden nothing is drawn and one
/// timer waits out the frames left, so `finished` still comes when their
/// time has passed; shown again, it picks up at the frame the time has
/// reached. Clicks pass through it.
class ShortcutDanceView final : public QWidget {
  Q_OBJECT

 public:
  /// The file played, inside the given folder.
  static inline const QString fileName = QStringLiteral("dance.gif");

  /// Decodes `folder`/dance.gif, shows its first frame and starts playing.
  /// `color` names the companion's colour; the drawing does not depend on it.
  ShortcutDanceView(const QString& folder, const QString& color, QWidget* parent = nullptr);

  /// Called once, when the last frame's delay has run out.
  std::function<void()> finished;

  /// Stops playing without calling `finished`, forgets the frames and
  /// removes the view: it is hidden at once and deleted when control returns
  /// to the event loop, so its owner holds it through a QPointer.
  void shutdown();

  /// The decoded frames, in file order.
  const std::vector<QImage>& frames() const { return m_frames; }
  /// How long each frame shows, in seconds.
  const std::vector<double>& durations() const { return m_durations; }
  /// The frame on show.
  int frameIndex() const { return m_frameIndex; }
  /// True while a timer runs: a frame's delay, or the rest of the play while hidden.
  bool isTicking() const { return m_timer.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void load(const QString& path);
  /// The delay of frame `index`; the shortest delay past the last frame.
  double delay(int index) const;
  void scheduleFrame();
  void advance();
  void catchUp();
  void finish();

  std::vector<QImage> m_frames;
  std::vector<double> m_durations;
  QTimer m_timer;
  /// Time since the first frame was shown.
  QElapsedTimer m_clock;
  /// When the frame on show began, on `m_clock`.
  qint64 m_frameStart = 0;
  int m_frameIndex = 0;
  bool m_done = false;
};
