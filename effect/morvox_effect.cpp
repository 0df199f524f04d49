#include "effect/morvox_effect.h"

TMorvoxEffect::TMorvoxEffect() {
  effectName = "Vorn Delay 2";
  productString = "Vorn Delay 2";
  programName = "Vorn Delay 2";
  vendorString = "Fenmoor";
  vendorVersion = 1000;
  uniqueId = morvox::FourCharId('V', 'R', 'D', '2');
  channelCount = 2;

  DeclareSlider(1, nullptr, 4, 0, 23, 1, "", "", "", "Delay [1/4 Notes]");
  for (const char* option :
       {"0.25", "0.33", "0.50", "0.66", "0.75", "1.00", "1.25", "1.33", "1.50", "1.66", "1.75", "2.00",
        "2.25", "2.33", "2.50", "2.66", "2.75", "3.00", "3.25", "3.33", "3.50", "3.66", "3.75", "4.00"}) {
    AddSliderOption(option);
  }
  DeclareSlider(2, nullptr, 500, 0, 4000, 10, "", "", "", "Delay [ms]");
  DeclareSlider(3, nullptr, 0, 0, 1, 1, "", "", "", "Tempo Delay [Off/On]");
  DeclareSlider(4, nullptr, 10, 0, 100, 1, "", "", "", "Feedback [%]");
  DeclareSlider(5, nullptr, 2000, 400, 4000, 10, "", "", "", "Color [Hz]");
  DeclareSlider(6, nullptr, 0.05, 0, 1, 0.01, "", "", "", "Resonance");
  DeclareSlider(7, nullptr, 1, 0, 1, 0.01, "", "", "", "Color Mix");
  DeclareSlider(8, nullptr, 0, 0, 1, 1, "", "", "", "Ping Pong [Off/On]");
  DeclareSlider(10, nullptr, 0, -40, 10, 1, "", "", "", "Dry [dB]");
  DeclareSlider(11, nullptr, 0, -40, 10, 1, "", "", "", "Wet [dB]");
}

void TMorvoxEffect::OnReset() {
  ResetAudioSide();
  ResetInterfaceSide();
}
