#include "gui/platform/cairo/cairo_surface.h"

#include <cmath>
#include <numbers>

#include "gui/platform/cairo/cairo_font.h"
#include "gui/platform/cairo/cairo_image.h"

namespace VSTGUI::platform::cairo {

namespace {
constexpr double kDegrees = std::numbers::pi / 180.0;

// The parametric angle of the point at geometric angle theta on an ellipse
// with half-axes a (x) and b (y): arcs are given by the angle seen from the
// centre, not by the ellipse's parameter.
double parametric(double theta, double a, double b) {
  return std::atan2(a * std::sin(theta), b * std::cos(theta));
}
}  // namespace

CairoSurface::CairoSurface(cairo_surface_t* target) : cr_(cairo_create(target)) {
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
}

CairoSurface::~CairoSurface() {
  flush();
  cairo_destroy(cr_);
}

void CairoSurface::flush() {
  cairo_surface_flush(cairo_get_target(cr_));
}

void CairoSurface::setScale(double scale) {
  if (!(scale > 0) || !std::isfinite(scale)) return;
  scale_ = scale;
  cairo_identity_matrix(cr_);
  if (scale != 1) cairo_scale(cr_, scale, scale);
}

void CairoSurface::setClip(const PixelRect& clip) {
  cairo_reset_clip(cr_);
  if (clip.width > 0 && clip.height > 0)
    cairo_rectangle(cr_, clip.x, clip.y, clip.width, clip.height);
  else
    cairo_rectangle(cr_, 0, 0, 0, 0);
  if (scale_ != 1) {
    // Between device pixels a clip keeps whole pixels (no soft seam where
    // two partial paints meet), whatever the drawing mode.
    const cairo_antialias_t mode = cairo_get_antialias(cr_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    cairo_clip(cr_);
    cairo_set_antialias(cr_, mode);
    return;
  }
  cairo_clip(cr_);
}

void CairoSurface::setAntialias(bool on) {
  antialias_ = on;
  cairo_set_antialias(cr_, on ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
}

void CairoSurface::source(CColor c) {
  cairo_set_source_rgba(cr_, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CairoSurface::stroke() {
  source(pen_);
  cairo_set_line_width(cr_, penWidth_ > 0 ? penWidth_ : 1.0);
  if (dotted_) {
    const double dash[] = {penWidth_ > 0 ? penWidth_ : 1.0, penWidth_ > 0 ? penWidth_ : 1.0};
    cairo_set_dash(cr_, dash, 2, 0);
  } else {
    cairo_set_dash(cr_, nullptr, 0, 0);
  }
  cairo_stroke(cr_);
}

void CairoSurface::fillRect(float x, float y, float width, float height) {
  if (!(width > 0) || !(height > 0)) return;
  cairo_rectangle(cr_, x, y, width, height);
  source(fill_);
  cairo_fill(cr_);
}

void CairoSurface::strokeRect(float x, float y, float width, float height) {
  if (width < 0 || height < 0) return;
  cairo_rectangle(cr_, x + 0.5, y + 0.5, width, height);
  stroke();
}

bool CairoSurface::ellipsePath(float x, float y, float width, float height, double startDegrees,
                               double sweepDegrees, double inset) {
  if (!(width > 0) || !(height > 0) || !(sweepDegrees > 0)) return false;
  const double a = width / 2.0;
  const double b = height / 2.0;
  double t0 = 0;
  double t1 = 2 * std::numbers::pi;
  if (sweepDegrees < 360) {
    t0 = parametric(startDegrees * kDegrees, a, b);
    t1 = parametric((startDegrees + sweepDegrees) * kDegrees, a, b);
    while (t1 <= t0) t1 += 2 * std::numbers::pi;
  }
  cairo_new_path(cr_);
  cairo_save(cr_);
  cairo_translate(cr_, x + a + inset, y + b + inset);
  cairo_scale(cr_, a, b);
  cairo_arc(cr_, 0, 0, 1, t0, t1);
  cairo_restore(cr_);
  return true;
}

void CairoSurface::fillEllipse(float x, float y, float width, float height) {
  if (!ellipsePath(x, y, width, height, 0, 360, 0.5)) return;
  source(fill_);
  cairo_fill(cr_);
}

void CairoSurface::strokeEllipse(float x, float y, float width, float height) {
  if (!ellipsePath(x, y, width, height, 0, 360, 0.5)) return;
  cairo_close_path(cr_);
  stroke();
}

void CairoSurface::fillArc(float x, float y, float width, float height, float startDegrees,
                           float sweepDegrees) {
  if (!ellipsePath(x, y, width, height, startDegrees, sweepDegrees, 0.5)) return;
  source(fill_);
  cairo_fill(cr_);
}

void CairoSurface::strokeArc(float x, float y, float width, float height, float startDegrees,
                             float sweepDegrees) {
  if (!ellipsePath(x, y, width, height, startDegrees, sweepDegrees, 0.5)) return;
  stroke();
}

void CairoSurface::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  cairo_new_path(cr_);
  cairo_move_to(cr_, x1 + 0.5, y1 + 0.5);
  cairo_line_to(cr_, x2 + 0.5, y2 + 0.5);
  stroke();
}

void CairoSurface::drawText(const Font& font, const char* utf8, float x, float top, bool antialias) {
  const auto& f = static_cast<const CairoFont&>(font);
  cairo_scaled_font_t* scaled = f.scaled(antialias);
  if (!utf8 || !*utf8) return;
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(scaled, &extents);
  cairo_set_scaled_font(cr_, scaled);
  source(text_);
  const double baseline = top + extents.ascent;
  cairo_new_path(cr_);
  cairo_move_to(cr_, x, baseline);
  cairo_show_text(cr_, utf8);
  if (f.underline()) {
    cairo_text_extents_t text;
    cairo_scaled_font_text_extents(scaled, utf8, &text);
    const double thickness = std::max(1.0, std::round(f.size() / 14.0));
    cairo_rectangle(cr_, x, std::round(baseline + f.size() * 0.1), text.x_advance, thickness);
    cairo_fill(cr_);
  }
}

double CairoSurface::measureText(const Font& font, const char* utf8) {
  if (!utf8 || !*utf8) return 0;
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(static_cast<const CairoFont&>(font).scaled(true), utf8, &extents);
  return extents.x_advance;
}

double CairoSurface::fontHeight(const Font& font) {
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(static_cast<const CairoFont&>(font).scaled(true), &extents);
  return extents.height;
}

void CairoSurface::drawImage(const Image& image, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx,
                             int32_t dy, uint8_t opacity) {
  if (w <= 0 || h <= 0 || opacity == 0) return;
  cairo_surface_t* picture = static_cast<const CairoImage&>(image).surface();
  cairo_save(cr_);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, dx, dy, w, h);
  cairo_clip(cr_);
  cairo_set_source_surface(cr_, picture, static_cast<double>(dx) - sx, static_cast<double>(dy) - sy);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  if (opacity == 255)
    cairo_paint(cr_);
  else
    cairo_paint_with_alpha(cr_, opacity / 255.0);
  cairo_restore(cr_);
}

void CairoSurface::drawImageScaled(const Image& image, double density, double sx, double sy, double w,
                                   double h, double dx, double dy, uint8_t opacity) {
  if (!(w > 0) || !(h > 0) || opacity == 0 || !(density > 0)) return;
  cairo_surface_t* picture = static_cast<const CairoImage&>(image).surface();
  cairo_save(cr_);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, dx, dy, w, h);
  const cairo_antialias_t mode = cairo_get_antialias(cr_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_clip(cr_);
  cairo_set_antialias(cr_, mode);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(picture);
  // Picture pixel = (unit - destination + source) × density.
  cairo_matrix_t matrix;
  cairo_matrix_init_scale(&matrix, density, density);
  cairo_matrix_translate(&matrix, sx - dx, sy - dy);
  cairo_pattern_set_matrix(pattern, &matrix);
  cairo_pattern_set_filter(pattern, density == scale_ ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_set_source(cr_, pattern);
  if (opacity == 255)
    cairo_paint(cr_);
  else
    cairo_paint_with_alpha(cr_, opacity / 255.0);
  cairo_pattern_destroy(pattern);
  cairo_restore(cr_);
}

}  // namespace VSTGUI::platform::cairo
