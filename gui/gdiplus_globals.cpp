#include "gui/gdiplus_globals.h"

#include "gui/cfont_desc.h"
#include "gui/platform/backend.h"

namespace VSTGUI {

namespace {
GDIPlusGlobals* gInstance = nullptr;
}

GDIPlusGlobals::GDIPlusGlobals() {
  platform::activeBackend().startup();
}

GDIPlusGlobals::~GDIPlusGlobals() {
  for (CFontDesc* font : kStaticFonts) font->freePlatformFont();
  platform::activeBackend().shutdown();
}

GDIPlusGlobals* GDIPlusGlobals::instance() {
  return gInstance;
}

void GDIPlusGlobals::enter() {
  if (gInstance)
    gInstance->remember();
  else
    gInstance = new GDIPlusGlobals();
}

void GDIPlusGlobals::exit() {
  if (!gInstance) return;
  const int32_t count = gInstance->getNbReference();
  // Clear the pointer first: the destructor may run inside forget().
  if (count == 1) {
    GDIPlusGlobals* last = gInstance;
    gInstance = nullptr;
    last->forget();
  } else {
    gInstance->forget();
  }
}

}  // namespace VSTGUI
