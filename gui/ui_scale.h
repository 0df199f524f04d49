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
// when it holds a number, else the window system's (platform backend's
// desktopScale), clamped.
double EditorScale(void* parent, double hostScale = 0);

}  // namespace VSTGUI
