// The scale the LV2 host asks of the UI: its ui:scaleFactor option, passed
// through the options feature (keys and types need the urid:map feature).
#pragma once

#include <lv2/core/lv2.h>

// The option's value when the host passes a positive finite number as an
// atom:Float, atom:Double or atom:Int, else 0 (no answer: the editor then
// looks at VORN_UI_SCALE, and else at what its window reads of the desktop
// once open). Reads only the features: no window-system call.
double Lv2HostScale(const LV2_Feature* const* features);
