// Draws the three interface pictures: knob_sm.png (32 × 32 slider knob with
// transparent corners), bg.png (500 × 480 panel) and knob_but.png (32 × 32
// lit button), and the same three at twice the density for editors drawn
// at a scale above 1 (knob_sm@2x.png, bg@2x.png, knob_but@2x.png: the same
// drawing at 2 pixels per unit, so lines and text stay sharp).
// Usage: draw_artwork <folder> [--preview]
// With --preview it also writes preview.png: the panel with knobs, lit
// buttons and read-outs where the interface draws them, for reviewing.
//
// Everything on the panel sits at the interface's layout coordinates:
// slider grooves x 30…280 and 20 high, button holes 32 × 32, the meter bar
// x 434…441 from y 70 down to 370 with its scale at the heights the meter
// formula gives.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>

namespace {

constexpr double kPi = std::numbers::pi;

struct Rgb {
  double r, g, b;
};

// Palette: graphite panel, amber accents, silver metal.
constexpr Rgb kPanelTop{0.205, 0.215, 0.235};
constexpr Rgb kPanelBottom{0.145, 0.152, 0.168};
constexpr Rgb kAmber{0.98, 0.66, 0.22};
constexpr Rgb kCaption{0.86, 0.80, 0.70};
constexpr Rgb kGrooveDark{0.055, 0.060, 0.070};

void rgb(cairo_t* cr, Rgb c, double a = 1.0) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, a);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

// A small deterministic generator so the brushed texture is the same on
// every run.
struct Noise {
  uint32_t state = 0x9E3779B9u;
  double next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return (state & 0xFFFFFF) / double(0xFFFFFF);
  }
};

enum class Align { kLeft, kCenter, kRight };

void text(cairo_t* cr, const char* s, double x, double baseline, double size, bool bold, Align align,
          double spacing = 0, const char* face = "Liberation Sans") {
  cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  // Letter spacing: measure and draw one character at a time.
  double width = 0;
  const size_t n = std::strlen(s);
  for (size_t i = 0; i < n; ++i) {
    char one[2] = {s[i], 0};
    cairo_text_extents_t e;
    cairo_text_extents(cr, one, &e);
    width += e.x_advance + (i + 1 < n ? spacing : 0);
  }
  double pen = align == Align::kLeft ? x : align == Align::kRight ? x - width : x - width / 2;
  for (size_t i = 0; i < n; ++i) {
    char one[2] = {s[i], 0};
    cairo_text_extents_t e;
    cairo_text_extents(cr, one, &e);
    cairo_move_to(cr, pen, baseline);
    cairo_show_text(cr, one);
    pen += e.x_advance + spacing;
  }
}

// Text pressed into the panel: a dark shadow above, a faint light edge below.
void engraved(cairo_t* cr, const char* s, double x, double baseline, double size, bool bold, Align align,
              double spacing, Rgb color, double alpha = 1.0) {
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  text(cr, s, x, baseline - 1, size, bold, align, spacing);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
  text(cr, s, x, baseline + 1, size, bold, align, spacing);
  rgb(cr, color, alpha);
  text(cr, s, x, baseline, size, bold, align, spacing);
}

void screw(cairo_t* cr, double cx, double cy) {
  cairo_arc(cr, cx, cy + 0.8, 5.2, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_fill(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - 1.5, cy - 1.5, 0.5, cx, cy, 5);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.82, 0.83, 0.85);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.38, 0.39, 0.42);
  cairo_arc(cr, cx, cy, 4.6, 0, 2 * kPi);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 0.12, 0.12, 0.13, 0.9);
  cairo_move_to(cr, cx - 3.2, cy + 1.2);
  cairo_line_to(cr, cx + 3.2, cy - 1.2);
  cairo_stroke(cr);
}

// ---- background ------------------------------------------------------------

