// What a bitmap holder is: one counted reference to a decoded picture.
#pragma once

#include "gui/cbitmap.h"
#include "runtime/bitmap_holder.h"

struct BitmapHolder {
  VSTGUI::CBitmap* bitmap = nullptr;  // one reference, or none

  void Replace(VSTGUI::CBitmap* fresh) {
    if (bitmap != nullptr) bitmap->forget();
    bitmap = fresh;
  }
};
