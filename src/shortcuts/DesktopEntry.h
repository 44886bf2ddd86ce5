#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

/// Desktop entries stand in for application bundles on this platform: a
/// regular file named "*.desktop" whose [Desktop Entry] group says Type=Application.
namespace DesktopEntry {

/// True when `path` is a regular desktop-entry file of an application.
bool isApplication(const QString& path);

/// The value of `key` in the [Desktop Entry] group of the desktop entry at
/// `path`; none when the file is no readable desktop entry or lacks the key.
std::optional<QString> value(const QString& path, const QByteArray& key);

}  // namespace DesktopEntry
