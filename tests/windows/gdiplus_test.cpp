// The GDI+ layer by what it does: start-up and shut-down around the first
// and last frame or picture, the module's pictures, drawing them cropped
// and with opacity, picture files, and fonts across a restart.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gui/cbitmap.h"
#include "gui/cfont_desc.h"
#include "gui/cframe.h"
#include "gui/coffscreen_context.h"
#include "gui/gdiplus_globals.h"
#include "gui/platform/gdiplus/gdiplus_backend.h"
#include "gui/platform/platform_backend.h"

using namespace VSTGUI;
using platform::gdiplus::GdiplusBackend;

namespace {

class Gdiplus : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::usePlatformBackend();
    ASSERT_EQ(GDIPlusGlobals::instance(), nullptr) << "a test left GDI+ running";
  }
  void TearDown() override { EXPECT_EQ(GDIPlusGlobals::instance(), nullptr); }
};

}  // namespace

TEST_F(Gdiplus, StartsWithTheFirstUserAndStopsAfterTheLast) {
  const int starts = GdiplusBackend::startupCount();
  const int stops = GdiplusBackend::shutdownCount();

  auto* knob = new CBitmap(CResourceDescription(0));
  auto* frame = new CFrame(CRect(0, 0, 500, 480), nullptr, nullptr);
  EXPECT_EQ(GdiplusBackend::startupCount(), starts + 1);
  knob->forget();
  EXPECT_EQ(GdiplusBackend::shutdownCount(), stops);  // the frame still holds it
  frame->forget();
  EXPECT_EQ(GdiplusBackend::shutdownCount(), stops + 1);

  // An editor opened again starts the library again.
  frame = new CFrame(CRect(0, 0, 500, 480), nullptr, nullptr);
  EXPECT_EQ(GdiplusBackend::startupCount(), starts + 2);
  frame->forget();
  EXPECT_EQ(GdiplusBackend::shutdownCount(), stops + 2);
}

TEST_F(Gdiplus, TheModulePicturesLoadByNumber) {
  const struct {
    int number;
    double width, height;
  } expected[] = {{0, 32, 32}, {1, 500, 480}, {2, 32, 32}, {3, 0, 0}, {0x10000, 32, 32}};
  for (const auto& e : expected) {
    auto* bitmap = new CBitmap(CResourceDescription(e.number));
    EXPECT_EQ(bitmap->getWidth(), e.width) << e.number;
    EXPECT_EQ(bitmap->getHeight(), e.height) << e.number;
    bitmap->forget();
  }
  auto* byName = new CBitmap(CResourceDescription("bg.png"));
  EXPECT_EQ(byName->getWidth(), 0);
  byName->forget();
}

TEST_F(Gdiplus, PicturesDrawCroppedAndWithOpacity) {
  auto* background = new CBitmap(CResourceDescription(1));
  auto* knob = new CBitmap(CResourceDescription(0));
  {
    COffscreenContext whole(nullptr, 500, 480);
    background->draw(&whole, CRect(0, 0, 500, 480), CPoint(0, 0));
    COffscreenContext screen(nullptr, 100, 100);
    // Only the top-left 32 × 32 of the background, at (10, 10).
    background->draw(&screen, CRect(10, 10, 42, 42), CPoint(0, 0));
    EXPECT_EQ(screen.pixelAt(10, 10), whole.pixelAt(0, 0));
    EXPECT_EQ(screen.pixelAt(41, 41), whole.pixelAt(31, 31));
    EXPECT_EQ(screen.pixelAt(42, 42).alpha, 0);
    EXPECT_EQ(screen.pixelAt(9, 9).alpha, 0);
    // A source point selects another part of the picture.
    background->draw(&screen, CRect(50, 50, 60, 60), CPoint(200, 100));
    EXPECT_EQ(screen.pixelAt(50, 50), whole.pixelAt(200, 100));

    // Opacity scales alpha and leaves the colour.
    COffscreenContext faded(nullptr, 100, 100);
    background->drawAlphaBlend(&faded, CRect(0, 0, 32, 32), CPoint(0, 0), 128);
    background->drawAlphaBlend(&faded, CRect(40, 0, 72, 32), CPoint(0, 0), 0);
    background->drawAlphaBlend(&faded, CRect(0, 40, 32, 72), CPoint(0, 0), 255);
    const CColor half = faded.pixelAt(5, 5);
    EXPECT_NEAR(half.alpha, 128, 1);
    EXPECT_NEAR(half.red, whole.pixelAt(5, 5).red, 2);
    EXPECT_EQ(faded.pixelAt(45, 5).alpha, 0);
    EXPECT_EQ(faded.pixelAt(5, 45), whole.pixelAt(5, 5));

    // The knob's corners are transparent in the picture itself.
    COffscreenContext knobScreen(nullptr, 32, 32);
    knob->draw(&knobScreen, CRect(0, 0, 32, 32));
    EXPECT_EQ(knobScreen.pixelAt(0, 0).alpha, 0);
    EXPECT_EQ(knobScreen.pixelAt(16, 16).alpha, 255);
  }
  knob->forget();
  background->forget();
}

