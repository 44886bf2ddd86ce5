#include "shortcuts/ShortcutReaction.h"

#include "platform/core/Text.h"

#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <array>
#include <vector>

namespace {

struct Rule {
  const char* result;
  QStringList names;
  QStringList domains;
};

// Tried in this order; the first match decides, so the narrower rows (a
// creator studio, a business suite) stand before the services they live under.
const std::vector<Rule>& rules() {
  static const std::vector<Rule> table{
      {"action-downloads", {"downloads"}, {}},
      {"action-images", {"images", "pictures", "photos"}, {}},
      {"action-videos", {"videos", "movies"}, {}},
      {"action-music", {"music", "suno", "spotify", "apple music"}, {"suno.com", "spotify.com", "music.apple.com"}},
      {"action-tiktok", {"tiktok"}, {"tiktok.com"}},
      {"action-youtube-studio", {"youtube studio"}, {"studio.youtube.com"}},
      {"action-meta", {"meta business suite", "meta business"}, {"business.facebook.com", "business.meta.com"}},
      {"action-facebook", {"facebook", "fb"}, {"facebook.com", "fb.com"}},
      {"action-youtube", {"youtube"}, {"youtube.com", "youtu.be"}},
      {"action-instagram", {"instagram"}, {"instagram.com"}},
      {"action-x", {"x", "twitter"}, {"x.com", "twitter.com"}},
      {"action-pinterest", {"pinterest", "pintrest"}, {"pinterest.com"}},
      {"action-corvane", {"corvane"}, {"corvane.com", "corvane.app"}},
      {"action-discord", {"discord"}, {"discord.com", "discord.gg"}},
      {"action-twitch", {"twitch"}, {"twitch.tv"}},
      {"action-snapchat", {"snapchat", "snap chat"}, {"snapchat.com"}},
      {"action-linkedin", {"linkedin"}, {"linkedin.com"}},
      {"action-whatsapp", {"whatsapp"}, {"whatsapp.com"}},
      {"action-canva", {"canva"}, {"canva.com"}},
      {"action-capcut", {"capcut"}, {"capcut.com"}},
      {"action-obs", {"obs", "obs studio"}, {"obsproject.com"}},
  };
  return table;
}

const QStringList mailNames{"email", "mail", "gmail", "outlook", "apple mail", "thunderbird", "spark"};
// Web-mail front doors only: other pages on these providers' domains are
// ordinary websites.
const QStringList mailHosts{"mail.google.com",       "outlook.live.com", "outlook.office.com",
                            "outlook.office365.com", "mail.yahoo.com",   "mail.proton.me"};
const QStringList browserNames{"browser",        "safari", "google chrome", "chrome", "firefox",
                               "microsoft edge", "edge",   "brave browser", "arc"};

// The last component of `path` read as a file path: a trailing "/" does not
// count, and the root stays "/".
QString lastPathComponent(const QString& path) {
  qsizetype end = path.size();
  while (end > 1 && path.at(end - 1) == u'/') --end;
  const QString trimmed = path.left(end);
  if (trimmed == u"/") return trimmed;
  return trimmed.mid(trimmed.lastIndexOf(u'/') + 1);
}

QString deletingPathExtension(const QString& component) {
  const qsizetype dot = component.lastIndexOf(u'.');
  if (dot <= 0 || dot == component.size() - 1) return component;
  return component.left(dot);
}

struct Inputs {
  std::array<QString, 3> names;
  QString host;
  QString scheme;

  bool anyName(const QStringList& keywords) const {
    return std::any_of(names.begin(), names.end(), [&](const QString& n) { return keywords.contains(n); });
  }

  bool hostUnder(const QStringList& domains) const {
    if (host.isEmpty()) return false;
    return std::any_of(domains.begin(), domains.end(),
                       [&](const QString& domain) { return host == domain || host.endsWith(u'.' + domain); });
  }
};

Inputs inputsOf(const QString& label, const QString& destination) {
  const QString last = pf::Text::lowercased(lastPathComponent(destination));
  Inputs inputs{{pf::Text::lowercased(pf::Text::trimmed(label)), last, deletingPathExtension(last)}, {}, {}};
  const QUrl url(destination, QUrl::StrictMode);
  if (url.isValid()) {
    inputs.host = pf::Text::lowercased(url.host());
    inputs.scheme = pf::Text::lowercased(url.scheme());
  }
  return inputs;
}

}  // namespace

std::optional<QString> ShortcutReaction::role(const QString& label, const QString& destination) {
  const Inputs inputs = inputsOf(label, destination);
  for (const Rule& rule : rules())
    if (inputs.anyName(rule.names) || inputs.hostUnder(rule.domains)) return QString::fromLatin1(rule.result);
  if (inputs.scheme == u"mailto" || inputs.anyName(mailNames) || mailHosts.contains(inputs.host))
    return QStringLiteral("action-email");
  if (inputs.scheme == u"http" || inputs.scheme == u"https" || inputs.anyName(browserNames))
    return QStringLiteral("action-browser");
  if (inputs.names[1].endsWith(u".app")) return QStringLiteral("action-app");
  return std::nullopt;
}
