// BypassFade: a plug-in's bypass switch (LV2's lv2:enabled port, CLAP's
// bypass parameter) and the fade around a preset loaded while audio runs.
// The output is the dry input blended with the effect's output by a gain
// that ramps linearly over kRampSeconds: 1 is the effect alone, 0 the dry input alone. The effect
// keeps running while bypassed, so its echoes are there when it returns.
// At gain 1 with nothing pending the effect's output passes untouched.
#pragma once

#include <cstdint>
#include <vector>

class BypassFade {
 public:
  static constexpr double kRampSeconds = 0.02;
  // Frames of one pass through the blend; longer blocks run in passes.
  static constexpr std::uint32_t kPassFrames = 1024;

  BypassFade();
  void SetSampleRate(double sampleRate);  // [instantiation]

  // [audio] The host's enabled port (true: the effect is heard), and
  // whether a change that needs the dry signal alone is waiting.
  void SetTargets(bool enabled, bool holdDry);
  // [audio] True when the effect's output goes out as it is: the caller
  // then runs the effect straight on the host's buffers.
  bool Transparent() const { return gain_ == 1.0 && target_ == 1.0; }
  // [audio] True once the output is the dry input alone.
  bool AtDry() const { return gain_ == 0.0 && target_ == 0.0; }
  // [audio] The effect starts again from silent lines: until the gain is
  // back at 1 its input fades in with it, so the first echoes of a steady
  // sound rise smoothly instead of starting with a step.
  void FadeInInput() { fadeInput_ = true; }

  // [audio] Runs `effect(inputs, outputs, frames)` in passes and blends
  // its output with the input. Input and output buffers may be the same.
  template <typename Effect>
  void Process(float* const in[2], float* const out[2], std::uint32_t frames, Effect&& effect);

 private:
  void Ramp(std::uint32_t frames);  // the gains of the next frames
  void Blend(float* const out[2], std::uint32_t frames);

  double gain_ = 1.0;
  bool fadeInput_ = false;
  std::vector<double> gains_;
  double target_ = 1.0;
  double step_ = 1.0;  // per frame
  std::vector<float> dry_[2];
};

template <typename Effect>
void BypassFade::Process(float* const in[2], float* const out[2], std::uint32_t frames, Effect&& effect) {
  for (std::uint32_t done = 0; done < frames;) {
    const std::uint32_t n = frames - done < kPassFrames ? frames - done : kPassFrames;
    float* passIn[2] = {in[0] + done, in[1] + done};
    float* passOut[2] = {out[0] + done, out[1] + done};
    if (AtDry()) {
      // Bypassed: the effect runs on into the scratch buffers, so it costs
      // what a running block costs, and the input goes out as it is.
      float* scratch[2] = {dry_[0].data(), dry_[1].data()};
      effect(passIn, scratch, n);
      for (int c = 0; c < 2; ++c) {
        if (passOut[c] != passIn[c]) {
          for (std::uint32_t i = 0; i < n; ++i) passOut[c][i] = passIn[c][i];
        }
      }
      done += n;
      continue;
    }
    // The input is kept first: the host may hand the same buffer for both.
    for (int c = 0; c < 2; ++c) {
      for (std::uint32_t i = 0; i < n; ++i) dry_[c][i] = passIn[c][i];
    }
    Ramp(n);
    if (fadeInput_) {
      // The faded input goes to the effect through the output buffers.
      for (int c = 0; c < 2; ++c) {
        for (std::uint32_t i = 0; i < n; ++i) passOut[c][i] = static_cast<float>(gains_[i] * dry_[c][i]);
      }
      effect(passOut, passOut, n);
      if (gain_ == 1.0) fadeInput_ = false;
    } else {
      effect(passIn, passOut, n);
    }
    Blend(passOut, n);
    done += n;
  }
}
