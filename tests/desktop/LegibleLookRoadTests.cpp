#include "desktop/DesktopTest.h"
#include "desktop/XSession.h"

#include "clipboard/ClipboardFavoritesStore.h"
#include "platform/core/UserDefaults.h"
#include "platform/gfx/Contrast.h"

#include <QHash>
#include <QImage>
#include <functional>
#include <vector>

// Xlib's macros (None, Bool, Status) clash with Qt's names: include it last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace desk {
namespace {

pf::Rgba rgba(QRgb p) { return {qRed(p) / 255.0, qGreen(p) / 255.0, qBlue(p) / 255.0, 1}; }

double ratio(QRgb a, QRgb b) { return pf::Contrast::ratio(rgba(a), rgba(b)); }

/// The colour most of `image` shows: the ground its text and edges lie on.
QRgb commonest(const QImage& image) {
  QHash<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
  QRgb best = 0;
  int most = -1;
  for (auto it = counts.begin(); it != counts.end(); ++it)
    if (it.value() > most) most = it.value(), best = it.key();
  return best;
}

/// How far the ink of `image` (the pixel that stands out most) stands out from its ground.
double inkContrast(const QImage& image) {
  const QRgb ground = commonest(image);
  double best = 1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) best = std::max(best, ratio(image.pixel(x, y), ground));
  return best;
}

double luminance(QRgb p) { return pf::Contrast::luminance(rgba(p)); }

void chooseSkin(const char* skin) {
  pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QString::fromUtf8(skin));
}

}  // namespace

// The glass was made to lie over a blurred desktop; xcompmgr blurs nothing,
// so not one stripe of the window beneath may show through it.
TEST_F(DesktopTest, TheGlassHidesTheStripesOfTheWindowBeneathIt) {
  DesktopPeer beneath({0, 0, XSession::screenWidth, XSession::screenHeight});
  ASSERT_TRUE(beneath.said("ready"));
  placeCompanion(900, 0);
  start();
  const TopWindow launcher = openLauncher();
  // A band of bare glass down the launcher's left margin, clear of its buttons.
  const QRect client = launcher.clientRect;
  const QRect band(client.left() + 7, client.top() + 60, 5, client.height() - 120);
  // The most any column of the band changes from top to bottom.
  const auto stripesShowing = [&] {
    const QImage seen = screen.grab(band);
    double most = 0;
    for (int x = 0; x < seen.width(); ++x) {
      double low = 1, high = 0;
      for (int y = 0; y < seen.height(); ++y) {
        low = std::min(low, luminance(seen.pixel(x, y)));
        high = std::max(high, luminance(seen.pixel(x, y)));
      }
      most = std::max(most, high - low);
    }
    return most;
  };
  // Once it has faded in.
  EXPECT_TRUE(waitUntil([&] { return stripesShowing() < 0.002; }, 3000))
      << "stripes show through the glass, its luminance ranging " << stripesShowing();
  shot(QStringLiteral("launcher"));
}

namespace {

/// The rectangles `window` asks the compositor to blur behind.
QRegion askedBlur(XDisplay* display, WindowId window) {
  const Atom blur = XInternAtom(display, "_KDE_NET_WM_BLUR_BEHIND_REGION", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  QRegion asked;
  if (XGetWindowProperty(display, window, blur, 0, 100000, False, XA_CARDINAL, &type, &format, &count, &remaining,
                         &data) == Success && data) {
    const auto* values = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i + 3 < count; i += 4)
      asked += QRect(int(values[i]), int(values[i + 1]), int(values[i + 2]), int(values[i + 3]));
  }
  if (data) XFree(data);
  return asked;
}

/// The atoms a root window property lists.
std::vector<long> atomsOf(XDisplay* display, Atom property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::vector<long> atoms;
  if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 4096, False, XA_ATOM, &type, &format,
                         &count, &remaining, &data) == Success && data)
    atoms.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
  if (data) XFree(data);
  return atoms;
}

