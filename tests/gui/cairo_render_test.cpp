// The cairo backend judged by the pixels of offscreen renders.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gui/cbitmap.h"
#include "gui/coffscreen_context.h"
#include "gui/platform/cairo/cairo_backend.h"
#include "gui/platform/platform_backend.h"

using namespace VSTGUI;

namespace {

constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kBlue{0, 0, 255, 255};
constexpr CColor kNone{0, 0, 0, 0};

class CairoRender : public ::testing::Test {
 protected:
  void SetUp() override { platform::usePlatformBackend(); }
  void TearDown() override { platform::setActiveBackend(nullptr); }
};

// Offscreen contexts as the tests use them: transparent to start.
struct Offscreen {
  explicit Offscreen(int w = 40, int h = 40) : c(new COffscreenContext(nullptr, w, h)) {}
  ~Offscreen() { c->forget(); }
  CColor at(int x, int y) const { return c->pixelAt(x, y); }
  COffscreenContext* c;
};

TEST_F(CairoRender, RectangleFillsTenByTenAndOutlinesOnItsBorderPixels) {
  Offscreen o;
  o.c->setFillColor(kRed);
  o.c->setFrameColor(kBlue);
  o.c->drawRect(CRect(10, 10, 20, 20), kDrawFilledAndStroked);
  EXPECT_EQ(o.at(15, 15), kRed);
  for (int i = 10; i < 20; ++i) {
    EXPECT_EQ(o.at(i, 10), kBlue) << i;
    EXPECT_EQ(o.at(i, 19), kBlue) << i;
    EXPECT_EQ(o.at(10, i), kBlue) << i;
    EXPECT_EQ(o.at(19, i), kBlue) << i;
  }
  EXPECT_EQ(o.at(20, 15), kNone);
  EXPECT_EQ(o.at(15, 20), kNone);
  EXPECT_EQ(o.at(9, 9), kNone);
}

TEST_F(CairoRender, AliasedDrawingLeavesNoPartialPixels) {
  Offscreen o;
  o.c->setFillColor(kRed);
  o.c->drawEllipse(CRect(3, 3, 33, 25), kDrawFilled);
  o.c->drawArc(CRect(0, 0, 40, 40), 10, 80, kDrawStroked);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint8_t a = o.at(x, y).alpha;
      ASSERT_TRUE(a == 0 || a == 255) << x << "," << y;
    }
  EXPECT_EQ(o.at(18, 14), kRed);  // centre of the ellipse
  EXPECT_EQ(o.at(3, 3), kNone);   // outside, in the box's corner
}

TEST_F(CairoRender, AntialiasingBlendsEdges) {
  Offscreen o;
  o.c->setDrawMode(kAntialias);
  o.c->setFillColor(kRed);
  o.c->drawEllipse(CRect(3, 3, 33, 25), kDrawFilled);
  int partial = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) partial += o.at(x, y).alpha > 0 && o.at(x, y).alpha < 255;
  EXPECT_GT(partial, 10);
}

TEST_F(CairoRender, APointIsOnePixelAndLinesCoverTheirPixels) {
  Offscreen o;
  o.c->drawPoint(CPoint(5, 6), kRed);
  EXPECT_EQ(o.at(5, 6), kRed);
  EXPECT_EQ(o.at(6, 6), kNone);
  EXPECT_EQ(o.at(4, 6), kNone);
  EXPECT_EQ(o.at(5, 5), kNone);
  o.c->setFrameColor(kBlue);
  o.c->moveTo(CPoint(10, 20));
  o.c->lineTo(CPoint(30, 20));
  EXPECT_EQ(o.at(10, 20), kBlue);
  EXPECT_EQ(o.at(29, 20), kBlue);
  EXPECT_EQ(o.at(20, 19), kNone);
  EXPECT_EQ(o.at(20, 21), kNone);
}

TEST_F(CairoRender, DottedLinesAlternate) {
  Offscreen o;
  o.c->setLineStyle(kLineOnOffDash);
  o.c->moveTo(CPoint(0, 5));
  o.c->lineTo(CPoint(20, 5));
  int on = 0;
  for (int x = 0; x < 20; ++x) on += o.at(x, 5).alpha == 255;
  EXPECT_GE(on, 8);
  EXPECT_LE(on, 12);
}

TEST_F(CairoRender, ClipLimitsDrawingAndDrawingRespectsTheOffset) {
  Offscreen o;
  o.c->setFillColor(kRed);
  o.c->setOffset(CPoint(5, 5));
  o.c->setClipRect(CRect(0, 0, 10, 10));  // absolute 5 … 15
  o.c->drawRect(CRect(-5, -5, 35, 35), kDrawFilled);
  EXPECT_EQ(o.at(5, 5), kRed);
  EXPECT_EQ(o.at(14, 14), kRed);
  EXPECT_EQ(o.at(15, 15), kNone);
  EXPECT_EQ(o.at(4, 10), kNone);
}

