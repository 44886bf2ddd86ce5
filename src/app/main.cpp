#include "app/AppDelegate.h"
#include "app/TestHook.h"
#include "platform/core/SystemInfo.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Application.h"
#include "shortcuts/ShortcutStore.h"

#include <QApplication>
#include <QTimer>
#include <memory>

int main(int argc, char** argv) {
  pf::Application::prepare();
  QApplication app(argc, argv);
  pf::Application::configure(app);

  // The main companion's shortcuts come first: every feature the delegate builds reads them.
  auto shortcutStore =
      std::make_shared<ShortcutStore>(pf::UserDefaults::standard(), pf::SystemInfo::applicationDataDirectory());
  AppDelegate delegate(shortcutStore, pf::UserDefaults::standard(), pf::SystemInfo::assetRoot());
  std::unique_ptr<TestHook> testHook;
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                   [&delegate] { delegate.applicationWillTerminate(); });
  QTimer::singleShot(0, &delegate, [&delegate, &testHook] {
    delegate.applicationDidFinishLaunching();
    testHook = TestHook::installIfAsked(delegate);
  });
  return app.exec();
}
