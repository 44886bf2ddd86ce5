#pragma once

#include <QString>

/// Desktop entries stand in for application bundles on this platform: a
/// regular file named "*.desktop" whose [Desktop Entry] group says Type=Application.
namespace DesktopEntry {

/// True when `path` is a regular desktop-entry file of an application.
bool isApplication(const QString& path);

}  // namespace DesktopEntry
