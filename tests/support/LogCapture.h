#pragma once

#include <QString>

namespace test {

/// What this process writes to its standard error while the object lives;
/// `pf::log` copies every line it sends to the system log there.
class LogCapture final {
 public:
  LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  /// Gives standard error back.
  ~LogCapture();

  /// Everything written so far.
  QString text() const;

 private:
  int m_saved = -1;
  int m_file = -1;
};

}  // namespace test