void setAtoms(XDisplay* display, Atom property, const std::vector<long>& atoms) {
  XChangeProperty(display, DefaultRootWindow(display), property, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
  XSync(display, False);
}

}  // namespace

// A compositor that blurs says so as KWin does (a root property of the
// blur's name) or as a window manager may (the name among those it
// supports); then the glass asks for blur behind its rounded shape, the
// whole window but its corners. Where none says so, it asks for none.
TEST_F(DesktopTest, WhereTheCompositorBlursTheGlassAsksForBlurBehindItsRoundedShape) {
  XDisplay* display = XSession::shared().display();
  const Atom blur = XInternAtom(display, "_KDE_NET_WM_BLUR_BEHIND_REGION", False);
  const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
  const std::vector<long> supportedBefore = atomsOf(display, supported);
  const auto announceByProperty = [&](bool on) {
    if (on) {
      setAtoms(display, blur, {0});
    } else {
      XDeleteProperty(display, DefaultRootWindow(display), blur);
      XSync(display, False);
    }
  };
  const auto announceAsSupported = [&](bool on) {
    std::vector<long> atoms = supportedBefore;
    if (on) atoms.push_back(long(blur));
    setAtoms(display, supported, atoms);
  };
  placeCompanion(900, 0);
  const struct {
    const char* name;
    std::function<void(bool)> announce;
    bool offered;
  } ways[] = {{"nobody", [](bool) {}, false},
              {"a root property", announceByProperty, true},
              {"the supported list", announceAsSupported, true}};
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    way.announce(true);
    start();
    const TopWindow launcher = openLauncher();
    QRegion asked;
    const bool blurred = waitUntil([&] { return !(asked = askedBlur(display, launcher.id)).isEmpty(); }, 3000);
    way.announce(false);
    programs.clear();
    windows.waitGone(companionTitle);
    if (!way.offered) {
      EXPECT_FALSE(blurred) << "blur asked for where no compositor offers it";
      continue;
    }
    ASSERT_TRUE(blurred) << "no blur asked for";
    const QSize size = launcher.clientRect.size();
    EXPECT_EQ(asked.boundingRect(), QRect(QPoint(0, 0), size)) << "blur asked for elsewhere than the glass";
    EXPECT_TRUE(asked.contains(QPoint(size.width() / 2, size.height() / 2)));
    EXPECT_TRUE(asked.contains(QPoint(size.width() / 2, 0)));
    for (const QPoint corner : {QPoint(1, 1), QPoint(size.width() - 2, size.height() - 2)})
      EXPECT_FALSE(asked.contains(corner)) << "the blur does not follow the rounded corners";
  }
  EXPECT_EQ(atomsOf(display, supported), supportedBefore);
}

