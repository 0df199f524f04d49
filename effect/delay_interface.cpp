// The interface: registrations of pictures and strings, and the graphics
// section that paints and hit-tests the whole 500 × 480 editor.
#include <algorithm>
#include <cmath>

#include "effect/morvox_effect.h"
#include "runtime/script_value.h"

namespace {

constexpr double kMsWork = 190000;           // work string of the slider read-outs
constexpr double kQuarterNoteWork = 190001;  // work string of the quarter-note read-out

bool ButtonDown(double cap) {
  return cap != 0;
}
bool Shift(double cap) {
  return (morvox::ToIndex(cap) & 8) != 0;
}
bool Control(double cap) {
  return (morvox::ToIndex(cap) & 4) != 0;
}

}  // namespace

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

void TMorvoxEffect::SetColour(double r, double g, double b, double a) {
  v.gfxR = r;
  v.gfxG = g;
  v.gfxB = b;
  v.gfxA = a;
}

void TMorvoxEffect::ComputeLayout() {
  const ImageInfo& knob = LoadImage(0);
  const ImageInfo& button = LoadImage(2);
  v.knobW = knob.width;
  v.knobH = knob.height;
  v.buttonW = button.width;
  v.buttonH = button.height;
  auto row = [this](SliderLayout& s, double y, double minimum, double maximum, double step,
                    double defaultValue, double unit, double caption) {
    s.x = 30;
    s.y = y;
    s.w = 250;
    s.h = 20;
    s.minimum = minimum;
    s.maximum = maximum;
    s.step = step;
    s.defaultValue = defaultValue;
    s.format = step < 0.1 ? 10015 : step < 1 ? 10014 : 10013;
    s.unit = unit;
    s.caption = caption;
    s.range = std::fabs(minimum - maximum);
    s.track = s.w - v.knobW - 2;
    s.readoutX = s.x + s.w;
    s.readoutCentreY = std::floor(s.y + s.h / 2);
    s.knobY = std::ceil(s.y - v.knobH / 2 + s.h / 2);
  };
  row(v.quarterNoteSlider, 50, 0, 23, 1, 4, 10018, 10019);
  v.quarterNoteSlider.format = 10016;
  row(v.msSlider, 50, 0, 4000, 1, 500, 10020, 10021);
  row(v.feedbackSlider, 150, 0, 100, 1, 10, 10023, 10024);
  row(v.colorSlider, 200, 400, 4000, 10, 2000, 10025, 10026);
  row(v.resonanceSlider, 250, 0, 1, 0.01, 0.05, 10027, 10028);
  row(v.mixSlider, 300, 0, 1, 0.01, 1, 10029, 10030);
  row(v.drySlider, 350, -40, 10, 1, 0, 10032, 10033);
  row(v.wetSlider, 400, -40, 10, 1, 0, 10034, 10035);
}

namespace {

// Hover and drag bookkeeping shared by every slider: a drag starts only
// with a press inside after the mouse was seen there with no button down.
void TrackSlider(const SliderLayout& s, WidgetState& state, double cap, double mouseX, double mouseY) {
  const bool inside = mouseX >= s.x && mouseX <= s.x + s.w && mouseY >= s.y && mouseY <= s.y + s.h;
  if (!inside) {
    state.hover = 0;
  } else if (!ButtonDown(cap)) {
    state.hover = 1;
  }
  if (!ButtonDown(cap)) {
    state.dragging = 0;
    state.anchor = 0;
  } else if (inside && state.hover == 1) {
    state.dragging = 1;
  }
}

}  // namespace

void TMorvoxEffect::DrawReadout(const SliderLayout& s, double workString, double formatString, double value) {
  SetColour(0.8, 0.8, 0.8, v.gfxA);
  FormatToString(workString, formatString, {value});
  GetString(workString) += GetString(s.unit);
  gfxX = s.readoutX;
  gfxY = std::floor(s.readoutCentreY - textHeight * 0.5);
  DrawNumberedString(workString);
}

double TMorvoxEffect::SliderWidget(const SliderLayout& s, double value, WidgetState& state) {
  const double cap = v.frameMouseCap, mouseX = v.frameMouseX;
  TrackSlider(s, state, cap, mouseX, v.frameMouseY);
  if (state.dragging != 0 && ButtonDown(cap)) {
    double pos;
    if (Shift(cap)) {
      if (state.anchor == 0) state.anchor = mouseX;
      pos = (mouseX / state.anchor - 1) + v.knobW / 2 + (state.anchor - s.x - v.knobW);
    } else {
      pos = mouseX - s.x - v.knobW / 2;
      state.anchor = 0;
    }
    const double u = pos / s.track;
    value = std::ceil(u * s.range * (1 / s.step)) / (1 / s.step) + s.minimum;
    if (Control(cap)) value = s.defaultValue;
    v.interfaceChanged = 1;
  }
  value = std::clamp(value, s.minimum, s.maximum);

  gfxX = s.x + 1 + s.track * (value + s.range - s.maximum) / s.range;
  gfxY = s.knobY;
  BlitImage(0, 1, 0, 0, 0);
  DrawReadout(s, kMsWork, s.format, value);
  return value;
}

