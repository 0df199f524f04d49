// The LV2 plug-in's bypass (its lv2:enabled port) is the format-neutral
// fade of effect/bypass_fade.h.
#pragma once

#include "effect/bypass_fade.h"

using Lv2Bypass = BypassFade;
