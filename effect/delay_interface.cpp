// The interface: registrations of pictures and strings, and the graphics
// section that paints and hit-tests the whole editor.
#include "effect/morvox_effect.h"

void TMorvoxEffect::ResetInterfaceSide() {
  FileNameTable[0] = "vorn_delay_gfx\\knob_sm.png";
  FileNameTable[1] = "vorn_delay_gfx\\bg.png";
  FileNameTable[2] = "vorn_delay_gfx\\knob_but.png";
  static const char* const kStrings[] = {"build 170206",
                                         "Courier New",
                                         "0",
                                         "1",
                                         "3",
                                         "6",
                                         "10",
                                         "15",
                                         "20",
                                         "30",
                                         "40",
                                         "60",
                                         "80",
                                         "%.0f",
                                         "%.1f",
                                         "%.2f",
                                         "%.2f",
                                         "Arial",
                                         " quarter notes",
                                         "Tempo",
                                         " ms",
                                         "Delay",
                                         "Tempo Delay",
                                         " %",
                                         "Feedback",
                                         " Hz",
                                         "Color",
                                         "",
                                         "Resonance",
                                         "",
                                         "Color Mix",
                                         "Ping Pong",
                                         " dB",
                                         "Dry",
                                         " dB",
                                         "Wet",
                                         "Arial",
                                         "Arial"};
  static_assert(sizeof kStrings / sizeof kStrings[0] == 38);
  double number = 10000;
  for (const char* text : kStrings) SetString(number++, text);
}

void TMorvoxEffect::OnGraphics() {}
