#include "shortcuts/CatalogSupport.h"
#include "shortcuts/ShortcutReaction.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* label;
  const char* destination;
  const char* expected;  // nullptr: no rule matches
};

void PrintTo(const Case& c, std::ostream* out) { *out << '[' << c.label << "] [" << c.destination << ']'; }

class ShortcutReactionRole : public ::testing::TestWithParam<Case> {};

TEST_P(ShortcutReactionRole, GivesTheFirstMatchingRule) {
  const Case& c = GetParam();
  const auto role = ShortcutReaction::role(QString::fromUtf8(c.label), QString::fromUtf8(c.destination));
  if (c.expected) {
    EXPECT_EQ(role, std::optional<QString>(QString::fromUtf8(c.expected)));
  } else {
    EXPECT_EQ(role, std::nullopt) << role->toStdString();
  }
}

// One or more rows per rule, in the rules' order, then the cases where order,
// trimming and host boundaries decide.
const Case everyRule[] = {
    {"Stuff", "/home/me/Downloads", "action-downloads"},
    {"Pictures", "", "action-images"},
    {"x", "/home/me/Photos/", "action-images"},
    {"Clips", "/home/me/Images.folder", "action-images"},
    {"Movies", "", "action-videos"},
    {"Listen", "https://example.com/music", "action-music"},
    {"Listen", "https://open.spotify.com/playlist/1", "action-music"},
    {"Apple Music", "", "action-music"},
    {"Listen", "https://music.apple.com/", "action-music"},
    {"Songs", "https://suno.com/create", "action-music"},
    {"Clips", "https://www.tiktok.com/@me", "action-tiktok"},
    {"Studio", "https://studio.youtube.com/channel/1", "action-youtube-studio"},
    {"YouTube Studio", "", "action-youtube-studio"},
    {"Ads", "https://business.facebook.com/latest", "action-meta"},
    {"Ads", "https://business.meta.com/", "action-meta"},
    {"Meta Business Suite", "", "action-meta"},
    {"FB", "", "action-facebook"},
    {"Social", "https://m.facebook.com/me", "action-facebook"},
    {"Social", "https://fb.com/me", "action-facebook"},
    {"  YouTube \n", "https://example.com/watch", "action-youtube"},
    {"Watch", "https://youtu.be/abc", "action-youtube"},
    {"Watch", "https://www.youtube.com/watch?v=1", "action-youtube"},
    {"Pics", "https://instagram.com/me", "action-instagram"},
    {"X", "", "action-x"},
    {"Posts", "https://twitter.com/me", "action-x"},
    {"Posts", "https://x.com/me", "action-x"},
    {"Pintrest", "", "action-pinterest"},
    {"Boards", "https://www.pinterest.com/me", "action-pinterest"},
    {"Corvane", "", "action-corvane"},
    {"Corv", "https://app.corvane.com/", "action-corvane"},
    {"Chat", "https://discord.gg/invite", "action-discord"},
    {"Live", "https://www.twitch.tv/me", "action-twitch"},
    {"Snap Chat", "", "action-snapchat"},
    {"Work", "https://www.linkedin.com/in/me", "action-linkedin"},
    {"Messages", "https://web.whatsapp.com/", "action-whatsapp"},
    {"Design", "https://www.canva.com/", "action-canva"},
    {"Edit", "https://www.capcut.com/", "action-capcut"},
    {"OBS Studio", "/usr/share/applications/com.obsproject.Studio.desktop", "action-obs"},
    {"Stream", "https://obsproject.com/download", "action-obs"},
    {"Write", "mailto:me@example.com", "action-email"},
    {"Thunderbird", "/usr/share/applications/thunderbird.desktop", "action-email"},
    {"Inbox", "https://mail.google.com/mail/u/0", "action-email"},
    {"Inbox", "https://outlook.office365.com/owa/", "action-email"},
    {"Web", "https://example.com/", "action-browser"},
    {"Web", "HTTP://EXAMPLE.COM/page", "action-browser"},
    {"Browse", "/usr/share/applications/firefox.desktop", "action-browser"},
    {"Fizzcast", "/Applications/Fizzcast.app", "action-app"},
    {"Notes", "/home/me/Documents", nullptr},
    {"Notes", "", nullptr},
};

const Case orderAndBoundaries[] = {
    // Rule 1 comes before the label's own rule.
    {"YouTube", "/home/me/Downloads", "action-downloads"},
    {"YouTube", "/home/me/Downloads/", "action-downloads"},
    {"Downloads", "https://www.youtube.com/", "action-downloads"},
    // The folder's own name wins over the folder it lies in.
    {"Videos", "/home/me/Downloads/Videos", "action-videos"},
    // A music page wins by name over its host, but not over rules 1 to 3.
    {"Watch", "https://www.youtube.com/music", "action-music"},
    {"Music", "https://example.com/videos", "action-videos"},
    // The narrower hosts stand before the services they live under.
    {"Channel", "https://studio.youtube.com/", "action-youtube-studio"},
    {"Page", "https://business.facebook.com/", "action-meta"},
    // A different domain ending in the same letters is not a subdomain.
    {"Page", "https://notyoutube.com/", "action-browser"},
    {"Page", "https://myx.com/", "action-browser"},
    {"Page", "https://youtube.com.example.net/", "action-browser"},
    // Web-mail hosts match only exactly.
    {"Inbox", "https://eu.mail.google.com/", "action-browser"},
    {"Inbox", "https://MAIL.GOOGLE.COM/", "action-email"},
    // Names are compared whole.
    {"YouTube Channel", "", nullptr},
    {"My Downloads", "/home/me/Stuff", nullptr},
    // Application bundles by their names.
    {"Browser", "/Applications/Safari.app", "action-browser"},
    {"Player", "/Applications/Spotify.app", "action-music"},
    {"Post", "/Applications/Mail.app", "action-email"},
    {"Post", "/Applications/Fizzcast.APP", "action-app"},
    // A destination that is no URL has no host and no scheme.
    {"Page", "not a url: youtube.com", nullptr},
    {"Page", "https://exa mple.com/youtube", "action-youtube"},
    // The root path and a bare host.
    {"Top", "/", nullptr},
    {"Page", "https://twitch.tv", "action-twitch"},
};

INSTANTIATE_TEST_SUITE_P(EveryRule, ShortcutReactionRole, ::testing::ValuesIn(everyRule));
INSTANTIATE_TEST_SUITE_P(OrderAndBoundaries, ShortcutReactionRole, ::testing::ValuesIn(orderAndBoundaries));

}  // namespace
