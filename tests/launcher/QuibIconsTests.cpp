#include "launcher/QuibIcons.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/Symbols.h"
#include "platform/gfx/SystemColors.h"
#include "shortcuts/ShortcutStore.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace {

const QByteArray redSquareSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\" width=\"10\" height=\"10\">"
    "<rect width=\"10\" height=\"10\" fill=\"#f00\"/></svg>";

QByteArray redSquarePng() {
  QImage image(8, 8, QImage::Format_ARGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

Shortcut shortcut(const QString& id, ShortcutKind kind, std::optional<QString> icon = std::nullopt) {
  return {id, id, kind, {}, {}, icon, std::nullopt, true};
}

QColor centreOf(const pf::Image& image, std::optional<pf::Color> tint) {
  return image.rendered({10, 10}, tint).pixelColor(5, 5);
}

/// Icons resolved against an asset root of the test's own, with artwork for
/// "images" (SVG) and "youtube" (PNG) only.
class Icons : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString root = test::home() + QStringLiteral("/Assets");
    test::writeFile(root + "/Icons/images.svg", redSquareSvg);
    test::writeFile(root + "/Icons/youtube.png", redSquarePng());
    QuibIcons::overrideAssetRoot(root);
  }
  void TearDown() override { QuibIcons::overrideAssetRoot(std::nullopt); }
};

}  // namespace

TEST(QuibIconsReference, FollowsTheIconThenTheTintedIdThenFizzcastThenTheKind) {
  const QString custom = QStringLiteral("custom-") + QString(64, QLatin1Char('a'));
  const struct {
    Shortcut item;
    const char* reference;
  } cases[] = {
      {shortcut("anything", ShortcutKind::web, "images"), "images"},
      {shortcut("anything", ShortcutKind::folder, "photos"), "photos"},
      {shortcut("youtube", ShortcutKind::web), "youtube"},
      {shortcut("youtube", ShortcutKind::web, custom), "youtube"},
      {shortcut("fizzcast", ShortcutKind::application), "fizzcast"},
      {shortcut("mine", ShortcutKind::web), "globe"},
      {shortcut("mine", ShortcutKind::folder, custom), "videos"},
      {shortcut("mine", ShortcutKind::application), "app"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuibIcons::reference(c.item), c.reference) << c.item.id.toStdString();
}

TEST_F(Icons, AnSvgIsATemplateAPngKeepsItsColoursAndWithoutArtworkASymbolStandsIn) {
  const auto svg = QuibIcons::icon(QStringLiteral("images"));
  ASSERT_TRUE(svg);
  EXPECT_TRUE(svg->isTemplate());
  EXPECT_EQ(centreOf(*svg, pf::Color::system("systemYellow")), pf::toQColor(pf::Color::system("systemYellow")));

  const auto png = QuibIcons::icon(QStringLiteral("youtube"));
  ASSERT_TRUE(png);
  EXPECT_FALSE(png->isTemplate());
  EXPECT_EQ(centreOf(*png, pf::Color::system("systemBlue")), QColor(Qt::red));

  const struct {
    const char* reference;
    const char* symbol;
  } fallbacks[] = {{"videos", "folder.fill"}, {"corvane", "c.square.fill"}, {"app", "app.fill"},
                   {"photos", "globe"}};
  for (const auto& f : fallbacks) {
    const auto icon = QuibIcons::icon(QString::fromUtf8(f.reference));
    ASSERT_TRUE(icon) << f.reference;
    EXPECT_TRUE(icon->isTemplate());
    EXPECT_EQ(icon->accessibilityDescription(), f.reference);
    const QImage expected = pf::Symbols::named(f.symbol, 16)->rendered({24, 24});
    EXPECT_EQ(icon->rendered({24, 24}), expected) << f.reference;
  }
}

TEST_F(Icons, AnApplicationLeftToItsAutomaticIconShowsTheOneItsEntryNames) {
  const QString red = test::writeFile(test::home() + "/red.png", redSquarePng());
  const QImage symbol = pf::Symbols::named("app.fill", 16)->rendered({24, 24});
  enum class Shown { ownIcon, artwork, symbol };
  const struct {
    const char* name;
    QString iconLine;
    std::optional<QString> chosen;
    Shown shown;
  } cases[] = {
      {"a theme icon", "Icon=utilities-terminal\n", std::nullopt, Shown::ownIcon},
      {"a file", "Icon=" + red + "\n", std::nullopt, Shown::ownIcon},
      {"the application choice", "Icon=" + red + "\n", QStringLiteral("app"), Shown::ownIcon},
      {"another choice", "Icon=" + red + "\n", QStringLiteral("youtube"), Shown::artwork},
      {"an unknown name", "Icon=no-such-icon-in-any-theme\n", std::nullopt, Shown::symbol},
      {"no icon", "", std::nullopt, Shown::symbol},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString entry =
        test::writeFile(test::home() + "/apps/tool.desktop",
                        "[Desktop Entry]\nType=Application\nName=Tool\nExec=true\n" + c.iconLine.toUtf8());
    Shortcut tool = shortcut("tool", ShortcutKind::application, c.chosen);
    tool.destination = entry;
    const auto icon = QuibIcons::icon(tool, nullptr);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->isTemplate(), c.shown == Shown::symbol);
    EXPECT_EQ(icon->rendered({24, 24}) == symbol, c.shown == Shown::symbol);
    EXPECT_EQ(icon->size() == (pf::Size{8, 8}), c.shown == Shown::artwork);
    EXPECT_EQ(icon->size() == (pf::Size{64, 64}), c.shown == Shown::ownIcon);
    if (c.iconLine.contains(red) && c.shown == Shown::ownIcon) {
      EXPECT_EQ(centreOf(*icon, std::nullopt), QColor(Qt::red));
    }
  }
}