void TMorvoxEffect::QuarterNoteSlider() {
  const SliderLayout& s = v.quarterNoteSlider;
  WidgetState& state = v.quarterNoteState;
  const double cap = v.frameMouseCap, mouseX = v.frameMouseX;
  TrackSlider(s, state, cap, mouseX, v.frameMouseY);
  double k = v.sliderVar[1];
  if (state.dragging != 0 && ButtonDown(cap)) {
    double pos;
    if (Shift(cap)) {
      if (state.anchor == 0) state.anchor = mouseX;
      pos = (mouseX / state.anchor - 1) * 100 + v.knobW / 2 + (state.anchor - s.x - v.knobW);
    } else {
      pos = mouseX - s.x - v.knobW / 2;
      state.anchor = 0;
    }
    k = std::ceil(pos / s.track * 23);
    if (Control(cap)) k = 4;
    v.interfaceChanged = 1;
  }
  k = std::clamp(k, 0.0, 23.0);
  v.sliderVar[1] = k;

  gfxX = s.x + 1 + s.track * k / 23;
  gfxY = s.knobY;
  BlitImage(0, 1, 0, 0, 0);
  DrawReadout(s, kQuarterNoteWork, 10016, QuarterNotesOf(k));
}

double TMorvoxEffect::ToggleWidget(double x, double y, double value, WidgetState& state) {
  const double cap = v.frameMouseCap, mouseX = v.frameMouseX, mouseY = v.frameMouseY;
  const bool inside = mouseX >= x && mouseX <= x + v.buttonW && mouseY >= y && mouseY <= y + v.buttonH;
  if (!inside) {
    state.hover = state.pressed = 0;
  } else if (!ButtonDown(cap)) {
    state.hover = 1;
  } else {
    state.pressed = 1;
    if (state.hover == 1) {
      value = 1 - value;
      state.hover = state.pressed = 0;
      v.interfaceChanged = 1;
    }
  }
  if (!morvox::IsZero(value)) {
    gfxX = x;
    gfxY = y;
    BlitImage(2, 1, 0, 0, 0);
  }
  return value;
}

bool TMorvoxEffect::Dragging(const WidgetState& state) const {
  return state.dragging != 0 && ButtonDown(v.frameMouseCap);
}

void TMorvoxEffect::ReportEdit(std::int32_t number, WidgetState& state, bool held, bool changed) {
  if ((held || changed) && state.editing == 0) {
    BeginSliderEdit(number);
    state.editing = 1;
  }
  if (changed) SliderEdited(number);
  if (!held && state.editing != 0) {
    EndSliderEdit(number);
    state.editing = 0;
  }
}

void TMorvoxEffect::OnGraphics() {
  const MouseFrame mouse = TakeFrameMouse();
  v.frameMouseCap = mouse.cap;
  v.frameMouseX = mouse.x;
  v.frameMouseY = mouse.y;

  SetColour(0, 0, 0, 1);
  gfxX = gfxY = 0;
  SelectFont(0, 10001, 13, 0);
  BlitImage(1, 1, 0, 0, 0);
  SelectFont(1, 10017, 16, 0);
  if (v.layoutReady == 0) {
    ComputeLayout();
    v.layoutReady = 1;
  }

  auto& slider = sliderValues;
  auto& var = v.sliderVar;
  // Each edit reaches the host as well: begin at the press, the value while
  // it changes, end at the release; a toggle's click is all three at once.
  auto slide = [&](std::int32_t n, const SliderLayout& layout, WidgetState& state) {
    const double before = var[n];
    slider[n] = var[n] = SliderWidget(layout, var[n], state);
    const bool held = Dragging(state);
    ReportEdit(n, state, held, held && var[n] != before);
  };
  auto toggle = [&](std::int32_t n, double x, double y, WidgetState& state) {
    const double before = var[n];
    slider[n] = var[n] = ToggleWidget(x, y, var[n], state);
    ReportEdit(n, state, false, !(var[n] == before) && !(std::isnan(var[n]) && std::isnan(before)));
  };
  if (morvox::IsZero(v.tempoSync)) {
    slide(2, v.msSlider, v.msState);
    ReportEdit(1, v.quarterNoteState, false, false);  // hidden: no edit stays open
  } else {
    const double before = var[1];
    QuarterNoteSlider();
    slider[1] = var[1];
    const bool held = Dragging(v.quarterNoteState);
    ReportEdit(1, v.quarterNoteState, held, held && var[1] != before);
    ReportEdit(2, v.msState, false, false);
  }
  toggle(3, 32, 95, v.tempoToggle);
  slide(4, v.feedbackSlider, v.feedbackState);
  slide(5, v.colorSlider, v.colorState);
  slide(6, v.resonanceSlider, v.resonanceState);
  slide(7, v.mixSlider, v.mixState);
  toggle(8, 190, 95, v.pingPongToggle);
  slide(10, v.drySlider, v.dryState);
  slide(11, v.wetSlider, v.wetState);

  if (v.interfaceChanged != 0) {
    RecomputeParameters();
    v.interfaceChanged = 0;
  }

  SelectFont(1, 10036, 13, 0);
  const double top = 300 - std::min(std::pow(v.meterPeak, 0.3) * 300, 299.0);
  SetColour(1, 1, 1, 0.5);
  FillRect(434, 70 + top, 7, 300 - top);
  v.meterPeak = std::max(v.meterPeak - 0.01, 0.0);

  gfxX = 430;
  gfxY = 10;
  SetColour(1, 1, 1, 0.2);
  SelectFont(1, 10037, 12, 0);
  DrawNumberedString(v.buildLabel);
}