void panel(cairo_t* cr) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 480);
  cairo_pattern_add_color_stop_rgb(p, 0, kPanelTop.r, kPanelTop.g, kPanelTop.b);
  cairo_pattern_add_color_stop_rgb(p, 1, kPanelBottom.r, kPanelBottom.g, kPanelBottom.b);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);

  // Brushed metal: faint horizontal streaks of random length and shade.
  Noise noise;
  cairo_set_line_width(cr, 1);
  for (int i = 0; i < 1400; ++i) {
    const double y = std::floor(noise.next() * 480) + 0.5;
    const double x = noise.next() * 560 - 60;
    const double len = 40 + noise.next() * 220;
    const bool light = noise.next() > 0.5;
    const double a = 0.012 + noise.next() * 0.022;
    cairo_set_source_rgba(cr, light ? 1 : 0, light ? 1 : 0, light ? 1 : 0, a);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + len, y);
    cairo_stroke(cr);
  }

  // A soft light from the top left.
  cairo_pattern_t* sheen = cairo_pattern_create_radial(120, -60, 20, 120, -60, 520);
  cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.07);
  cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0);
  cairo_set_source(cr, sheen);
  cairo_paint(cr);
  cairo_pattern_destroy(sheen);

  // Bevelled edge of the whole face.
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
  cairo_move_to(cr, 0.5, 479);
  cairo_line_to(cr, 0.5, 0.5);
  cairo_line_to(cr, 499, 0.5);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_move_to(cr, 499.5, 1);
  cairo_line_to(cr, 499.5, 479.5);
  cairo_line_to(cr, 1, 479.5);
  cairo_stroke(cr);
}

// A recessed area: darker fill, shadow on the upper edge, light on the lower.
void recess(cairo_t* cr, double x, double y, double w, double h, double r, double depth) {
  roundedRect(cr, x, y, w, h, r);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.20 * depth);
  cairo_fill(cr);
  cairo_set_line_width(cr, 1);
  roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
  cairo_pattern_t* edge = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgba(edge, 0, 0, 0, 0, 0.55 * depth);
  cairo_pattern_add_color_stop_rgba(edge, 0.5, 0, 0, 0, 0.15 * depth);
  cairo_pattern_add_color_stop_rgba(edge, 1, 1, 1, 1, 0.10);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
}

// A slider groove over x … x + w, y … y + 20; the knob's centre travels
// from x + 17 to x + w − 17.
void groove(cairo_t* cr, double x, double y, double w) {
  const double h = 20;
  // Outer bevel.
  roundedRect(cr, x - 1, y - 1, w + 2, h + 2, 11);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.07);
  cairo_fill(cr);
  roundedRect(cr, x, y, w, h, 10);
  cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(body, 0, kGrooveDark.r * 0.6, kGrooveDark.g * 0.6, kGrooveDark.b * 0.6);
  cairo_pattern_add_color_stop_rgb(body, 0.55, kGrooveDark.r, kGrooveDark.g, kGrooveDark.b);
  cairo_pattern_add_color_stop_rgb(body, 1, kGrooveDark.r * 1.9, kGrooveDark.g * 1.9, kGrooveDark.b * 1.9);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  // Inner shadow along the top.
  roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 9.5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  // The slot the knob rides in, with an amber trace.
  const double x0 = x + 17;
  const double x1 = x + w - 17;
  const double cy = y + h / 2;
  roundedRect(cr, x0 - 2, cy - 2, x1 - x0 + 4, 4, 2);
  cairo_set_source_rgb(cr, 0.01, 0.01, 0.012);
  cairo_fill(cr);
  cairo_move_to(cr, x0, cy + 0.5);
  cairo_line_to(cr, x1, cy + 0.5);
  rgb(cr, kAmber, 0.18);
  cairo_stroke(cr);

  // Scale: eleven ticks, every fifth one longer.
  for (int i = 0; i <= 10; ++i) {
    const double tx = std::round(x0 + (x1 - x0) * i / 10.0) + 0.5;
    const double len = (i % 5 == 0) ? 4 : 2.5;
    cairo_set_source_rgba(cr, 1, 1, 1, i % 5 == 0 ? 0.30 : 0.16);
    cairo_move_to(cr, tx, y + 2.5);
    cairo_line_to(cr, tx, y + 2.5 + len);
    cairo_move_to(cr, tx, y + h - 2.5);
    cairo_line_to(cr, tx, y + h - 2.5 - len);
    cairo_stroke(cr);
  }
}

