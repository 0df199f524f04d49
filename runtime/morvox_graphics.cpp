#include "runtime/morvox_graphics.h"

#include "runtime/bitmap_holder.h"

CMorvoxGraphics::~CMorvoxGraphics() {
  for (auto& [number, image] : images) {
    ReleaseBitmapHolder(image.holder);
    image.holder = nullptr;
  }
}
