#include "gui/platform/cairo/cairo_font.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

namespace VSTGUI::platform::cairo {

namespace {

cairo_scaled_font_t* makeScaled(cairo_font_face_t* face, double size, bool antialias) {
  cairo_matrix_t fontMatrix;
  cairo_matrix_t identity;
  cairo_matrix_init_scale(&fontMatrix, size, size);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_DEFAULT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  if (antialias) cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &fontMatrix, &identity, options);
  cairo_font_options_destroy(options);
  if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
    cairo_scaled_font_destroy(scaled);
    return nullptr;
  }
  return scaled;
}

}  // namespace

std::unique_ptr<CairoFont> CairoFont::create(const char* face, double sizePixels, FontStyle style) {
  if (!face || !(sizePixels > 0)) return nullptr;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, sizePixels);
  if (style == FontStyle::kBold) FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
  if (style == FontStyle::kItalic) FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* matched = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!matched) return nullptr;

  std::unique_ptr<CairoFont> font(new CairoFont());
  FcChar8* family = nullptr;
  if (FcPatternGetString(matched, FC_FAMILY, 0, &family) == FcResultMatch && family)
    font->family_ = reinterpret_cast<const char*>(family);
  cairo_font_face_t* fontFace = cairo_ft_font_face_create_for_pattern(matched);
  FcPatternDestroy(matched);
  if (cairo_font_face_status(fontFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(fontFace);
    return nullptr;
  }
  font->smooth_ = makeScaled(fontFace, sizePixels, true);
  font->plain_ = makeScaled(fontFace, sizePixels, false);
  cairo_font_face_destroy(fontFace);
  if (!font->smooth_ || !font->plain_) return nullptr;
  font->underline_ = style == FontStyle::kUnderline;
  font->size_ = sizePixels;
  return font;
}

CairoFont::~CairoFont() {
  if (smooth_) cairo_scaled_font_destroy(smooth_);
  if (plain_) cairo_scaled_font_destroy(plain_);
}

}  // namespace VSTGUI::platform::cairo
