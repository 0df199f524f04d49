// Cost of one full interface frame rendered offscreen, against blitting the
// background picture alone (the floor any frame pays).
#include <benchmark/benchmark.h>

#include "gui/cbitmap.h"
#include "gui/coffscreen_context.h"
#include "tests/support/plugin_instance.h"

namespace {

void BM_InterfaceFrame(benchmark::State& state) {
  PluginInstance p(48000);
  VSTGUI::COffscreenContext screen(nullptr, 500, 480);
  p.Script().v.meterPeak = 0.5;
  for (auto _ : state) {
    p.Adapter().drawContext = &screen;
    p.Script().OnGraphics();
    p.Adapter().drawContext = nullptr;
    p.Script().v.meterPeak = 0.5;
  }
  state.SetLabel("graphics section, 500 x 480");
}
BENCHMARK(BM_InterfaceFrame)->Unit(benchmark::kMillisecond);

void BM_BackgroundBlit(benchmark::State& state) {
  VSTGUI::COffscreenContext screen(nullptr, 500, 480);
  VSTGUI::CBitmap background(VSTGUI::CResourceDescription(1));
  for (auto _ : state) background.draw(&screen, VSTGUI::CRect(0, 0, 500, 480));
  state.SetLabel("background picture only");
}
BENCHMARK(BM_BackgroundBlit)->Unit(benchmark::kMillisecond);

}  // namespace
