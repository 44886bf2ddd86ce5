#include "look/ui/OverlayFixture.h"
#include "look/ui/QuibCardRow.h"
#include "look/ui/QuibContentSmoke.h"
#include "look/ui/QuibFramedCard.h"

#include "support/gfx/RecordingCanvas.h"
#include "look/QuibTheme.h"
#include "platform/ui/ViewLayer.h"

#include <QImage>

using pf::Rect;

namespace {

const pf::Path card = pf::Path::roundedRect(Rect(2, 1.5, 196, 37), 8, 8);

QColor pixel(QWidget& view, int x, int y) { return view.grab().toImage().pixelColor(x, y); }

}  // namespace

class Cards : public OverlayFixture {
 protected:
  void SetUp() override {
    OverlayFixture::SetUp();
    choose("smoke");
  }
};

TEST_F(Cards, ARowIsACardInTheThemeAndASelectionAHighlightedCard) {
  for (const char* theme : {"blue", "green", "custom"}) {
    pf::UserDefaults::standard().set(QuibTheme::preferenceKey, QString::fromLatin1(theme));
    test::RecordingCanvas canvas;
    QuibCardRow::drawBackground(canvas, Rect(0, 0, 200, 40));
    QuibCardRow::drawSelection(canvas, Rect(0, 0, 200, 40));
    const auto drawn = canvas.drawn();
    ASSERT_EQ(drawn.size(), 4u);
    const struct {
      test::DrawCall::Kind kind;
      pf::Color color;
      double width;
    } expected[] = {
        {test::DrawCall::Kind::fill, QuibTheme::card(), 0},
        {test::DrawCall::Kind::stroke, QuibTheme::accent().withAlpha(0.6), 2},
        {test::DrawCall::Kind::fill, QuibTheme::highlight().withAlpha(0.12), 0},
        {test::DrawCall::Kind::stroke, QuibTheme::highlight(), 2.5},
    };
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(drawn[i].kind, expected[i].kind) << theme << i;
      EXPECT_EQ(drawn[i].color, expected[i].color) << theme << i;
      EXPECT_EQ(drawn[i].lineWidth, expected[i].width) << theme << i;
      EXPECT_EQ(drawn[i].path, card) << theme << i;
    }
  }
}

TEST_F(Cards, ARowWidgetPaintsItsCardAndSmokesItButNotItsSelection) {
  QuibCardRow row;
  row.resize(200, 40);
  const QColor plain = pixel(row, 100, 20);
  EXPECT_NE(plain, pixel(row, 0, 0)) << "the card fills the row but its rounded corners";
  row.setSelected(true);
  EXPECT_NE(pixel(row, 100, 20), plain);
  const auto smoke = pf::ViewLayer::of(&row)->sublayerNamed(QuibContentSmoke::layerName);
  ASSERT_NE(smoke, nullptr);
  EXPECT_EQ(smoke->value(QuibContentSmoke::geometryKey), "{{2, 1.5}, {196, 37}}false");
}

TEST_F(Cards, AFramedCardDrawsTheSkinFrameExceptOnNeonSpace) {
  const struct {
    const char* skin;
    bool framed;
  } cases[] = {{"steampunk", true}, {"robotLab", true}, {"neonSpace", false}, {"classic", false}};
  for (const auto& c : cases) {
    pf::UserDefaults::standard().set(QStringLiteral("visualSkin"), QString::fromLatin1(c.skin));
    QuibFramedCard framed;
    framed.resize(160, 90);
    choose("none");
    const QImage image = framed.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 45) != image.pixelColor(80, 45), c.framed) << c.skin;
    choose("smoke");
    framed.grab();
    const auto smoke = pf::ViewLayer::of(&framed)->sublayerNamed(QuibContentSmoke::layerName);
    ASSERT_NE(smoke, nullptr) << c.skin;
    EXPECT_EQ(smoke->value(QuibContentSmoke::geometryKey), "{{0, 0}, {160, 90}}false");
  }
}