// The read-out window right of a groove (the interface writes the value at x 280).
void readoutWindow(cairo_t* cr, double y) {
  roundedRect(cr, 276, y - 1, 140, 22, 4);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + 20);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.55);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0.35);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  roundedRect(cr, 276.5, y - 0.5, 139, 21, 4);
  cairo_set_line_width(cr, 1);
  cairo_pattern_t* edge = cairo_pattern_create_linear(0, y, 0, y + 21);
  cairo_pattern_add_color_stop_rgba(edge, 0, 0, 0, 0, 0.8);
  cairo_pattern_add_color_stop_rgba(edge, 1, 1, 1, 1, 0.10);
  cairo_set_source(cr, edge);
  cairo_stroke(cr);
}

// The rim shared by the unlit hole and the lit button, centred in a 32 × 32 cell.
void buttonRim(cairo_t* cr, double cx, double cy) {
  cairo_arc(cr, cx, cy + 1, 15, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_fill(cr);
  cairo_pattern_t* ring = cairo_pattern_create_linear(cx, cy - 14, cx, cy + 14);
  cairo_pattern_add_color_stop_rgb(ring, 0, 0.80, 0.81, 0.83);
  cairo_pattern_add_color_stop_rgb(ring, 0.5, 0.45, 0.46, 0.49);
  cairo_pattern_add_color_stop_rgb(ring, 1, 0.25, 0.26, 0.28);
  cairo_arc(cr, cx, cy, 14, 0, 2 * kPi);
  cairo_set_source(cr, ring);
  cairo_fill(cr);
  cairo_pattern_destroy(ring);
  cairo_arc(cr, cx, cy, 11.5, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
  cairo_fill(cr);
}

void unlitLens(cairo_t* cr, double cx, double cy) {
  cairo_pattern_t* lens = cairo_pattern_create_radial(cx - 3, cy - 4, 1, cx, cy, 11);
  cairo_pattern_add_color_stop_rgb(lens, 0, 0.36, 0.25, 0.12);
  cairo_pattern_add_color_stop_rgb(lens, 0.6, 0.19, 0.12, 0.05);
  cairo_pattern_add_color_stop_rgb(lens, 1, 0.08, 0.05, 0.02);
  cairo_arc(cr, cx, cy, 10.5, 0, 2 * kPi);
  cairo_set_source(cr, lens);
  cairo_fill(cr);
  cairo_pattern_destroy(lens);
  // Glass reflection.
  cairo_save(cr);
  cairo_translate(cr, cx - 2.5, cy - 5);
  cairo_scale(cr, 5.5, 3);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.14);
  cairo_fill(cr);
}

// Meter bar geometry: the bar fills x 434 … 441 and rises from y 370; a peak
// p draws its top at 70 + 300 − min(p^0.3 × 300, 299).
double meterY(double db) {
  const double peak = std::pow(10.0, db / 20.0);
  return 70 + 300 - std::min(std::pow(peak, 0.3) * 300, 299.0);
}

void meter(cairo_t* cr) {
  // The module the meter sits in.
  recess(cr, 424, 40, 62, 346, 6, 1.0);
  engraved(cr, "LEVEL", 455, 56, 9, true, Align::kCenter, 1.6, kCaption);

  // Bar channel around x 434 … 441, y 70 … 370.
  roundedRect(cr, 431, 67, 13, 306, 2);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.08);
  cairo_fill(cr);
  cairo_rectangle(cr, 432, 68, 11, 304);
  cairo_set_source_rgb(cr, 0.02, 0.02, 0.025);
  cairo_fill(cr);
  cairo_rectangle(cr, 434, 70, 7, 300);
  cairo_pattern_t* lane = cairo_pattern_create_linear(434, 0, 441, 0);
  cairo_pattern_add_color_stop_rgb(lane, 0, 0.05, 0.05, 0.06);
  cairo_pattern_add_color_stop_rgb(lane, 0.5, 0.09, 0.09, 0.10);
  cairo_pattern_add_color_stop_rgb(lane, 1, 0.05, 0.05, 0.06);
  cairo_set_source(cr, lane);
  cairo_fill(cr);
  // A faint warm tint near the top where the bar means a hot signal.
  cairo_rectangle(cr, 434, 70, 7, meterY(-6) - 70);
  cairo_set_source_rgba(cr, 0.9, 0.25, 0.1, 0.10);
  cairo_fill(cr);

  static const struct {
    int db;
    const char* label;
  } kMarks[] = {{0, "0"},    {-1, "1"},   {-3, "3"},   {-6, "6"},   {-10, "10"}, {-15, "15"},
                {-20, "20"}, {-30, "30"}, {-40, "40"}, {-60, "60"}, {-80, "80"}};
  cairo_set_line_width(cr, 1);
  for (const auto& m : kMarks) {
    const double y = std::floor(meterY(m.db)) + 0.5;
    const bool major = m.db == 0 || m.db == -6 || m.db == -20 || m.db == -40 || m.db == -80;
    if (m.db >= -6)
      rgb(cr, kAmber, 0.85);
    else
      cairo_set_source_rgba(cr, 0.85, 0.85, 0.85, 0.55);
    cairo_move_to(cr, major ? 426 : 428, y);
    cairo_line_to(cr, 431, y);
    cairo_move_to(cr, 444, y);
    cairo_line_to(cr, major ? 449 : 447, y);
    cairo_stroke(cr);
    if (m.db >= -6)
      rgb(cr, kAmber, 0.95);
    else
      cairo_set_source_rgba(cr, 0.86, 0.84, 0.80, 0.85);
    text(cr, m.label, 452, y + 3, 8, m.db == 0, Align::kLeft);
  }
  cairo_set_source_rgba(cr, 0.86, 0.84, 0.80, 0.6);
  text(cr, "dB", 455, 381, 8.5, false, Align::kCenter, 0.5);
}

