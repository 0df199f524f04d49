// TMorvoxEffect: the Vorn Delay 2 stereo delay, written as a script on the
// TMorvox runtime. Audio sections in delay_audio.cpp, state in
// delay_state.cpp, interface in delay_interface.cpp.
#pragma once

#include <cstdint>

#include "effect/delay_variables.h"
#include "effect/windows_rand.h"
#include "runtime/morvox.h"

class TMorvoxEffect : public TMorvox {
 public:
  static constexpr int kQuarterNoteOptions = 24;
  // Cells of quarterNoteTable. They sit below index 0, apart from the two
  // delay lines, which occupy cells 0 … 12 s of samples + 3 upwards at any rate.
  static constexpr std::int32_t kQuarterNoteTable = -65536;
  static constexpr double kQuarterNotes[kQuarterNoteOptions] = {
      0.25, 0.33, 0.5, 0.66, 0.75, 1, 1.25, 1.33, 1.5, 1.66, 1.75, 2,
      2.25, 2.33, 2.5, 2.66, 2.75, 3, 3.25, 3.33, 3.5, 3.66, 3.75, 4};

  TMorvoxEffect();
  ~TMorvoxEffect() override = default;

  void OnSlider() override;
  void OnBlock() override;
  // The per-frame arithmetic: both channels as the two lanes of one vector
  // (effect/delay_frames.cpp). OnSample runs it for one frame on `samples`.
  void OnSample() override;
  void OnStereoFrames(const float* inL, const float* inR, float* outL, float* outR,
                      std::int32_t frames) override;
  void OnStereoFrames(const double* inL, const double* inR, double* outL, double* outR,
                      std::int32_t frames) override;
  void OnReset() override;
  void OnInit() override;
  void OnGraphics() override;
  void OnSerialize() override;

  // Derives every coefficient from sliderValues. [dispatcher, audio or gui]
  void RecomputeParameters();
  // Silences what the delay holds: every line cell the delay set now
  // reaches (and the lengths in use until a tempo-synced one is applied at
  // the next block), the filters and the level control. The positions,
  // settings and noise sequence stay. [audio] allocates nothing
  void ClearEchoes();
  // ClearEchoes in bounded steps: Begin silences the filters and the level
  // control and notes the cells to clear; each step clears at most
  // `cells` of them per line and answers true once none is left. The
  // effect must not run in between. [audio] allocates nothing
  void BeginClearEchoes();
  bool ClearEchoesStep(std::int32_t cells);
  // Every cell of both lines at the current rate is 0 and resident, and the
  // filters and the level control are at rest: no echo of anything heard
  // before. [dispatcher] work in proportion to the lines' length
  void SilenceLines();
  // The TMorvox resume, and every page of the lines then resident, so the
  // audio path that follows takes no page fault. The lines' cells stay.
  void OnResume() override;
  // The largest |wet value| of either channel since the last call. [audio]
  double TakeWetPeak();
  // Sets both line lengths for a delay of `delaySamples`.
  void ApplyDelayLengths(double delaySamples);
  // Slider `number`'s value limited to its declared range (a NaN gives the
  // default; the switches 3 and 8 give 0 or 1).
  double LimitedSlider(int number) const;
  // The quarter-note table entry that slider 1's value `option` selects.
  double QuarterNotesOf(double option);

  // Drawing built-ins, in the current colour (v.gfxR … v.gfxA, 0 … 1).
  ImageInfo& LoadImage(std::int32_t number);  // loads on first use
  void BlitImage(std::int32_t number, double, double, double sourceX, double sourceY);
  void FillRect(double x, double y, double width, double height);
  void DrawNumberedString(double number);
  double SelectFont(double fontNumber, double faceString, double size, double styleCode);
  // A colour component 0 … 1 as a byte.
  static int ColourComponent(double component);

  // The effect's variables; public so tests and the interface read them.
  DelayVariables v{};

 private:
  void ResetAudioSide();
  // One past the last line cell at the current rate.
  std::int32_t LineCellsEnd() const;
  void ResetInterfaceSide();
  // The frames of one call: in-place buffers allowed, every sample type
  // converted to double in registers.
  template <typename Sample>
  void RunFrames(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, std::int32_t frames);
  void RestartDivergedFilters(double& oL, double& oR);
  void ComputeLayout();
  void SetColour(double r, double g, double b, double a);
  double SliderWidget(const SliderLayout& layout, double value, WidgetState& state);
  void QuarterNoteSlider();
  double ToggleWidget(double x, double y, double value, WidgetState& state);
  // Tells the host of the user's edit of slider `number` through the
  // widget's state: begin with the press (`held`) or a change, the value
  // when `changed`, end once the widget is no longer held.
  void ReportEdit(std::int32_t number, WidgetState& state, bool held, bool changed);
  // Whether this frame drags the slider of `state`.
  bool Dragging(const WidgetState& state) const;
  void DrawReadout(const SliderLayout& layout, double workString, double formatString, double value);

 protected:
  // The noise term's generator; a test's reference arithmetic draws from it too.
  WindowsRand rand_;

 private:
  // A clear in steps: cells [clearNext_, clearEnd_) of each line are left.
  double clearNext_ = 0;
  double clearEnd_ = 0;
  double wetPeak_ = 0;
};

static_assert(TMorvoxEffect::kQuarterNoteTable + TMorvoxEffect::kQuarterNoteOptions <= 0,
              "the quarter-note table must stay clear of the delay lines");
