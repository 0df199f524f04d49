#include "runtime/bitmap_holder.h"

// The picture side arrives with the editor; until then a holder owns nothing.
struct BitmapHolder {};

void ReleaseBitmapHolder(BitmapHolder* holder) {
  delete holder;
}
