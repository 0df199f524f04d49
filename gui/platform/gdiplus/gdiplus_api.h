#pragma once
// The GDI+ flat interface as the gdiplus/ and win32/ layers use it. Only
// these folders include the Windows headers.
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <objidl.h>
#include <windows.h>
// gdiplus.h uses min and max without defining them under NOMINMAX.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <string>

#include "gui/cgeometry.h"

namespace VSTGUI::platform::gdiplus {

namespace gp = Gdiplus::DllExports;

// The GDI+ colour of a CColor: alpha << 24 | red << 16 | green << 8 | blue.
inline Gdiplus::ARGB toArgb(CColor c) {
  return static_cast<Gdiplus::ARGB>(c.alpha) << 24 | static_cast<Gdiplus::ARGB>(c.red) << 16 |
         static_cast<Gdiplus::ARGB>(c.green) << 8 | static_cast<Gdiplus::ARGB>(c.blue);
}

inline CColor fromArgb(Gdiplus::ARGB argb) {
  return CColor{static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb),
                static_cast<uint8_t>(argb >> 24)};
}

// The module (DLL or program) that holds this code: where its resources
// are and whose handle names its window class.
HMODULE codeModule();

// UTF-8 to UTF-16; empty when the text does not convert.
std::wstring widenUtf8(const char* utf8);
// Text in the system's narrow code page to UTF-16, as the runtime library's
// multibyte conversion does; at most maxCharacters.
std::wstring widenNarrow(const char* text, size_t maxCharacters);

}  // namespace VSTGUI::platform::gdiplus
