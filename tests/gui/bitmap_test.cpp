// Pictures by number and by file, their drawing arithmetic, and the
// process-wide start-up count they share with frames.
#include <gtest/gtest.h>

#include "gui/cbitmap.h"
#include "gui/cdraw_context.h"
#include "gui/cframe.h"
#include "gui/gdiplus_globals.h"
#include "gui/resources.h"
#include "recording_backend.h"

using namespace VSTGUI;
using vorn_test::RecordingSurface;
using vorn_test::ScopedRecordingBackend;
using Lines = std::vector<std::string>;

namespace {

TEST(Resources, TheThreePicturesAreEmbeddedByNumber) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  for (int number : {0, 1, 2}) {
    ASSERT_TRUE(FindImageResource(number, &data, &size)) << number;
    ASSERT_GT(size, 8u);
    EXPECT_EQ(data[1], 'P');
  }
  EXPECT_FALSE(FindImageResource(3, &data, &size));
  EXPECT_FALSE(FindImageResource(-1, &data, &size));
  EXPECT_FALSE(FindImageResourceByName("bg.png", &data, &size));
}

TEST(Bitmap, ResourceNumbersGiveTheirSizesAndAMissingOneGivesZero) {
  ScopedRecordingBackend scoped;
  const struct {
    int32_t number;
    double w, h;
  } cases[] = {{0, 32, 32}, {1, 500, 480}, {2, 32, 32}, {3, 0, 0}, {0x10001, 500, 480}};
  for (const auto& c : cases) {
    auto* bitmap = new CBitmap(CResourceDescription(c.number));
    EXPECT_EQ(bitmap->getWidth(), c.w) << c.number;
    EXPECT_EQ(bitmap->getHeight(), c.h) << c.number;
    EXPECT_TRUE(bitmap->loadFromResource(CResourceDescription(c.number)));  // true even when missing
    EXPECT_EQ(bitmap->getTransparentColor(), (CColor{255, 255, 255, 0}));
    bitmap->forget();
  }
}

TEST(Bitmap, FilesDecodeIntoNewBitmapsAndFailuresMakeNone) {
  ScopedRecordingBackend scoped;
  CBitmap* bitmap = CBitmap::loadFromFile("some.png");
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->getWidth(), 7);
  EXPECT_EQ(bitmap->getHeight(), 9);
  EXPECT_EQ(bitmap->getResourceDescription().type, CResourceDescription::kUnknownType);
  EXPECT_EQ(bitmap->getNbReference(), 1);
  bitmap->forget();
  EXPECT_EQ(CBitmap::loadFromFile("missing.png"), nullptr);
  EXPECT_EQ(CBitmap::loadFromFile(nullptr), nullptr);
  // Every start-up was balanced by a shut-down.
  EXPECT_EQ(scoped.backend.log.count("startup"), scoped.backend.log.count("shutdown"));
  EXPECT_EQ(GDIPlusGlobals::instance(), nullptr);
}

TEST(Bitmap, DisposeEmptiesThePicture) {
  ScopedRecordingBackend scoped;
  auto* bitmap = new CBitmap(nullptr, 20, 10);
  EXPECT_TRUE(bitmap->getNoAlpha());
  EXPECT_EQ(bitmap->getWidth(), 20);
  bitmap->dispose();
  EXPECT_EQ(bitmap->getWidth(), 0);
  EXPECT_FALSE(bitmap->getNoAlpha());
  EXPECT_EQ(bitmap->getPlatformImage(), nullptr);
  bitmap->forget();
}

TEST(Bitmap, DrawingCropsByTheDestinationAndSelectsBySourcePoint) {
  ScopedRecordingBackend scoped;
  auto& log = scoped.backend.log;
  RecordingSurface surface(log, "surface");
  auto* context = new CDrawContext(nullptr, &surface, nullptr);
  auto* bitmap = new CBitmap(CResourceDescription(1));
  log.clear();
  bitmap->draw(context, CRect(0, 0, 500, 480));
  bitmap->draw(context, CRect(10, 10, 42, 42), CPoint(0, 0));
  bitmap->drawTransparent(context, CRect(10.9, 10.2, 42.5, 42.9), CPoint(3.7, 64.2));
  context->setOffset(CPoint(-5.5, 7.9));  // the offset is truncated on its own
  bitmap->drawAlphaBlend(context, CRect(10, 10, 42, 42), CPoint(0, 0), 128);
  bitmap->drawAlphaBlend(context, CRect(10, 10, 10, 42), CPoint(0, 0), 128);  // empty: nothing
  EXPECT_EQ(log.lines, (Lines{"image 500x480 src 0 0 size 500 480 at 0 0 opacity 255",
                              "image 500x480 src 0 0 size 32 32 at 10 10 opacity 255",
                              "image 500x480 src 3 64 size 31 32 at 10 10 opacity 255",
                              "image 500x480 src 0 0 size 32 32 at 5 17 opacity 128"}));
  bitmap->forget();
  context->forget();
}

TEST(PlatformLifetime, FramesAndBitmapsShareOneStartUpAndReopeningRestartsIt) {
  ScopedRecordingBackend scoped;
  auto& log = scoped.backend.log;
  for (int round = 0; round < 2; ++round) {
    auto* frame = new CFrame(CRect(0, 0, 500, 480), nullptr, nullptr);
    auto* bitmap = new CBitmap(CResourceDescription(0));
    ASSERT_NE(GDIPlusGlobals::instance(), nullptr);
    EXPECT_EQ(GDIPlusGlobals::instance()->getNbReference(), 2);
    frame->forget();
    EXPECT_EQ(log.count("shutdown"), static_cast<size_t>(round));  // the bitmap keeps it
    bitmap->forget();
    EXPECT_EQ(GDIPlusGlobals::instance(), nullptr);
  }
  EXPECT_EQ(log.with("startup").size(), 2u);
  EXPECT_EQ(log.with("shutdown").size(), 2u);
}

TEST(PlatformLifetime, ShutDownDropsTheStaticFontsPlatformFonts) {
  ScopedRecordingBackend scoped;
  auto* frame = new CFrame(CRect(0, 0, 10, 10), nullptr, nullptr);
  kNormalFontBig->getPlatformFont();
  EXPECT_TRUE(kNormalFontBig->hasPlatformFont());
  frame->forget();
  EXPECT_FALSE(kNormalFontBig->hasPlatformFont());
}

TEST(ReferenceCounting, ForgetDeletesAtZero) {
  static int destroyed = 0;
  struct Probe : CBaseObject {
    ~Probe() override { ++destroyed; }
  };
  destroyed = 0;
  auto* probe = new Probe();
  EXPECT_EQ(probe->getNbReference(), 1);
  probe->remember();
  probe->remember();
  EXPECT_EQ(probe->getNbReference(), 3);
  probe->forget();
  probe->forget();
  EXPECT_EQ(destroyed, 0);
  probe->forget();
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
