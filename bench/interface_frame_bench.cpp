// Cost of one full interface frame rendered offscreen, against blitting the
// background picture alone (the floor any frame pays); and the same frame
// at editor scale 2 (four times the pixels), which should cost at most four
// times the frame at 1.
#include <benchmark/benchmark.h>

#include "gui/cbitmap.h"
#include "gui/coffscreen_context.h"
#include "tests/support/plugin_instance.h"

namespace {

void InterfaceFrameAt(benchmark::State& state, double scale) {
  PluginInstance p(48000);
  VSTGUI::COffscreenContext screen(nullptr, 500, 480, VSTGUI::kBlackCColor, scale);
  p.Script().v.meterPeak = 0.5;
  for (auto _ : state) {
    p.Adapter().drawContext = &screen;
    p.Script().OnGraphics();
    p.Adapter().drawContext = nullptr;
    p.Script().v.meterPeak = 0.5;
  }
}

void BM_InterfaceFrame(benchmark::State& state) {
  InterfaceFrameAt(state, 1);
  state.SetLabel("graphics section, 500 x 480");
}
BENCHMARK(BM_InterfaceFrame)->Unit(benchmark::kMillisecond);

void BM_InterfaceFrameAtScale2(benchmark::State& state) {
  InterfaceFrameAt(state, 2);
  state.SetLabel("graphics section at scale 2, 1000 x 960 pixels");
}
BENCHMARK(BM_InterfaceFrameAtScale2)->Unit(benchmark::kMillisecond);

void BM_InterfaceFrameAtScale1_5(benchmark::State& state) {
  InterfaceFrameAt(state, 1.5);
  state.SetLabel("graphics section at scale 1.5, 750 x 720 pixels");
}
BENCHMARK(BM_InterfaceFrameAtScale1_5)->Unit(benchmark::kMillisecond);

void BM_BackgroundBlit(benchmark::State& state) {
  VSTGUI::COffscreenContext screen(nullptr, 500, 480);
  VSTGUI::CBitmap background(VSTGUI::CResourceDescription(1));
  for (auto _ : state) background.draw(&screen, VSTGUI::CRect(0, 0, 500, 480));
  state.SetLabel("background picture only");
}
BENCHMARK(BM_BackgroundBlit)->Unit(benchmark::kMillisecond);

}  // namespace
