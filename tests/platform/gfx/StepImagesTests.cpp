#include "platform/gfx/Layer.h"
#include "platform/gfx/StepImages.h"

#include <gtest/gtest.h>

using namespace pf;

namespace {

struct Picture {
  std::weak_ptr<const Layer> layer;
  QImage image;
  quint64 lastUsed = 0;
};

// A picture of `layer` taking `bytes` (a multiple of 4).
Picture picture(const std::shared_ptr<Layer>& layer, qsizetype bytes) {
  return {layer, QImage(static_cast<int>(bytes / 4), 1, QImage::Format_ARGB32_Premultiplied), 0};
}

}  // namespace

TEST(StepImages, StoresShareOneBudgetAndGiveBackWhatTheyLetGo) {
  const auto layer = Layer::make();
  const qsizetype quarter = static_cast<qsizetype>(StepBudget::budget / 4);
  const std::size_t before = StepBudget::sharedBytes();
  {
    StepImages<Picture> one;
    StepImages<Picture> two;
    one.keep(1, picture(layer, quarter));
    one.keep(1, picture(layer, quarter));  // a key is kept once
    one.keep(2, picture(layer, quarter));
    two.keep(1, picture(layer, quarter));
    EXPECT_EQ(StepBudget::sharedBytes(), before + 3 * static_cast<std::size_t>(quarter));
    two.keep(2, picture(layer, quarter + 4));  // past the budget
    EXPECT_EQ(two.find(2, 0), nullptr);
    ASSERT_NE(two.find(1, 0), nullptr);
    EXPECT_EQ(two.find(1, 0)->image.sizeInBytes(), quarter);
    one.clear();
    EXPECT_EQ(StepBudget::sharedBytes(), before + static_cast<std::size_t>(quarter));
    EXPECT_EQ(one.find(1, 0), nullptr);
  }
  EXPECT_EQ(StepBudget::sharedBytes(), before);
}

TEST(StepImages, PicturesGoWithTheirLayerOrWhenLongUnaskedFor) {
  auto gone = Layer::make();
  const auto kept = Layer::make(), idle = Layer::make();
  StepImages<Picture> store;
  store.keep(1, picture(gone, 400));
  store.keep(2, picture(kept, 400));
  store.keep(3, picture(idle, 400));
  gone.reset();
  EXPECT_EQ(store.find(1, 0), nullptr);  // its layer is gone: never found again
  const quint64 later = StepImages<Picture>::idleFrames + 10;
  ASSERT_NE(store.find(2, later - 5), nullptr);
  store.sweep(later);
  EXPECT_EQ(store.bytes(), 400U);
  EXPECT_NE(store.find(2, later), nullptr);
  EXPECT_EQ(store.find(3, later), nullptr);
}
