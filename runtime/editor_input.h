// The editor's pointer input as the script sees it: position and button
// state in the mouse variables, and the redraw rate raised while the user
// works. Every plug-in format's adapter passes its view's events here.
// [gui]
#pragma once

#include <cstdint>

class TMorvox;

namespace morvox {

// buttons: the view's button set (VSTGUI CButtonState bits).
void EditorMouseDown(TMorvox& script, double x, double y, std::int32_t buttons);
void EditorMouseUp(TMorvox& script, double x, double y, std::int32_t buttons);
void EditorMouseMove(TMorvox& script, double x, double y, std::int32_t buttons);

}  // namespace morvox
