#pragma once
#include "gui/cbase_object.h"

namespace VSTGUI {

// Process-wide count of the GUI objects that need the drawing library
// started: every frame and every picture enters in its constructor and exits
// in its destructor. The first enter starts the platform library, the last
// exit drops the static fonts' platform fonts and shuts it down.
// [gui] Not locked: frames and pictures are made on GUI threads only.
class GDIPlusGlobals : public CBaseObject {
 public:
  static void enter();
  static void exit();
  // The live instance, or null while the library is shut down.
  static GDIPlusGlobals* instance();

 private:
  GDIPlusGlobals();
  ~GDIPlusGlobals() override;
};

}  // namespace VSTGUI
