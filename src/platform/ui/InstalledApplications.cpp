// GLib's headers name struct members "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include "platform/ui/InstalledApplications.h"

#include "platform/core/Text.h"

#include <QFile>
#include <algorithm>

namespace pf {
namespace {

InstalledApplication describe(GDesktopAppInfo* info) {
  InstalledApplication application;
  application.name = QString::fromUtf8(g_app_info_get_display_name(G_APP_INFO(info)));
  application.path = QFile::decodeName(g_desktop_app_info_get_filename(info));
  gchar* icon = g_desktop_app_info_get_string(info, "Icon");
  application.icon = QString::fromUtf8(icon).trimmed();
  g_free(icon);
  return application;
}

}  // namespace

std::vector<InstalledApplication> installedApplications() {
  std::vector<InstalledApplication> applications;
  GList* all = g_app_info_get_all();
  for (GList* item = all; item; item = item->next) {
    auto* info = static_cast<GAppInfo*>(item->data);
    if (G_IS_DESKTOP_APP_INFO(info) && g_app_info_should_show(info) &&
        g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info)))
      applications.push_back(describe(G_DESKTOP_APP_INFO(info)));
  }
  g_list_free_full(all, g_object_unref);
  std::stable_sort(applications.begin(), applications.end(),
                   [](const InstalledApplication& a, const InstalledApplication& b) {
                     return Text::naturalLess(a.name, b.name);
                   });
  return applications;
}

}  // namespace pf