TEST_F(Gdiplus, PictureFilesAreCopiedAndTheFileReleased) {
  const std::string path = ::testing::TempDir() + "gdiplus_file_test.png";
  {
    COffscreenContext source(nullptr, 20, 10);
    source.setFillColor(CColor{10, 200, 30, 255});
    source.drawRect(CRect(0, 0, 20, 10), kDrawFilled);
    ASSERT_TRUE(source.writePng(path.c_str()));
  }
  CBitmap* loaded = CBitmap::loadFromFile(path.c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->getWidth(), 20);
  EXPECT_EQ(loaded->getHeight(), 10);
  // The picture no longer needs its file.
  EXPECT_TRUE(std::filesystem::remove(path));
  {
    COffscreenContext screen(nullptr, 20, 10);
    loaded->draw(&screen, CRect(0, 0, 20, 10));
    EXPECT_EQ(screen.pixelAt(19, 9), (CColor{10, 200, 30, 255}));
  }
  loaded->forget();

  std::ofstream(path, std::ios::binary) << "not a picture";
  EXPECT_EQ(CBitmap::loadFromFile(path.c_str()), nullptr);
  EXPECT_EQ(CBitmap::loadFromFile((path + ".missing").c_str()), nullptr);
  std::filesystem::remove(path);
}

TEST_F(Gdiplus, FontsResolveMeasureAndSurviveARestart) {
  auto* own = new CFontDesc("Verdana", 14);
  double first = 0;
  {
    COffscreenContext screen(nullptr, 200, 50);
    for (const char* face : {"Arial", "Courier New", "Verdana", "Symbol"}) {
      auto* font = new CFontDesc(face, 12);
      screen.setFont(font);
      EXPECT_GT(screen.getStringWidth("Delay"), 10)
          << face << " does not resolve under wine: \"Symbol\" comes from package fonts-wine, the others "
          << "from fonts-liberation2 and fonts-dejavu-core through the prefix's font replacements";
      screen.setFont(kSystemFont);
      font->forget();
    }
    auto* unknown = new CFontDesc("No Such Face At All", 12);
    EXPECT_EQ(unknown->getPlatformFont(), nullptr);
    unknown->forget();

    screen.setFont(own);
    first = screen.getStringWidth("Feedback");
    EXPECT_GT(first, 20);
    screen.setFont(kSystemFont);
  }
  // GDI+ was shut down with the font's platform font still made; the next
  // run makes it again instead of using the old one.
  EXPECT_TRUE(own->hasPlatformFont());
  {
    COffscreenContext screen(nullptr, 200, 50);
    screen.setFont(own);
    EXPECT_EQ(screen.getStringWidth("Feedback"), first);
    screen.setFontColor(CColor{255, 255, 255, 255});
    screen.drawStringUTF8("Feedback", CPoint(2, 40), true);
    int lit = 0;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 200; ++x) lit += screen.pixelAt(x, y).alpha > 0 ? 1 : 0;
    EXPECT_GT(lit, 30);
    screen.setFont(kSystemFont);
  }
  own->forget();
}
