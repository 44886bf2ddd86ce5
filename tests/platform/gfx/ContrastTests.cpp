#include "platform/gfx/Contrast.h"

#include <gtest/gtest.h>

using pf::Contrast;
using pf::Rgba;

namespace {

Rgba grey(double level, double alpha = 1) { return {level, level, level, alpha}; }
Rgba rgb8(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1}; }

}  // namespace

// Reference pairs whose ratios are well known from the WCAG documents and
// the tools built on them.
TEST(Contrast, RatiosMatchTheWcagReferencePairs) {
  const struct {
    Rgba a, b;
    double ratio;
  } pairs[] = {
      {grey(0), grey(1), 21},
      {grey(1), grey(0), 21},
      {grey(0.5), grey(0.5), 1},
      {rgb8(0x76, 0x76, 0x76), grey(1), 4.54},  // the lightest grey that passes on white
      {rgb8(0x77, 0x77, 0x77), grey(1), 4.48},
      {rgb8(0, 0, 255), grey(1), 8.59},
      {rgb8(255, 0, 0), grey(1), 4.0},
  };
  for (const auto& pair : pairs) EXPECT_NEAR(Contrast::ratio(pair.a, pair.b), pair.ratio, 0.01);
  // Alpha is not the ratio's business: a colour is judged as painted.
  EXPECT_DOUBLE_EQ(Contrast::ratio(grey(1, 0.2), grey(0)), 21);
}

TEST(Contrast, PaintingOverBlendsByTheTopsAlpha) {
  const Rgba half = Contrast::over(grey(0, 0.5), grey(1));
  EXPECT_DOUBLE_EQ(half.red, 0.5);
  EXPECT_DOUBLE_EQ(half.alpha, 1);
  EXPECT_EQ(Contrast::over(grey(0.3), grey(1)), grey(0.3));
  EXPECT_EQ(Contrast::over(grey(0.3, 0), grey(1)), grey(1));
  // Two half-seen layers make three quarters, coloured by both.
  const Rgba both = Contrast::over({1, 0, 0, 0.5}, {0, 0, 1, 0.5});
  EXPECT_DOUBLE_EQ(both.alpha, 0.75);
  EXPECT_NEAR(both.red, 2.0 / 3, 1e-12);
  EXPECT_NEAR(both.blue, 1.0 / 3, 1e-12);
  EXPECT_EQ(Contrast::over(grey(0, 0), grey(0, 0)), Rgba{});
}

// A face is taken only as far toward black (or white) as its ink needs: the
// step before the one chosen would not read yet.
TEST(Contrast, ALegibleFaceIsTheFirstStepThatReads) {
  const struct {
    Rgba face, ink;
  } cases[] = {
      {rgb8(48, 209, 88), grey(1)},    // a bright green under white text
      {rgb8(255, 69, 58), grey(1)},    // red
      {rgb8(10, 132, 255), grey(1)},   // blue
      {rgb8(20, 40, 90), grey(1)},     // already dark enough: kept
      {rgb8(200, 230, 250), grey(0)},  // a pale face under black text: kept
      {rgb8(60, 60, 70), grey(0)},     // a dark face under black text is lightened
  };
  for (const auto& c : cases) {
    const Rgba face = Contrast::legibleFace(c.face, c.ink, Contrast::text);
    EXPECT_GE(Contrast::ratio(face, c.ink), Contrast::text);
    EXPECT_EQ(face.alpha, 1);
    const double toward = Contrast::luminance(c.ink) < Contrast::luminance(c.face) ? 1 : 0;
    // How far the face went, read from its red channel (never at `toward` in these cases).
    const double went = (face.red - c.face.red) / (toward - c.face.red);
    const auto stepped = [&](double f) {
      const auto mix = [&](double v) { return v + (toward - v) * f; };
      return Rgba{mix(c.face.red), mix(c.face.green), mix(c.face.blue), 1};
    };
    EXPECT_EQ(face, stepped(went));
    if (went > 0) {
      EXPECT_LT(Contrast::ratio(stepped(went - 1.0 / 20), c.ink), Contrast::text);
    }
  }
  // Only the last step, black itself, carries white at 20:1.
  EXPECT_EQ(Contrast::legibleFace(grey(1), grey(1), 20), grey(0));
}
