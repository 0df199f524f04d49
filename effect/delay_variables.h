// The delay effect's own script variables. They form one block that
// OnReset zero-fills, exactly as the script's variables are all 0 after a
// reset.
#pragma once

#include <array>

// Filter memory of one channel's four-pole ladder.
struct LadderState {
  double x0p, y1, y2, y3, y4, y1p, y2p, y3p;
};

struct LadderCoefficients {
  double p, k, r;
};

// Interaction state of one painted slider or toggle.
struct WidgetState {
  double hover, dragging, anchor, pressed;
  double editing;  // 1 while the host has been told of an edit begun here
};

// Where one painted slider lies and what it edits.
struct SliderLayout {
  double x, y, w, h, minimum, maximum, step, defaultValue, format, unit, caption;
  double range, track, readoutX, readoutCentreY, knobY;
};

struct DelayVariables {
  // Host values.
  double sampleRate, tempo, timeSigNumerator, timeSigDenominator, playState, playPosition;
  double inputCount, blockSize;

  // Copies of sliderValues 1 … 11 that the interface edits (index = slider number).
  std::array<double, 12> sliderVar;

  // Constants of the current sample rate.
  double maxDelaySamples, stereoOffset, holdCoef, releaseCoef, recoveryCoef;

  // Coefficients derived from the sliders.
  double hpCoef, feedback, quarterNotes, msDelaySamples;
  double colorFrequency, resonance, mix, directShare, tempoSync, pingPong;
  double dryGain, wetGain, attackCoef;
  LadderCoefficients ladderLeft, ladderRight;
  double samplesPerBeat;  // 0: a tempo-synced length is pending

  // Delay lines.
  double delayLengthLeft, delayLengthRight, leftBase, rightBase, writePosLeft, writePosRight;

  // Signal state.
  double wetLeft, wetRight, hpStateLeft, hpStateRight;
  LadderState ladderStateLeft, ladderStateRight;
  double levelHold, levelEnv, levelGain, meterPeak;

  // State section.
  double serializeIndex;

  // Interface: drawing colour and font, the frame's mouse copies, layout.
  double gfxR, gfxG, gfxB, gfxA, fontNumber, buildLabel;
  double frameMouseCap, frameMouseX, frameMouseY, layoutReady, interfaceChanged;
  double knobW, knobH, buttonW, buttonH;
  SliderLayout quarterNoteSlider, msSlider, feedbackSlider, colorSlider, resonanceSlider, mixSlider,
      drySlider, wetSlider;
  WidgetState quarterNoteState, msState, feedbackState, colorState, resonanceState, mixState, dryState,
      wetState, tempoToggle, pingPongToggle;
};
