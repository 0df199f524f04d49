#pragma once
// Which run of the GDI+ library is current. GDI+ objects belong to the run
// in which they were made: after a shut-down they may neither be used nor
// deleted, so objects that can outlive a run (fonts) check this number.
#include <cstdint>

namespace VSTGUI::platform::gdiplus {

// 0 while GDI+ is shut down; a new number for every start.
uint32_t currentSession();

// [gui] Start-up and shut-down of the library (GdiplusStartup and
// GdiplusShutdown); false when the start failed.
bool startSession();
void endSession();

}  // namespace VSTGUI::platform::gdiplus