TEST_F(Icons, TintsComeFromTheTableAndACustomImageWinsUntinted) {
  ShortcutStore store(pf::UserDefaults::standard(), test::home() + QStringLiteral("/catalog"));
  const QByteArray png = redSquarePng();
  const QString custom = ShortcutImageStore::reference(png);
  const PendingImages pending{{custom, png}};

  EXPECT_EQ(QuibIcons::color(shortcut("mine", ShortcutKind::folder), &store), pf::Color::system("cyan"));
  EXPECT_EQ(QuibIcons::color(shortcut("mine", ShortcutKind::application), &store), std::nullopt);
  EXPECT_EQ(QuibIcons::color(shortcut("x", ShortcutKind::web), nullptr), pf::Color::system("white"));
  EXPECT_EQ(QuibIcons::color(shortcut("mine", ShortcutKind::web, "photos"), &store), std::nullopt);

  const Shortcut tube = shortcut("youtube", ShortcutKind::web, custom);
  EXPECT_EQ(QuibIcons::color(tube, &store, pending), std::nullopt);
  EXPECT_EQ(QuibIcons::icon(tube, &store, pending)->size(), (pf::Size{8, 8}));
  // Without its picture, or without a store to look in, the id's icon and tint return.
  EXPECT_EQ(QuibIcons::color(tube, &store), pf::Color::system("systemRed"));
  EXPECT_EQ(QuibIcons::color(tube, nullptr, pending), pf::Color::system("systemRed"));
  EXPECT_FALSE(QuibIcons::icon(tube, nullptr, pending)->isTemplate());
}

TEST(QuibIconsHeader, ASymbolIsBakedInItsColourAndAnUnknownNameGivesNothing) {
  const auto bell = QuibIcons::headerSymbol(QStringLiteral("bell.fill"), 26, pf::Color::sRGB(0, 1, 0));
  ASSERT_TRUE(bell);
  EXPECT_FALSE(bell->isTemplate());
  EXPECT_EQ(bell->size(), (pf::Size{26, 26}));
  EXPECT_EQ(bell->rendered({52, 52}).pixelColor(26, 26), QColor(0, 255, 0));
  EXPECT_FALSE(QuibIcons::headerSymbol(QStringLiteral("no.such.symbol"), 26, pf::Color::sRGB(0, 1, 0)));
}

TEST(QuibIconsHeader, TheOrbitHasItsHighlightUpperLeftOfThePlanet) {
  const QImage orbit = QuibIcons::orbit().rendered({32, 32});
  // (13.5, 22.5) y up is (13, 9) y down: white over the planet.
  const QColor highlight = orbit.pixelColor(13, 9);
  EXPECT_GT(highlight.lightness(), 180);
  EXPECT_EQ(orbit.pixelColor(1, 1).alpha(), 0);
  EXPECT_GT(orbit.pixelColor(17, 26).alpha(), 200);
}
