// The editor's scale factor: how many device pixels one unit of the
// editor's layout covers. The layout stays in units; the frame's window,
// its drawing and its mouse go through the scale.
#pragma once
#include <cstdint>

namespace VSTGUI {

// The smallest and largest scale an editor is drawn at.
inline constexpr double kMinScale = 1.0;
inline constexpr double kMaxScale = 3.0;
// The environment variable that sets the scale when the host does not.
inline constexpr const char* kScaleVariable = "VORN_UI_SCALE";

// The scale kept within kMinScale … kMaxScale; NaN, infinities, 0 and
// negative values are 1.
double ClampScale(double scale);
// A positive finite number written as the whole text (spaces around it
// allowed), else 0.
double ParseScaleNumber(const char* text);
// Xft.dpi-style dots per inch as a scale (dpi / 96); 0 when not positive
// and finite.
double ScaleFromDpi(double dpi);
// Device pixels for a length of whole units: exactly units at scale 1, else
// rounded up so the last unit is covered.
int32_t ScaledLength(int32_t units, double scale);

// The scale for an editor opening inside parent (null: not known yet):
// hostScale when the host gave one (> 0), else the environment variable
// when it holds a number, else what the window system tells without a
// window of the editor's own (the platform backend's desktopScale: the
// parent's DPI on Windows, nothing on X11), else the last scale an editor
// window reported (RememberWindowScale), else 1; clamped. Safe from any
// thread: it opens no connection to the window system.
double EditorScale(void* parent, double hostScale = 0);
// True when the host (hostScale > 0) or the environment variable sets the
// scale: a window's own report then changes nothing.
bool ScaleIsGiven(double hostScale = 0);
// The scale the window system asked of the last editor window opened in
// this process (its own report once open), 0 before any; remembering 0 or
// a bad value forgets it. Any thread.
void RememberWindowScale(double scale);
double LastWindowScale();

// The dots per inch that the X resources in text (as xrdb loads them into
// RESOURCE_MANAGER: "name:\tvalue" lines) give Xft.dpi, 0 when they give
// none or not a positive number. A fully named Xft.dpi wins over a loosely
// bound one (Xft*dpi, *dpi); among equals the last line wins.
double XftDpiFromResources(const char* text);

}  // namespace VSTGUI
