#pragma once
#include <memory>
#include <optional>
#include <string>

#include "gui/cbase_object.h"
#include "gui/platform/backend.h"

namespace VSTGUI {

// Style bits of a font description.
enum : int32_t { kBoldFace = 1, kItalicFace = 2, kUnderlineFace = 4 };

// A font by face name, size in pixels and style; the platform font is made
// on first use and dropped whenever name, size or style change.
class CFontDesc : public CBaseObject {
 public:
  CFontDesc(const char* name, double size, int32_t style = 0);
  ~CFontDesc() override;

  const char* getName() const { return name_ ? name_->c_str() : nullptr; }
  double getSize() const { return size_; }
  int32_t getStyle() const { return style_; }
  // Does nothing when the name equals the current one; null clears it.
  void setName(const char* name);
  void setSize(double size);
  void setStyle(int32_t style);

  // The platform font, made now if needed; null without a name or when the
  // platform does not know the face.
  platform::Font* getPlatformFont();
  bool hasPlatformFont() const { return platformFont_ != nullptr; }
  void freePlatformFont();

  // The one platform style for a style bit set: underline, else italic,
  // else bold, else regular.
  static platform::FontStyle platformStyle(int32_t style);

 private:
  std::optional<std::string> name_;
  double size_;
  int32_t style_;
  std::unique_ptr<platform::Font> platformFont_;
};

// The process's static font descriptions, made at start-up in this order;
// they are never deleted (their count never reaches 0).
extern CFontDesc* const kSystemFont;           // "Arial" 12
extern CFontDesc* const kNormalFontVeryBig;    // "Arial" 18
extern CFontDesc* const kNormalFontBig;        // "Arial" 14
extern CFontDesc* const kNormalFont;           // "Arial" 12
extern CFontDesc* const kNormalFontSmall;      // "Arial" 11
extern CFontDesc* const kNormalFontSmaller;    // "Arial" 10
extern CFontDesc* const kNormalFontVerySmall;  // "Arial" 9
extern CFontDesc* const kSymbolFont;           // "Symbol" 13
// All eight, for dropping their platform fonts at shut-down.
extern CFontDesc* const kStaticFonts[8];

}  // namespace VSTGUI
