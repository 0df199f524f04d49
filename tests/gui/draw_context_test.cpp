// The draw context's arithmetic, checked through the calls it makes on a
// recording platform surface.
#include <gtest/gtest.h>

#include "gui/cdraw_context.h"
#include "gui/coffscreen_context.h"
#include "recording_backend.h"

using namespace VSTGUI;
using vorn_test::RecordingSurface;
using vorn_test::ScopedRecordingBackend;
using Lines = std::vector<std::string>;

namespace {

class DrawContextTest : public ::testing::Test {
 protected:
  ScopedRecordingBackend scoped;
  vorn_test::Log& log = scoped.backend.log;
  RecordingSurface surface{log, "surface"};
  CDrawContext* context = nullptr;

  void SetUp() override {
    context = new CDrawContext(nullptr, &surface, nullptr);
    log.clear();
  }
  void TearDown() override { context->forget(); }
};

TEST(DrawContextInitialState, NewContextDrawsWhiteLinesBlackFillsWhiteTextAliased) {
  ScopedRecordingBackend scoped;
  RecordingSurface surface(scoped.backend.log, "surface");
  auto* c = new CDrawContext(nullptr, &surface, nullptr);
  EXPECT_EQ(c->getFrameColor(), kWhiteCColor);
  EXPECT_EQ(c->getFillColor(), kBlackCColor);
  EXPECT_EQ(c->getFontColor(), kWhiteCColor);
  EXPECT_EQ(c->getLineWidth(), 1);
  EXPECT_EQ(c->getLineStyle(), kLineSolid);
  EXPECT_EQ(c->getDrawMode(), kCopyMode);
  ASSERT_NE(c->getFont(), nullptr);
  EXPECT_STREQ(c->getFont()->getName(), "Arial");
  EXPECT_EQ(c->getFont()->getSize(), 12);
  EXPECT_EQ(c->getFont(), kSystemFont);
  CRect clip;
  EXPECT_EQ(c->getClipRect(clip), CRect(0, 0, 1000, 1000));
  // What reached the platform: aliased, white pen of width 1, black fill, white text.
  EXPECT_EQ(scoped.backend.log.lines,
            (Lines{"antialias 0", "pen ffffffff", "width 1", "fill ff000000", "text ffffffff"}));
  c->forget();
}

TEST(DrawContextInitialState, ContextWithoutSurfaceKeepsStateButDrawsNothing) {
  ScopedRecordingBackend scoped;
  auto* c = new CDrawContext(nullptr, nullptr, nullptr);
  EXPECT_FALSE(c->hasGraphics());
  c->setFillColor(CColor{1, 2, 3, 4});
  EXPECT_EQ(c->getFillColor(), (CColor{1, 2, 3, 4}));
  c->drawRect(CRect(0, 0, 10, 10), kDrawFilled);
  EXPECT_EQ(c->getStringWidth("abc"), -1);
  EXPECT_EQ(c->getPoint(CPoint(3, 3)), kBlackCColor);
  c->forget();
}

TEST_F(DrawContextTest, RedundantStateChangesAreFilteredExceptFontColorAndLineWidth) {
  const CColor red{255, 0, 0, 255};
  context->setFrameColor(red);
  context->setFrameColor(red);
  context->setFillColor(red);
  context->setFillColor(red);
  context->setDrawMode(kAntialias);
  context->setDrawMode(kAntialias);
  context->setDrawMode(7);  // any mode but 3 is aliased
  context->setLineStyle(kLineOnOffDash);
  context->setLineStyle(kLineOnOffDash);
  context->setLineStyle(5);  // unknown styles draw solid
  context->setClipRect(CRect(1, 2, 3, 4));
  context->setClipRect(CRect(1, 2, 3, 4));
  context->setFontColor(red);
  context->setFontColor(red);
  context->setLineWidth(2);
  context->setLineWidth(2);
  EXPECT_EQ(log.lines,
            (Lines{"pen ffff0000", "fill ffff0000", "antialias 1", "antialias 0", "dotted 1", "dotted 0",
                   "clip 1 2 2 2", "text ffff0000", "text ffff0000", "width 2", "width 2"}));
}

TEST_F(DrawContextTest, ClipIsOffsetAndTruncatedAndReadBackWithoutOffset) {
  context->setOffset(CPoint(5, 5));
  context->setClipRect(CRect(0.7, 1.2, 10.9, 20.5));
  EXPECT_EQ(log.lines, (Lines{"clip 5 6 10 19"}));
  CRect clip;
  context->getClipRect(clip);
  EXPECT_DOUBLE_EQ(clip.left, 0.7);
  EXPECT_DOUBLE_EQ(clip.bottom, 20.5);
}

TEST_F(DrawContextTest, RectanglesFillFullSizeAndOutlineOnePixelSmaller) {
  context->drawRect(CRect(10, 10, 20, 20), kDrawFilledAndStroked);
  context->drawRect(CRect(10, 10, 20, 20), kDrawStroked);
  context->drawRect(CRect(10, 10, 20, 20), kDrawFilled);
  context->drawRect(CRect(10, 10, 20, 20), 3);            // unknown style: nothing
  context->drawRect(CRect(20, 20, 10, 10), kDrawFilled);  // edges are ordered
  context->setOffset(CPoint(100, 50));
  context->drawRect(CRect(0.5, 0.25, 4, 8), kDrawFilled);  // floats, not truncated
  EXPECT_EQ(log.lines,
            (Lines{"fillRect 10 10 10 10", "strokeRect 10 10 9 9", "strokeRect 10 10 9 9",
                   "fillRect 10 10 10 10", "fillRect 10 10 10 10", "fillRect 100.5 50.25 3.5 7.75"}));
}

TEST_F(DrawContextTest, EllipsesUseTruncatedEdgesAndOnePixelSmallerBoxes) {
  context->drawEllipse(CRect(0, 0, 11, 11), kDrawFilledAndStroked);
  context->drawEllipse(CRect(0.9, 0.9, 11.7, 11.2), kDrawFilled);
  context->drawEllipse(CRect(-3.5, 2, 4, 9), kDrawStroked);  // toward zero: -3
  EXPECT_EQ(log.lines, (Lines{"fillEllipse 0 0 10 10", "strokeEllipse 0 0 10 10", "fillEllipse 0 0 10 10",
                              "strokeEllipse -3 2 6 6"}));
}

TEST_F(DrawContextTest, ArcsSweepFromStartClockwiseWrappingPast360) {
  context->drawArc(CRect(0, 0, 20, 10), 350, 10, kDrawStroked);
  context->drawArc(CRect(0, 0, 20, 10), 10, 350, kDrawFilled);
  context->drawArc(CRect(0, 0, 20, 10), 90, 90, kDrawFilledAndStroked);
  EXPECT_EQ(log.lines, (Lines{"strokeArc 0 0 20 10 350 20", "fillArc 0 0 20 10 10 340",
                              "fillArc 0 0 20 10 90 0", "strokeArc 0 0 20 10 90 0"}));
}

TEST_F(DrawContextTest, LinesTruncateBothEndsAndMoveThePen) {
  context->setOffset(CPoint(0.5, 0.5));
  context->moveTo(CPoint(1.9, 2.2));
  context->lineTo(CPoint(10.6, -3.7));
  EXPECT_EQ(context->getPenPosition(), CPoint(11.1, -3.2));
  const CPoint pairs[] = {{0, 0}, {5, 5}, {7, 8}, {9, 10}};
  context->drawLines(pairs, 2);
  EXPECT_EQ(log.lines, (Lines{"line 2 2 11 -3", "line 0 0 5 5", "line 7 8 9 10"}));
}

TEST_F(DrawContextTest, DrawPointRestoresColourAndOnlyAChangedWidth) {
  const CColor green{0, 255, 0, 255};
  context->drawPoint(CPoint(3, 4), green);
  EXPECT_EQ(log.lines, (Lines{"pen ff00ff00", "line 3 4 4 4", "pen ffffffff"}));
  log.clear();
  context->setLineWidth(3);
  context->drawPoint(CPoint(3, 4), green);
  EXPECT_EQ(log.lines,
            (Lines{"width 3", "width 1", "pen ff00ff00", "line 3 4 4 4", "pen ffffffff", "width 3"}));
  EXPECT_EQ(context->getFrameColor(), kWhiteCColor);
  EXPECT_EQ(context->getLineWidth(), 3);
}

TEST_F(DrawContextTest, TextAtAPointHasItsLineBoxEndingOnePixelBelowThePoint) {
  // The recording font is 1.25 × 12 = 15 high, so the box starts at 21 − 15.
  context->drawStringUTF8("Hi", CPoint(10, 20));
  context->setOffset(CPoint(2, 3));
  context->drawStringUTF8("Hi", CPoint(10, 20), true);
  EXPECT_EQ(log.with("textAt"), (Lines{"textAt 10 6 aa0 Arial 12 [Hi]", "textAt 12 9 aa1 Arial 12 [Hi]"}));
}

TEST_F(DrawContextTest, TextInARectangleIsAlignedCentredOnTheFontSizeAndClipped) {
  // Width of "abcd" is 4 × 6 = 24; y = 40 − (10 − 6 + 1) = 35, top = 35 + 1 − 15.
  const CRect box(100, 20, 200, 40);
  context->drawStringUTF8("abcd", box, kLeftText);
  context->drawStringUTF8("abcd", box, kRightText);
  context->drawStringUTF8("abcd", box, kCenterText);
  context->drawString("abcd", box);  // centred and anti-aliased
  EXPECT_EQ(log.with("textAt"),
            (Lines{"textAt 100 21 aa1 Arial 12 [abcd]", "textAt 176 21 aa1 Arial 12 [abcd]",
                   "textAt 138 21 aa1 Arial 12 [abcd]", "textAt 138 21 aa1 Arial 12 [abcd]"}));
  // Clipped to the rectangle within the clip in force, then restored.
  EXPECT_EQ(log.with("clip"),
            (Lines{"clip 100 20 100 20", "clip 0 0 1000 1000", "clip 100 20 100 20", "clip 0 0 1000 1000",
                   "clip 100 20 100 20", "clip 0 0 1000 1000", "clip 100 20 100 20", "clip 0 0 1000 1000"}));
}

TEST_F(DrawContextTest, TextNeedsTextAFontAndValidUtf8) {
  EXPECT_EQ(context->getStringWidth("abc"), 18);
  EXPECT_EQ(context->getStringWidth(nullptr), -1);
  EXPECT_EQ(context->getStringWidth("\xC3\x28"), 0);      // broken UTF-8 measures as empty
  context->drawStringUTF8("\xED\xA0\x80", CPoint(0, 0));  // a surrogate: drawn as empty
  EXPECT_EQ(log.with("textAt").back(), "textAt 0 -14 aa0 Arial 12 []");
  context->setFont(nullptr);
  EXPECT_EQ(context->getStringWidth("abc"), -1);
  log.clear();
  context->drawStringUTF8("abc", CPoint(0, 0));
  EXPECT_TRUE(log.with("textAt").empty());
}

TEST_F(DrawContextTest, FontsAreSharedWhenSizeAndStyleMatchElseDerived) {
  CFontDesc* base = new CFontDesc("Verdana", 0, 0);
  context->setFont(base, 0, -1);
  EXPECT_EQ(context->getFont(), base);
  EXPECT_EQ(base->getNbReference(), 2);
  context->setFont(base, 14, kBoldFace | kItalicFace);
  EXPECT_EQ(base->getNbReference(), 1);
  CFontDesc* derived = context->getFont();
  ASSERT_NE(derived, base);
  EXPECT_STREQ(derived->getName(), "Verdana");
  EXPECT_EQ(derived->getSize(), 14);
  EXPECT_EQ(derived->getNbReference(), 1);  // the context holds the only reference
  context->drawStringUTF8("x", CPoint(0, 0));
  // One platform style: italic wins over bold.
  EXPECT_EQ(log.with("font"), (Lines{"font Verdana 14 2"}));
  base->forget();
}

// The context may hold the only reference to its current font (a derived
// one): setting that font again, as it is or at another size, reads it
// before releasing it (AddressSanitizer catches a use after free here).
TEST_F(DrawContextTest, SettingTheCurrentFontAgainKeepsItReadable) {
  CFontDesc* base = new CFontDesc("Verdana", 0, 0);
  context->setFont(base, 13, 0);
  base->forget();
  CFontDesc* derived = context->getFont();
  ASSERT_EQ(derived->getNbReference(), 1);
  context->setFont(context->getFont());
  EXPECT_EQ(context->getFont(), derived);
  EXPECT_EQ(derived->getNbReference(), 1);
  context->setFont(context->getFont(), 14);
  ASSERT_NE(context->getFont(), nullptr);
  EXPECT_STREQ(context->getFont()->getName(), "Verdana");
  EXPECT_EQ(context->getFont()->getSize(), 14);
  EXPECT_EQ(context->getFont()->getNbReference(), 1);
  context->setFont(nullptr);
  EXPECT_EQ(context->getFont(), nullptr);
}

TEST(FontDescription, PlatformFontIsMadeOnceAndDroppedByEveryChange) {
  ScopedRecordingBackend scoped;
  auto& log = scoped.backend.log;
  auto* font = new CFontDesc("Arial", 10, kUnderlineFace | kBoldFace);
  EXPECT_FALSE(font->hasPlatformFont());
  ASSERT_NE(font->getPlatformFont(), nullptr);
  font->getPlatformFont();
  EXPECT_EQ(log.lines, (Lines{"font Arial 10 3"}));
  font->setName("Arial");  // same name: kept
  EXPECT_TRUE(font->hasPlatformFont());
  font->setSize(11);
  EXPECT_FALSE(font->hasPlatformFont());
  font->getPlatformFont();
  font->setStyle(0);
  EXPECT_FALSE(font->hasPlatformFont());
  font->getPlatformFont();
  font->setName("NoSuchFace");
  EXPECT_EQ(font->getPlatformFont(), nullptr);
  font->setName(nullptr);
  EXPECT_EQ(font->getName(), nullptr);
  EXPECT_EQ(font->getPlatformFont(), nullptr);
  EXPECT_EQ(log.lines,
            (Lines{"font Arial 10 3", "font Arial 11 3", "font Arial 11 0", "font NoSuchFace 11 0"}));
  font->forget();
}

TEST(FontDescription, StaticFontsAreMadeInOrder) {
  EXPECT_STREQ(kSystemFont->getName(), "Arial");
  const double sizes[] = {12, 18, 14, 12, 11, 10, 9, 13};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(kStaticFonts[i]->getSize(), sizes[i]);
  EXPECT_STREQ(kStaticFonts[7]->getName(), "Symbol");
}

TEST(Offscreen, OwnsAPictureOfItsTruncatedSizeAndClipsToIt) {
  ScopedRecordingBackend scoped;
  auto* offscreen = new COffscreenContext(nullptr, 20.9, 10.5, kBlackCColor);
  CRect clip;
  EXPECT_EQ(offscreen->getClipRect(clip), CRect(0, 0, 20.9, 10.5));
  EXPECT_TRUE(offscreen->hasGraphics());
  EXPECT_EQ(scoped.backend.log.with("create image"), (Lines{"create image 20 10"}));
  EXPECT_EQ(offscreen->getBitmap()->getNbReference(), 1);
  offscreen->forget();
  EXPECT_EQ(scoped.backend.log.lines.back(), "shutdown");
}

}  // namespace
