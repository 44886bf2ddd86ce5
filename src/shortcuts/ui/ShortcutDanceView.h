#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

/// Plays "dance.gif" from a folder once, each frame for its own delay, then
/// reports that it finished. Every frame is decoded up front, so a tick only
/// swaps the picture. The frame timer runs only while the view is visible.
/// Clicks pass through it.
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

  /// Stops playing without calling `finished`, forgets the frames and leaves the parent.
  void shutdown();

  /// The decoded frames, in file order.
  const std::vector<QImage>& frames() const { return m_frames; }
  /// How long each frame shows, in seconds.
  const std::vector<double>& durations() const { return m_durations; }
  /// The frame on show.
  int frameIndex() const { return m_frameIndex; }
  /// True while a frame's delay is running.
  bool isTicking() const { return m_timer.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void load(const QString& path);
  void scheduleFrame();
  void advance();

  std::vector<QImage> m_frames;
  std::vector<double> m_durations;
  QTimer m_timer;
  int m_frameIndex = 0;
  bool m_done = false;
  /// The part of the current frame's delay still to run when playing resumes.
  int m_remainingMilliseconds = -1;
};
