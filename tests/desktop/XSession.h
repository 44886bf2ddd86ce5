#pragma once

#include "desktop/XTypes.h"
#include "support/VirtualServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace desk {

/// The desktop a test program drives: its own Xvfb (1280 x 800, 24 bits),
/// openbox with four desktops and xcompmgr, started once for the test
/// program and ended after its last test. The window manager's rules the
/// suite relies on are all in the rc.xml written here.
class XSession final : public ::testing::Environment {
 public:
  static constexpr int screenWidth = 1280;
  static constexpr int screenHeight = 800;
  static constexpr int desktops = 4;

  /// The running session; only valid between the environment's SetUp and TearDown.
  static XSession& shared();

  void SetUp() override;
  void TearDown() override;

  /// The display name, as ":N".
  const QString& displayName() const { return m_displayName; }
  /// The test's own connection: another client of the same server.
  XDisplay* display() const { return m_display; }

 private:
  void startServer();
  void startWindowManager();
  void startCompositor();
  bool waitForSelection(const char* name);

  QTemporaryDir m_config;
  std::unique_ptr<test::VirtualServer> m_server;
  QProcess m_windowManager;
  QProcess m_compositor;
  QString m_displayName;
  XDisplay* m_display = nullptr;
};

}  // namespace desk
