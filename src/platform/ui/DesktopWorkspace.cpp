// GLib's headers name struct members "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/ui/DesktopWorkspace.h"

#include "platform/core/QtMainQueue.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace pf {
namespace {

template <typename T>
struct GObjectRelease {
  void operator()(T* object) const { g_object_unref(object); }
};

using DesktopAppInfo = std::unique_ptr<GDesktopAppInfo, GObjectRelease<GDesktopAppInfo>>;

// The launch's error sentence, or none when the application started.
std::optional<QString> launch(const QUrl& url) {
  const QString path = url.toLocalFile();
  const DesktopAppInfo info(
      url.isLocalFile() ? g_desktop_app_info_new_from_filename(QFile::encodeName(path).constData())
                        : nullptr);
  if (!info)
    return QStringLiteral("The application “%1” could not be launched.")
        .arg(QFileInfo(path).completeBaseName());
  GError* error = nullptr;
  if (g_app_info_launch(G_APP_INFO(info.get()), nullptr, nullptr, &error)) return std::nullopt;
  QString message = QString::fromUtf8(error->message);
  g_error_free(error);
  return message;
}

}  // namespace

DesktopWorkspace::DesktopWorkspace(MainQueue& queue) : m_queue(queue) {}

DesktopWorkspace& DesktopWorkspace::shared() {
  static DesktopWorkspace workspace(QtMainQueue::shared());
  return workspace;
}

bool DesktopWorkspace::openURL(const QUrl& url) {
  GError* error = nullptr;
  const bool launched = g_app_info_launch_default_for_uri(url.toEncoded().constData(), nullptr, &error);
  if (error) g_error_free(error);
  return launched;
}

void DesktopWorkspace::openApplication(const QUrl& url, LaunchCompletion completion) {
  m_queue.async(nullptr, [completion = std::move(completion), outcome = launch(url)] {
    if (completion) completion(outcome);
  });
}

}  // namespace pf
