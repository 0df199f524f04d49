#include "gui/platform/gdiplus/gdiplus_font.h"

#include "gui/platform/gdiplus/gdiplus_session.h"

namespace VSTGUI::platform::gdiplus {

namespace {
// Face names reach GDI+ as at most 200 characters.
constexpr size_t kMaxFaceCharacters = 200;

int gdiplusStyle(FontStyle style) {
  switch (style) {
    case FontStyle::kUnderline:
      return Gdiplus::FontStyleUnderline;
    case FontStyle::kItalic:
      return Gdiplus::FontStyleItalic;
    case FontStyle::kBold:
      return Gdiplus::FontStyleBold;
    case FontStyle::kRegular:
      break;
  }
  return Gdiplus::FontStyleRegular;
}
}  // namespace

std::unique_ptr<GdiplusFont> GdiplusFont::create(const char* face, double sizePixels, FontStyle style) {
  if (!face) return nullptr;
  std::unique_ptr<GdiplusFont> font(
      new GdiplusFont(widenNarrow(face, kMaxFaceCharacters), sizePixels, gdiplusStyle(style)));
  if (!font->make()) return nullptr;
  return font;
}

GdiplusFont::~GdiplusFont() {
  release();
}

bool GdiplusFont::make() const {
  const uint32_t session = currentSession();
  if (session == 0) return false;
  // A family that does not exist fails here (FontFamilyNotFound).
  if (gp::GdipCreateFontFamilyFromName(face_.c_str(), nullptr, &family_) != Gdiplus::Ok) {
    family_ = nullptr;
    return false;
  }
  if (gp::GdipCreateFont(family_, static_cast<Gdiplus::REAL>(size_), style_, Gdiplus::UnitPixel, &font_) !=
      Gdiplus::Ok) {
    gp::GdipDeleteFontFamily(family_);
    family_ = nullptr;
    font_ = nullptr;
    return false;
  }
  session_ = session;
  return true;
}

void GdiplusFont::release() const {
  // Objects of an earlier run went with that run's shut-down.
  if (session_ != 0 && session_ == currentSession()) {
    if (font_) gp::GdipDeleteFont(font_);
    if (family_) gp::GdipDeleteFontFamily(family_);
  }
  font_ = nullptr;
  family_ = nullptr;
  session_ = 0;
}

Gdiplus::GpFont* GdiplusFont::font() const {
  if (session_ != currentSession()) {
    release();
    make();
  }
  return font_;
}

}  // namespace VSTGUI::platform::gdiplus
