// The embedded pictures fit the interface's layout.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/cbitmap.h"
#include "gui/platform/platform_backend.h"

using namespace VSTGUI;

namespace {

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::usePlatformBackend();
    knob = new CBitmap(CResourceDescription(0));
    bg = new CBitmap(CResourceDescription(1));
    lit = new CBitmap(CResourceDescription(2));
  }
  void TearDown() override {
    knob->forget();
    bg->forget();
    lit->forget();
    platform::setActiveBackend(nullptr);
  }
  static int luminance(CColor c) { return (c.red * 3 + c.green * 6 + c.blue) / 10; }
  CColor bgAt(int x, int y) const { return bg->getPlatformImage()->pixel(x, y); }
  CBitmap* knob = nullptr;
  CBitmap* bg = nullptr;
  CBitmap* lit = nullptr;
};

TEST_F(Pictures, SizesAreTheLayouts) {
  EXPECT_EQ(knob->getWidth(), 32);
  EXPECT_EQ(knob->getHeight(), 32);
  EXPECT_EQ(bg->getWidth(), 500);
  EXPECT_EQ(bg->getHeight(), 480);
  EXPECT_EQ(lit->getWidth(), 32);
  EXPECT_EQ(lit->getHeight(), 32);
}

TEST_F(Pictures, KnobAndButtonAreRoundWithTransparentCornersAndTheBackgroundIsOpaque) {
  for (CBitmap* b : {knob, lit}) {
    platform::Image* image = b->getPlatformImage();
    EXPECT_EQ(image->pixel(0, 0).alpha, 0);
    EXPECT_EQ(image->pixel(31, 0).alpha, 0);
    EXPECT_EQ(image->pixel(0, 31).alpha, 0);
    EXPECT_EQ(image->pixel(31, 31).alpha, 0);
    EXPECT_EQ(image->pixel(16, 16).alpha, 255);
  }
  for (int y = 0; y < 480; y += 7)
    for (int x = 0; x < 500; x += 7) ASSERT_EQ(bgAt(x, y).alpha, 255);
}

TEST_F(Pictures, GroovesAreDarkerThanThePanelAroundThem) {
  for (int y : {50, 150, 200, 250, 300, 350, 400}) {
    for (int x : {40, 150, 270}) {
      // Inside the groove, clear of its slot and scale ticks.
      EXPECT_LT(luminance(bgAt(x, y + 7)) + 15, luminance(bgAt(x, y - 3))) << x << "," << y;
    }
  }
}

TEST_F(Pictures, TheLitButtonCoversTheUnlitHoleAndIsBright) {
  const CColor lens = lit->getPlatformImage()->pixel(16, 16);
  EXPECT_GT(luminance(lens), 150);
  for (int x : {32, 190}) EXPECT_LT(luminance(bgAt(x + 16, 95 + 16)), 80) << x;
}

TEST_F(Pictures, MeterLaneIsDarkFromItsTopToItsBottom) {
  // The white bar at half alpha must stand out everywhere it can reach.
  for (int y = 71; y < 370; y += 3) ASSERT_LT(luminance(bgAt(437, y)), 60) << y;
}

TEST_F(Pictures, MeterScaleMarksSitAtTheMeterFormulasHeights) {
  // A mark is a light tick just left of the lane at x 429 … 430.
  for (int db : {0, -6, -20, -40, -80}) {
    const double peak = std::pow(10.0, db / 20.0);
    const int y = static_cast<int>(std::floor(70 + 300 - std::min(std::pow(peak, 0.3) * 300, 299.0)));
    EXPECT_GT(luminance(bgAt(429, y)), luminance(bgAt(429, y + 3)) + 40) << db;
  }
}

}  // namespace
