#pragma once
#include <cstddef>

namespace VSTGUI {

// The PNG pictures built into the plug-in module, found by number (0 knob,
// 1 background, 2 lit button) or by name. The bytes stay valid for the
// module's life. False when there is no such picture.
bool FindImageResource(int number, const unsigned char** data, size_t* size);
// The same picture drawn at twice the density (twice the width and height)
// has this number added to its own; editors at a scale above 1 draw it.
inline constexpr int kDoubleDensityPicture = 100;
bool FindImageResourceByName(const char* name, const unsigned char** data, size_t* size);

}  // namespace VSTGUI
