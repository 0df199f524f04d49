// The interface pictures as module resources of type "DATA" (numbered 0, 1,
// 2, language 1033, from resources/windows_resources.rc), read straight
// from the mapped module.
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>
#include <string>

#include "gui/resources.h"

namespace VSTGUI {

namespace {

// The module holding this code: the plug-in DLL, or a program linking it.
HMODULE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

bool findData(const WCHAR* name, const unsigned char** data, size_t* size) {
  HMODULE module = thisModule();
  HRSRC resource = FindResourceW(module, name, L"DATA");
  if (!resource) return false;
  const DWORD bytes = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  const void* locked = loaded ? LockResource(loaded) : nullptr;
  if (!locked || bytes == 0) return false;
  if (data) *data = static_cast<const unsigned char*>(locked);
  if (size) *size = bytes;
  return true;
}

}  // namespace

bool FindImageResource(int number, const unsigned char** data, size_t* size) {
  // Integer resource names have 16 bits; other numbers name nothing.
  if (number < 0 || number > 0xFFFF) return false;
  return findData(MAKEINTRESOURCEW(number), data, size);
}

bool FindImageResourceByName(const char* name, const unsigned char** data, size_t* size) {
  if (!name || !*name) return false;
  const int length = static_cast<int>(std::strlen(name));
  std::wstring wide(static_cast<size_t>(length), L'\0');
  const int converted = MultiByteToWideChar(CP_ACP, 0, name, length, wide.data(), length);
  if (converted <= 0) return false;
  wide.resize(static_cast<size_t>(converted));
  return findData(wide.c_str(), data, size);
}

}  // namespace VSTGUI
