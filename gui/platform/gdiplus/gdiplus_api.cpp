#include "gui/platform/gdiplus/gdiplus_api.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace VSTGUI::platform::gdiplus {

HMODULE codeModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&codeModule), &module);
  return module;
}

std::wstring widenUtf8(const char* utf8) {
  if (!utf8 || !*utf8) return {};
  const int length = static_cast<int>(std::strlen(utf8));
  const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, length, wide.data(), needed) != needed)
    return {};
  return wide;
}

std::wstring widenNarrow(const char* text, size_t maxCharacters) {
  if (!text) return {};
  std::vector<wchar_t> wide(maxCharacters + 1, L'\0');
  const size_t converted = std::mbstowcs(wide.data(), text, maxCharacters);
  if (converted == static_cast<size_t>(-1)) return {};
  return std::wstring(wide.data(), converted);
}

}  // namespace VSTGUI::platform::gdiplus
