#include "shortcuts/ShortcutPresets.h"

#include "platform/core/SystemInfo.h"

namespace ShortcutPresets {
namespace {

const QString serviceHomepage = QStringLiteral("Service homepage");
const QString fizzcastID = QStringLiteral("org.fizzcast.Fizzcast");

Shortcut web(const char* id, const char* label, const char* url, const QString& note) {
  return {QString::fromUtf8(id),
          QString::fromUtf8(label),
          ShortcutKind::web,
          QString::fromUtf8(url),
          note,
          std::nullopt,
          std::nullopt,
          true};
}

Shortcut folder(const char* id, const char* label, const QString& downloadsSuffix, const QString& note) {
  // The download folder is taken once, when the table is built.
  return {QString::fromUtf8(id),
          QString::fromUtf8(label),
          ShortcutKind::folder,
          pf::SystemInfo::downloadsDirectory() + downloadsSuffix,
          note,
          std::nullopt,
          std::nullopt,
          true};
}

std::vector<Shortcut> makeCreator() {
  std::vector<Shortcut> table{
      web("youtube", "YouTube", "https://www.youtube.com/", serviceHomepage),
      web("instagram", "Instagram", "https://www.instagram.com/", serviceHomepage),
      web("tiktok", "TikTok", "https://www.tiktok.com/", serviceHomepage),
      web("facebook", "Facebook", "https://www.facebook.com/", serviceHomepage),
      web("threads", "Threads", "https://www.threads.net/", serviceHomepage),
      web("x", "X", "https://x.com/", serviceHomepage),
      web("pinterest", "Pinterest", "https://www.pinterest.com/", serviceHomepage),
      web("youtube-studio", "Studio", "https://studio.youtube.com/", QStringLiteral("YouTube Studio")),
      folder("downloads", "Downloads", QString(), QStringLiteral("Downloads folder")),
  };
  table[7].icon = QStringLiteral("youtube");
  table[8].icon = QStringLiteral("videos");
  return table;
}

std::vector<Shortcut> makeLegacyPersonal() {
  const QString setProfile = QStringLiteral("Service homepage — set your profile in Settings");
  const QString publishedPost = QStringLiteral("Mira Vale account — recorded published-post URL");
  return {
      web("youtube", "YouTube", "https://www.youtube.com/channel/UCw3ndl3L4ntErnW0rksh0p1",
          QStringLiteral("Lantern Workshop channel — verified project record")),
      web("instagram", "Instagram", "https://www.instagram.com/", setProfile),
      web("tiktok", "TikTok", "https://www.tiktok.com/@miravale", publishedPost),
      web("facebook", "Facebook", "https://www.facebook.com/",
          QStringLiteral("Service homepage — set your Page in Settings")),
      web("threads", "Threads", "https://www.threads.net/@miravale", publishedPost),
      web("x", "X", "https://x.com/", setProfile),
      web("pinterest", "Pinterest", "https://www.pinterest.com/", setProfile),
      web("corvane", "Corvane", "https://app.corvane.com/dashboard",
          QStringLiteral("Official dashboard link — uses your existing browser session")),
      web("suno", "Suno", "https://suno.com/", QStringLiteral("Service homepage — editable in Settings")),
      {QStringLiteral("fizzcast"), QStringLiteral("Fizzcast"), ShortcutKind::application, fizzcastPath(),
       QStringLiteral("Installed app: ") + fizzcastID, std::nullopt, std::nullopt, true},
      folder("videos", "Videos", QStringLiteral("/Videos"), QStringLiteral("Mira confirmed Downloads/Videos")),
      folder("images", "Images", QStringLiteral("/Images"), QStringLiteral("Mira confirmed Downloads/Images")),
  };
}

}  // namespace

const std::vector<Shortcut>& creator() {
  static const std::vector<Shortcut> table = makeCreator();
  return table;
}

const std::vector<Shortcut>& legacyPersonal() {
  static const std::vector<Shortcut> table = makeLegacyPersonal();
  return table;
}

const QSet<QString>& stockIDs() {
  static const QSet<QString> ids = [] {
    QSet<QString> set;
    for (const auto* table : {&legacyPersonal(), &creator()})
      for (const Shortcut& shortcut : *table) set.insert(shortcut.id);
    return set;
  }();
  return ids;
}

const std::vector<Shortcut>& seed(bool legacyPersonalDefaults) {
  return legacyPersonalDefaults ? legacyPersonal() : creator();
}

QString fizzcastPath() {
  // Applications are desktop entries here; the desktop-file id stands for the bundle identifier.
  return QStringLiteral("/usr/share/applications/") + fizzcastID + QStringLiteral(".desktop");
}

}  // namespace ShortcutPresets
