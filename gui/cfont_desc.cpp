#include "gui/cfont_desc.h"

namespace VSTGUI {

namespace {
// Face names reach the platform as at most 200 characters.
constexpr size_t kMaxFaceLength = 200;
}  // namespace

CFontDesc::CFontDesc(const char* name, double size, int32_t style) : size_(size), style_(style) {
  if (name) name_ = name;
}

CFontDesc::~CFontDesc() = default;

void CFontDesc::setName(const char* name) {
  if (!name && !name_) return;
  if (name && name_ && *name_ == name) return;
  freePlatformFont();
  if (name)
    name_ = name;
  else
    name_.reset();
}

void CFontDesc::setSize(double size) {
  size_ = size;
  freePlatformFont();
}

void CFontDesc::setStyle(int32_t style) {
  style_ = style;
  freePlatformFont();
}

platform::FontStyle CFontDesc::platformStyle(int32_t style) {
  if (style & kUnderlineFace) return platform::FontStyle::kUnderline;
  if (style & kItalicFace) return platform::FontStyle::kItalic;
  if (style & kBoldFace) return platform::FontStyle::kBold;
  return platform::FontStyle::kRegular;
}

platform::Font* CFontDesc::getPlatformFont() {
  if (!platformFont_ && name_) {
    const std::string face = name_->substr(0, kMaxFaceLength);
    platformFont_ = platform::activeBackend().createFont(face.c_str(), size_, platformStyle(style_));
  }
  return platformFont_.get();
}

void CFontDesc::freePlatformFont() {
  platformFont_.reset();
}

namespace {
CFontDesc gSystemFont("Arial", 12);
CFontDesc gNormalFontVeryBig("Arial", 18);
CFontDesc gNormalFontBig("Arial", 14);
CFontDesc gNormalFont("Arial", 12);
CFontDesc gNormalFontSmall("Arial", 11);
CFontDesc gNormalFontSmaller("Arial", 10);
CFontDesc gNormalFontVerySmall("Arial", 9);
CFontDesc gSymbolFont("Symbol", 13);
}  // namespace

CFontDesc* const kSystemFont = &gSystemFont;
CFontDesc* const kNormalFontVeryBig = &gNormalFontVeryBig;
CFontDesc* const kNormalFontBig = &gNormalFontBig;
CFontDesc* const kNormalFont = &gNormalFont;
CFontDesc* const kNormalFontSmall = &gNormalFontSmall;
CFontDesc* const kNormalFontSmaller = &gNormalFontSmaller;
CFontDesc* const kNormalFontVerySmall = &gNormalFontVerySmall;
CFontDesc* const kSymbolFont = &gSymbolFont;
CFontDesc* const kStaticFonts[8] = {&gSystemFont,          &gNormalFontVeryBig, &gNormalFontBig,
                                    &gNormalFont,          &gNormalFontSmall,   &gNormalFontSmaller,
                                    &gNormalFontVerySmall, &gSymbolFont};

}  // namespace VSTGUI
