#include "desktop/DesktopHome.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

namespace desk {
namespace {

const QString applications = QStringLiteral(".local/share/applications");
const QStringList userFolders{QStringLiteral("Desktop"),   QStringLiteral("Documents"), QStringLiteral("Downloads"),
                              QStringLiteral("Music"),     QStringLiteral("Pictures"),  QStringLiteral("Public"),
                              QStringLiteral("Templates"), QStringLiteral("Videos")};

}  // namespace

DesktopHome::DesktopHome(QString root) : m_root(std::move(root)) {
  for (const QString& folder : userFolders + QStringList{QStringLiteral(".cache"), QStringLiteral(".local/state"),
                                                         QStringLiteral(".run"), applications})
    QDir().mkpath(path(folder));
  QFile::setPermissions(path(QStringLiteral(".run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QByteArray dirs;
  for (const QString& folder : userFolders)
    dirs += "XDG_" + folder.toUpper().toUtf8() + "_DIR=\"$HOME/" + folder.toUtf8() + "\"\n";
  dirs.replace("XDG_PUBLIC_DIR", "XDG_PUBLICSHARE_DIR");
  test::writeFile(path(QStringLiteral(".config/user-dirs.dirs")), dirs);

  const QString standIn =
      test::writeFile(path(QStringLiteral("bin/stand-in")),
                      QStringLiteral("#!/bin/sh\nprintf '%s %s\\n' \"$1\" \"${2#file://}\" >> '%1'\n")
                          .arg(path(QStringLiteral("opened.txt")))
                          .toUtf8());
  QFile::setPermissions(standIn, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  writeHandler(QStringLiteral("stand-in-browser"), QStringLiteral("browser"),
               QStringLiteral("x-scheme-handler/https;"));
  writeHandler(QStringLiteral("stand-in-files"), QStringLiteral("files"), QStringLiteral("inode/directory;"));
  test::writeFile(applicationEntry(), QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2 notes\n"
                                                     "Icon=accessories-text-editor\n")
                                          .arg(applicationName, standIn)
                                          .toUtf8());
  test::writeFile(path(QStringLiteral(".config/mimeapps.list")),
                  "[Default Applications]\nx-scheme-handler/https=stand-in-browser.desktop\n"
                  "inode/directory=stand-in-files.desktop\n");
}

void DesktopHome::writeHandler(const QString& name, const QString& role, const QString& mimeTypes) const {
  test::writeFile(
      path(applications + u'/' + name + QStringLiteral(".desktop")),
      QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2 %3 %u\nMimeType=%4\nNoDisplay=true\n")
          .arg(name, path(QStringLiteral("bin/stand-in")), role, mimeTypes)
          .toUtf8());
}

QString DesktopHome::applicationEntry() const { return path(applications + QStringLiteral("/stand-in-notes.desktop")); }

void DesktopHome::removeHandlers() {
  for (const QString& file :
       {applications + QStringLiteral("/stand-in-browser.desktop"),
        applications + QStringLiteral("/stand-in-files.desktop"), QStringLiteral(".config/mimeapps.list")})
    QFile::remove(path(file));
}

QStringList DesktopHome::opened() const {
  QStringList lines =
      QString::fromUtf8(test::contentsOf(path(QStringLiteral("opened.txt")))).split(u'\n', Qt::SkipEmptyParts);
  for (QString& line : lines) line = line.trimmed();
  return lines;
}

QProcessEnvironment DesktopHome::environment(const QString& display) const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // Nothing of the session the suite itself runs in: no other display, bus or desktop.
  for (const char* name : {"WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE",
                           "QT_QPA_PLATFORMTHEME", "SESSION_MANAGER", "XAUTHORITY"})
    environment.remove(QString::fromLatin1(name));
  const QList<std::pair<const char*, QString>> values{
      {"DISPLAY", display},
      {"QT_QPA_PLATFORM", QStringLiteral("xcb")},
      {"WENDLE_TEST_HOOK", QStringLiteral("stdio")},
      {"HOME", m_root},
      {"XDG_CONFIG_HOME", path(QStringLiteral(".config"))},
      {"XDG_DATA_HOME", path(QStringLiteral(".local/share"))},
      {"XDG_CACHE_HOME", path(QStringLiteral(".cache"))},
      {"XDG_STATE_HOME", path(QStringLiteral(".local/state"))},
      {"XDG_RUNTIME_DIR", path(QStringLiteral(".run"))},
      {"XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")},
      {"XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")},
  };
  for (const auto& [name, value] : values) environment.insert(QString::fromLatin1(name), value);
  return environment;
}

}  // namespace desk