TEST_F(CairoRender, FontsResolveToMetricCompatibleFaces) {
  EXPECT_EQ(platform::cairo::resolvedFamily("Arial"), "Liberation Sans") << "needs package fonts-liberation2";
  EXPECT_EQ(platform::cairo::resolvedFamily("Courier New"), "Liberation Mono")
      << "needs package fonts-liberation2";
  EXPECT_FALSE(platform::cairo::resolvedFamily("Verdana").empty()) << "needs package fonts-dejavu-core";
}

TEST_F(CairoRender, TextSitsAboveItsPointAndMeasuresLikeArial) {
  Offscreen o(200, 60);
  o.c->setFontColor(kWhiteCColor);
  o.c->drawStringUTF8("Hxg", CPoint(10, 40), true);
  int above = 0;
  int below = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      if (o.at(x, y).alpha) (y <= 40 ? above : below)++;
  EXPECT_GT(above, 20);
  EXPECT_EQ(below, 0);  // the line box ends at y = 41
  // Arial's (and Liberation Sans') advance of "M" at 12 px is 10 px.
  EXPECT_NEAR(o.c->getStringWidth("M"), 10.0, 0.05);
  EXPECT_NEAR(o.c->getStringWidth("MM"), 2 * o.c->getStringWidth("M"), 0.01);
  EXPECT_EQ(o.c->getStringWidth(""), 0);
}

TEST_F(CairoRender, TextInARectangleIsClippedToIt) {
  Offscreen o(200, 60);
  o.c->setFont(kSystemFont, 30);
  o.c->drawStringUTF8("WWWWWWWW", CRect(10, 10, 60, 40), kLeftText, true);
  int outside = 0;
  int inside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      if (o.at(x, y).alpha) (x >= 10 && x < 60 && y >= 10 && y < 40 ? inside : outside)++;
  EXPECT_GT(inside, 50);
  EXPECT_EQ(outside, 0);
}

TEST_F(CairoRender, BitmapsCopyExactlyCropAndBlendWithConstantAlpha) {
  auto* bg = new CBitmap(CResourceDescription(1));
  ASSERT_EQ(bg->getWidth(), 500);
  ASSERT_EQ(bg->getHeight(), 480);
  platform::Image* source = bg->getPlatformImage();
  Offscreen whole(500, 480);
  bg->draw(whole.c, CRect(0, 0, 500, 480));
  for (int i = 0; i < 50; ++i) {
    const int x = (i * 97) % 500;
    const int y = (i * 61) % 480;
    ASSERT_EQ(whole.at(x, y), source->pixel(x, y)) << x << "," << y;
  }

  Offscreen crop(60, 60);
  bg->draw(crop.c, CRect(10, 10, 42, 42), CPoint(0, 0));
  EXPECT_EQ(crop.at(10, 10), source->pixel(0, 0));
  EXPECT_EQ(crop.at(41, 41), source->pixel(31, 31));
  EXPECT_EQ(crop.at(42, 42), kNone);
  EXPECT_EQ(crop.at(9, 9), kNone);
  bg->draw(crop.c, CRect(0, 50, 10, 60), CPoint(434, 360));  // a part picked by the source point
  EXPECT_EQ(crop.at(3, 55), source->pixel(437, 365));

  Offscreen half(40, 40);
  bg->drawAlphaBlend(half.c, CRect(0, 0, 40, 40), CPoint(0, 0), 128);
  EXPECT_NEAR(half.at(20, 20).alpha, 128, 1);
  Offscreen none(40, 40);
  bg->drawAlphaBlend(none.c, CRect(0, 0, 40, 40), CPoint(0, 0), 0);
  EXPECT_EQ(none.at(20, 20), kNone);
  bg->forget();
}

TEST_F(CairoRender, OffscreenRendersRoundTripThroughPngFiles) {
  const auto path = std::filesystem::temp_directory_path() / "vorn_gui_roundtrip.png";
  {
    Offscreen o(30, 20);
    o.c->setFillColor(CColor{10, 200, 30, 255});
    o.c->drawRect(CRect(0, 0, 30, 20), kDrawFilled);
    ASSERT_TRUE(o.c->writePng(path.c_str()));
  }
  CBitmap* loaded = CBitmap::loadFromFile(path.c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->getWidth(), 30);
  EXPECT_EQ(loaded->getPlatformImage()->pixel(5, 5), (CColor{10, 200, 30, 255}));
  loaded->forget();
  std::filesystem::remove(path);
}

TEST_F(CairoRender, BrokenOrMissingPicturesLoadAsNothing) {
  EXPECT_EQ(CBitmap::loadFromFile("/nonexistent/picture.png"), nullptr);
  const auto path = std::filesystem::temp_directory_path() / "vorn_gui_garbage.png";
  {
    std::ofstream out(path, std::ios::binary);
    out << "\x89PNG\r\n\x1a\n this is not a picture";
  }
  EXPECT_EQ(CBitmap::loadFromFile(path.c_str()), nullptr);
  std::filesystem::remove(path);
  const unsigned char garbage[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(platform::activeBackend().decodeImage(garbage, sizeof garbage), nullptr);
  EXPECT_EQ(platform::activeBackend().createImage(0, 10), nullptr);
  EXPECT_EQ(platform::activeBackend().createImage(100000, 10), nullptr);
}

}  // namespace