void title(cairo_t* cr) {
  // The name plate along the bottom.
  cairo_rectangle(cr, 0, 436, 500, 44);
  cairo_pattern_t* plate = cairo_pattern_create_linear(0, 436, 0, 480);
  cairo_pattern_add_color_stop_rgb(plate, 0, 0.085, 0.088, 0.096);
  cairo_pattern_add_color_stop_rgb(plate, 1, 0.045, 0.047, 0.052);
  cairo_set_source(cr, plate);
  cairo_fill(cr);
  cairo_pattern_destroy(plate);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
  cairo_move_to(cr, 0, 435.5);
  cairo_line_to(cr, 500, 435.5);
  cairo_stroke(cr);
  rgb(cr, kAmber, 0.75);
  cairo_move_to(cr, 0, 436.5);
  cairo_line_to(cr, 500, 436.5);
  cairo_stroke(cr);

  // "Vorn Delay 2": the name in silver, the number in amber.
  cairo_pattern_t* silver = cairo_pattern_create_linear(0, 446, 0, 468);
  cairo_pattern_add_color_stop_rgb(silver, 0, 0.95, 0.95, 0.96);
  cairo_pattern_add_color_stop_rgb(silver, 1, 0.62, 0.63, 0.66);
  cairo_set_source(cr, silver);
  text(cr, "Vorn Delay", 24, 466, 24, true, Align::kLeft, 0.4);
  cairo_pattern_destroy(silver);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 24);
  cairo_text_extents_t e;
  cairo_text_extents(cr, "Vorn Delay", &e);
  const double after = 24 + e.x_advance + 9 * 0.4 + 7;
  rgb(cr, kAmber);
  text(cr, "2", after, 466, 24, true, Align::kLeft);
  cairo_set_source_rgba(cr, 0.75, 0.74, 0.72, 0.7);
  text(cr, "STEREO DELAY", after + 24, 465, 9, false, Align::kLeft, 2.2);

  rgb(cr, kCaption, 0.9);
  text(cr, "Fenmoor", 476, 465, 15, true, Align::kRight, 1.2);
  screw(cr, 10, 458);
  screw(cr, 490, 458);
}

struct Slider {
  int y;
  const char* caption;
  const char* range;
};

