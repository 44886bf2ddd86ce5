#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

/// How long each frame of an animated GIF stays on screen.
class DanceTiming final {
 public:
  DanceTiming() = delete;

  /// The shortest time a frame is shown, in seconds.
  static constexpr double minimumDelay = 0.02;
  /// The time of a frame that states none, in seconds.
  static constexpr double defaultDelay = 0.1;

  /// The delay each image of a GIF file states, in file order and in
  /// seconds, as written (not clamped); none for an image without a graphic
  /// control block. Reading stops at the first malformed block.
  static std::vector<std::optional<double>> statedDelays(const QByteArray& gif);
  /// The time a frame is shown: its stated delay (the default without one),
  /// never below the minimum; a delay that is not a number gives the minimum.
  static double duration(std::optional<double> stated);

  /// A place in a play: the frame on show and how long it has shown, in seconds.
  struct Position {
    size_t frame = 0;
    double shown = 0;
  };
  /// Where a play of frames shown for `durations` stands `elapsed` seconds
  /// after frame `frame` began. It never passes the last frame: that frame's
  /// end is the end of the play, which its owner times.
  static Position reached(const std::vector<double>& durations, size_t frame, double elapsed);
  /// The time from the start of frame `frame` to the end of the play: its
  /// duration and every later one's. Past the last frame, and in a play
  /// without frames, the shortest delay is left.
  static double remaining(const std::vector<double>& durations, size_t frame);
};
