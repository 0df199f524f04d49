// Numbers as short display texts for parameter read-outs. maxLen counts
// characters: text must hold maxLen + 1 bytes (the terminator). A null text
// or a negative maxLen writes nothing.
#pragma once

#include "vst/vst24.h"

// Decimal text of at most 8 characters: "-" for negative values, the integer
// digits, "." and as many fraction digits (rounded) as fit in the 8. Values
// whose integer part alone fills the 8 characters are written without the
// point. Values above 99999999 or below -9999999 and the infinities do not
// fit and give "Huge!", like IntToText; NaN gives "NaN".
void FloatToText(float value, char* text, VstInt32 maxLen);

// "-" for negative values and the decimal digits without leading zeros;
// values of 100000000 or more in magnitude give "Huge!".
void IntToText(VstInt32 value, char* text, VstInt32 maxLen);