void background(cairo_t* cr) {
  panel(cr);

  // The faceplate under all controls.
  recess(cr, 14, 22, 406, 410, 8, 0.45);

  static const Slider kSliders[] = {{50, "DELAY  /  TEMPO", "0 - 4000 ms"},
                                    {150, "FEEDBACK", "0 - 100 %"},
                                    {200, "COLOR", "400 Hz - 4 kHz"},
                                    {250, "RESONANCE", "0 - 1"},
                                    {300, "COLOR MIX", "0 - 1"},
                                    {350, "DRY", "-40 - +10 dB"},
                                    {400, "WET", "-40 - +10 dB"}};
  for (const Slider& s : kSliders) {
    groove(cr, 30, s.y, 250);
    readoutWindow(cr, s.y);
    engraved(cr, s.caption, 32, s.y - 8, 10, true, Align::kLeft, 1.6, kCaption);
    cairo_set_source_rgba(cr, 0.8, 0.8, 0.8, 0.40);
    text(cr, s.range, 278, s.y - 8, 8, false, Align::kRight, 0.3);
  }

  // Section rule between the time controls and the tone controls.
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_move_to(cr, 24, 130.5);
  cairo_line_to(cr, 410, 130.5);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
  cairo_move_to(cr, 24, 131.5);
  cairo_line_to(cr, 410, 131.5);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_move_to(cr, 24, 330.5);
  cairo_line_to(cr, 410, 330.5);
  cairo_stroke(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
  cairo_move_to(cr, 24, 331.5);
  cairo_line_to(cr, 410, 331.5);
  cairo_stroke(cr);

  // The two toggle holes at (32, 95) and (190, 95), 32 × 32.
  const struct {
    int x;
    const char* caption;
    const char* note;
  } kToggles[] = {{32, "TEMPO DELAY", "sync to host"}, {190, "PING PONG", "cross feedback"}};
  for (const auto& t : kToggles) {
    buttonRim(cr, t.x + 16, 95 + 16);
    unlitLens(cr, t.x + 16, 95 + 16);
    engraved(cr, t.caption, t.x + 40, 110, 10, true, Align::kLeft, 1.6, kCaption);
    cairo_set_source_rgba(cr, 0.8, 0.8, 0.8, 0.45);
    text(cr, t.note, t.x + 40, 123, 8.5, false, Align::kLeft, 0.4);
  }

  meter(cr);
  title(cr);
}

// ---- knob and lit button ---------------------------------------------------

void knob(cairo_t* cr) {
  const double c = 16;
  // Drop shadow inside the picture.
  cairo_pattern_t* shadow = cairo_pattern_create_radial(c, c + 1.5, 10, c, c + 1.5, 16);
  cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, 0.55);
  cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
  cairo_arc(cr, c, c + 1.5, 16, 0, 2 * kPi);
  cairo_set_source(cr, shadow);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);

  // Outer ring.
  cairo_arc(cr, c, c, 13.5, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
  cairo_fill(cr);
  // Body: brushed aluminium lit from the top left.
  cairo_pattern_t* body = cairo_pattern_create_linear(c - 10, c - 12, c + 8, c + 12);
  cairo_pattern_add_color_stop_rgb(body, 0, 0.93, 0.93, 0.94);
  cairo_pattern_add_color_stop_rgb(body, 0.5, 0.68, 0.69, 0.71);
  cairo_pattern_add_color_stop_rgb(body, 1, 0.38, 0.39, 0.41);
  cairo_arc(cr, c, c, 12.5, 0, 2 * kPi);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  // Concentric top face.
  cairo_pattern_t* face = cairo_pattern_create_radial(c - 3, c - 4, 1, c, c, 10);
  cairo_pattern_add_color_stop_rgb(face, 0, 0.88, 0.88, 0.89);
  cairo_pattern_add_color_stop_rgb(face, 1, 0.58, 0.59, 0.61);
  cairo_arc(cr, c, c, 9.5, 0, 2 * kPi);
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  cairo_set_line_width(cr, 1);
  cairo_arc(cr, c, c, 9.5, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_stroke(cr);

  // The position mark: an amber line through the centre.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2.4);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_move_to(cr, c + 0.5, 5.5);
  cairo_line_to(cr, c + 0.5, 27.5);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 2);
  rgb(cr, kAmber);
  cairo_move_to(cr, c, 5);
  cairo_line_to(cr, c, 27);
  cairo_stroke(cr);
}

void litButton(cairo_t* cr) {
  const double c = 16;
  buttonRim(cr, c, c);
  // Glowing lens.
  cairo_pattern_t* lens = cairo_pattern_create_radial(c - 2, c - 3, 0.5, c, c, 11);
  cairo_pattern_add_color_stop_rgb(lens, 0, 1.0, 0.97, 0.82);
  cairo_pattern_add_color_stop_rgb(lens, 0.35, 1.0, 0.78, 0.36);
  cairo_pattern_add_color_stop_rgb(lens, 0.8, 0.90, 0.50, 0.10);
  cairo_pattern_add_color_stop_rgb(lens, 1, 0.62, 0.30, 0.04);
  cairo_arc(cr, c, c, 10.5, 0, 2 * kPi);
  cairo_set_source(cr, lens);
  cairo_fill(cr);
  cairo_pattern_destroy(lens);
  // Light spilling onto the rim.
  cairo_pattern_t* glow = cairo_pattern_create_radial(c, c, 10, c, c, 16);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.70, 0.25, 0.55);
  cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.60, 0.15, 0);
  cairo_arc(cr, c, c, 16, 0, 2 * kPi);
  cairo_arc_negative(cr, c, c, 10.5, 2 * kPi, 0);
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  cairo_save(cr);
  cairo_translate(cr, c - 2.5, c - 5);
  cairo_scale(cr, 5.5, 3);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_fill(cr);
}

