#include "support/LogCapture.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace test {

LogCapture::LogCapture() {
  char name[] = "/tmp/wendle-log-XXXXXX";
  m_file = ::mkstemp(name);
  if (m_file < 0) {
    ADD_FAILURE() << "cannot make a file for the log";
    return;
  }
  ::unlink(name);
  std::fflush(stderr);
  m_saved = ::dup(STDERR_FILENO);
  ::dup2(m_file, STDERR_FILENO);
}

LogCapture::~LogCapture() {
  if (m_file < 0) return;
  std::fflush(stderr);
  ::dup2(m_saved, STDERR_FILENO);
  ::close(m_saved);
  ::close(m_file);
}

QString LogCapture::text() const {
  if (m_file < 0) return {};
  std::fflush(stderr);
  QByteArray bytes;
  char buffer[4096];
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(m_file, buffer, sizeof buffer, at);
    if (got <= 0) break;
    bytes.append(buffer, got);
    at += got;
  }
  return QString::fromUtf8(bytes);
}

}  // namespace test
