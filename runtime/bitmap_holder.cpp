#include "runtime/bitmap_holder.h"

#include "runtime/bitmap_holder_impl.h"

void ReleaseBitmapHolder(BitmapHolder* holder) {
  if (holder == nullptr) return;
  if (holder->bitmap != nullptr) holder->bitmap->forget();
  delete holder;
}