bool write(cairo_surface_t* s, const std::string& path) {
  if (cairo_surface_write_to_png(s, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "draw_artwork: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

// The picture of w × h units at scale pixels per unit.
cairo_surface_t* draw(cairo_format_t format, int w, int h, void (*painter)(cairo_t*), int scale = 1) {
  cairo_surface_t* s = cairo_image_surface_create(format, w * scale, h * scale);
  cairo_t* cr = cairo_create(s);
  if (scale != 1) cairo_scale(cr, scale, scale);
  painter(cr);
  cairo_destroy(cr);
  return s;
}

// The panel as the interface shows it at its defaults, for review only.
void preview(cairo_surface_t* bg, cairo_surface_t* knobPic, cairo_surface_t* lit, const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 500, 480);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_surface(cr, bg, 0, 0);
  cairo_paint(cr);
  const struct {
    int y;
    double fraction;
    const char* readout;
  } kDefaults[] = {{50, 500 / 4000.0, "500 ms"},
                   {150, 0.10, "10 %"},
                   {200, 1600 / 3600.0, "2000 Hz"},
                   {250, 0.05, "0.05"},
                   {300, 1.0, "1.00"},
                   {350, 0.8, "0 dB"},
                   {400, 0.8, "0 dB"}};
  for (const auto& d : kDefaults) {
    const double x = 30 + 1 + 216 * d.fraction;
    const double y = std::ceil(d.y - 16 + 10);
    cairo_set_source_surface(cr, knobPic, std::floor(x), y);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
    // Arial 13.6 px, line box from floor(y + 10 − 8) as the interface places it.
    text(cr, d.readout, 280, std::floor(d.y + 10 - 8) + 14.8 - 3, 13.6, false, Align::kLeft, 0);
  }
  cairo_set_source_surface(cr, lit, 190, 95);
  cairo_paint(cr);
  cairo_rectangle(cr, 434, meterY(-12), 7, 370 - meterY(-12));
  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.2);
  text(cr, "build 170206", 430, 21, 10.2, false, Align::kLeft);
  cairo_destroy(cr);
  write(s, path);
  cairo_surface_destroy(s);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: draw_artwork <folder> [--preview]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool withPreview = argc > 2 && std::strcmp(argv[2], "--preview") == 0;

  cairo_surface_t* knobPic = draw(CAIRO_FORMAT_ARGB32, 32, 32, knob);
  cairo_surface_t* bg = draw(CAIRO_FORMAT_RGB24, 500, 480, background);
  cairo_surface_t* lit = draw(CAIRO_FORMAT_ARGB32, 32, 32, litButton);
  bool ok = write(knobPic, folder + "/knob_sm.png") && write(bg, folder + "/bg.png") &&
            write(lit, folder + "/knob_but.png");
  if (ok && withPreview) preview(bg, knobPic, lit, folder + "/preview.png");
  cairo_surface_destroy(knobPic);
  cairo_surface_destroy(bg);
  cairo_surface_destroy(lit);
  if (!ok) return 1;

  cairo_surface_t* knob2 = draw(CAIRO_FORMAT_ARGB32, 32, 32, knob, 2);
  cairo_surface_t* bg2 = draw(CAIRO_FORMAT_RGB24, 500, 480, background, 2);
  cairo_surface_t* lit2 = draw(CAIRO_FORMAT_ARGB32, 32, 32, litButton, 2);
  ok = write(knob2, folder + "/knob_sm@2x.png") && write(bg2, folder + "/bg@2x.png") &&
       write(lit2, folder + "/knob_but@2x.png");
  cairo_surface_destroy(knob2);
  cairo_surface_destroy(bg2);
  cairo_surface_destroy(lit2);
  return ok ? 0 : 1;
}