// In a dark and in a light skin, the Clipboard window's coloured buttons and
// its hint read at 4.5:1, and the Settings window's unchecked box shows its
// edge at 3:1 against the glass around it.
TEST_F(DesktopTest, TheClipboardsButtonsAndHintAndAnUncheckedBoxReadInADarkAndALightSkin) {
  ClipboardFavoritesStore().save(ClipboardFavorite{.name = QStringLiteral("Tea"), .text = QStringLiteral("Earl Grey")},
                                 std::nullopt);
  placeCompanion(1140, 0);
  for (const char* skin : {"classic", "pearlSpace"}) {
    SCOPED_TRACE(skin);
    chooseSkin(skin);
    RunningWendle& wendle = start();
    const std::optional<TopWindow> favorites =
        openFromHook(wendle, QStringLiteral("Clipboard…"), QStringLiteral("Clipboard — Wendle"));
    ASSERT_TRUE(favorites);
    windows.settled(favorites->title);
    const QString hint = QStringLiteral("1 shown · Select an item and Copy, or double-click it.");
    for (const QString& name : {QStringLiteral("New…"), QStringLiteral("Copy"), QStringLiteral("Delete…"), hint}) {
      std::optional<Seen> seen;
      ASSERT_TRUE(waitUntil([&] { return (seen = wendle.find(favorites->id, name)).has_value(); }))
          << name.toStdString() << " is not shown";
      EXPECT_GE(inkContrast(screen.grab(seen->rect.adjusted(3, 3, -3, -3))), pf::Contrast::text) << name.toStdString();
    }

    const std::optional<TopWindow> settings =
        openFromHook(wendle, QStringLiteral("Settings…"), QStringLiteral("Wendle Settings"));
    ASSERT_TRUE(settings);
    windows.settled(settings->title);
    const std::optional<Seen> box = wendle.labelled(settings->id, QStringLiteral("Accent on Trim Only"));
    ASSERT_TRUE(box && !box->checked);
    // The box, and the glass around it.
    const QImage around = screen.grab(box->rect.adjusted(-4, -4, 4, 4));
    const QRgb glass = around.pixel(1, around.height() / 2);
    QRect edge;
    for (int y = 0; y < around.height(); ++y)
      for (int x = 0; x < around.width(); ++x)
        if (ratio(around.pixel(x, y), glass) >= pf::Contrast::edge) edge |= QRect(x, y, 1, 1);
    EXPECT_GE(edge.width(), 10) << "the box's edge does not stand out from the glass";
    EXPECT_GE(edge.height(), 10) << "the box's edge does not stand out from the glass";
    int standing = 0;
    for (int x = edge.left(); x <= edge.right(); ++x)
      standing += (ratio(around.pixel(x, edge.top()), glass) >= pf::Contrast::edge) +
                  (ratio(around.pixel(x, edge.bottom()), glass) >= pf::Contrast::edge);
    EXPECT_GE(standing, 2 * edge.width() * 8 / 10) << "the box's edge shows only in part";
    shot(QString::fromUtf8(skin));
    programs.clear();
    windows.waitGone(companionTitle);
  }
}

// The status menu and a window's pop-up list are dark in a dark skin, and
// light once the skin chosen in that very list is a light one; their items read.
TEST_F(DesktopTest, MenusAndPopUpListsWearTheSkinAndChangeWithIt) {
  placeCompanion(1140, 0);
  RunningWendle& wendle = start();
  const auto shownWindowWith = [&](const QString& item) {
    std::optional<std::pair<TopWindow, Seen>> found;
    EXPECT_TRUE(waitUntil([&] {
      return (found = onScreen(wendle, [&](const Seen& seen) { return seen.name == item; })).has_value();
    })) << item.toStdString() << " does not show";
    return found ? screen.grab(found->first.clientRect) : QImage();
  };
  const auto statusMenu = [&] {
    input.click(companion().clientRect.center(), 3);
    const QImage menu = shownWindowWith(QStringLiteral("Settings…"));
    shot(QStringLiteral("menu"));
    input.key(QStringLiteral("Escape"));
    return menu;
  };

  const QImage darkMenu = statusMenu();
  EXPECT_LT(luminance(commonest(darkMenu)), 0.05) << "the status menu is light on a dark skin";
  EXPECT_GE(inkContrast(darkMenu), pf::Contrast::text);

  const std::optional<TopWindow> settings =
      openFromHook(wendle, QStringLiteral("Settings…"), QStringLiteral("Wendle Settings"));
  ASSERT_TRUE(settings);
  windows.settled(settings->title);
  const std::optional<Seen> skins = wendle.labelled(settings->id, QStringLiteral("Skin"));
  ASSERT_TRUE(skins);
  input.click(skins->rect.center());
  const QImage list = shownWindowWith(QStringLiteral("Pearl Space"));
  EXPECT_LT(luminance(commonest(list)), 0.05) << "the pop-up list is light on a dark skin";
  EXPECT_GE(inkContrast(list), pf::Contrast::text);
  clickShown(wendle, QStringLiteral("Pearl Space"));

  const QImage lightMenu = statusMenu();
  EXPECT_GT(luminance(commonest(lightMenu)), 0.6) << "the status menu stayed dark on a light skin";
  EXPECT_GE(inkContrast(lightMenu), pf::Contrast::text);
}

}  // namespace desk
