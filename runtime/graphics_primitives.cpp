#include "runtime/graphics_primitives.h"

#include <cmath>

#include "gui/cdraw_context.h"
#include "gui/cfont_desc.h"
#include "runtime/bitmap_holder_impl.h"
#include "runtime/morvox_host.h"

using VSTGUI::CColor;
using VSTGUI::CDrawContext;
using VSTGUI::CPoint;
using VSTGUI::CRect;

namespace morvox {

namespace {

CDrawContext* Context(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->DrawContext() : nullptr;
}

CColor Colour(int red, int green, int blue, int alpha) {
  auto byte = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return CColor{byte(red), byte(green), byte(blue), byte(alpha)};
}

bool Drawable(BitmapHolder* holder) {
  return holder != nullptr && holder->bitmap != nullptr;
}

}  // namespace

int SetSmoothing(MorvoxHost* plugin, std::int32_t mode) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->setDrawMode(mode == 3 ? VSTGUI::kAntialias : VSTGUI::kCopyMode);
  return 1;
}

int SetTextColour(MorvoxHost* plugin, int red, int green, int blue, int alpha) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->setFontColor(Colour(red, green, blue, alpha));
  return 1;
}

int SetFillColour(MorvoxHost* plugin, int red, int green, int blue, int alpha) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->setFillColor(Colour(red, green, blue, alpha));
  return 1;
}

int SetLineColour(MorvoxHost* plugin, int red, int green, int blue, int alpha) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->setFrameColor(Colour(red, green, blue, alpha));
  return 1;
}

double TextWidth(MorvoxHost* plugin, const char* text) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr || text == nullptr) return 0.0;
  return context->getStringWidth(text);
}

int FontSize(MorvoxHost* plugin) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr || context->getFont() == nullptr) return 0;
  return static_cast<int>(context->getFont()->getSize());
}

int MoveTo(MorvoxHost* plugin, double x, double y) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->moveTo(CPoint(x, y));
  return 1;
}

int LineTo(MorvoxHost* plugin, double x, double y) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->lineTo(CPoint(x, y));
  return 1;
}

int DrawRectangle(MorvoxHost* plugin, double left, double top, double right, double bottom,
                  std::int32_t style) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->drawRect(CRect(left, top, right, bottom), style);
  return 1;
}

int DrawEllipse(MorvoxHost* plugin, double left, double top, double right, double bottom,
                std::int32_t style) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->drawEllipse(CRect(left, top, right, bottom), style);
  return 1;
}

int DrawArc(MorvoxHost* plugin, double left, double top, double right, double bottom, double startAngle,
            double endAngle, std::int32_t style) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->drawArc(CRect(left, top, right, bottom), static_cast<float>(startAngle),
                   static_cast<float>(endAngle), style);
  return 1;
}

int DrawTextInRect(MorvoxHost* plugin, const char* text, double left, double top, double right, double bottom,
                   bool, std::int32_t alignment) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr || text == nullptr) return 0;
  context->drawStringUTF8(text, CRect(left, top, right, bottom), alignment, true);
  return 1;
}

int DrawTextAt(MorvoxHost* plugin, const char* text, double x, double y, bool antialias) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr || text == nullptr) return 0;
  context->drawStringUTF8(text, CPoint(x, y), antialias);
  return 1;
}

int DrawPoint(MorvoxHost* plugin, double x, double y, int red, int green, int blue, int alpha) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr) return 0;
  context->drawPoint(CPoint(x, y), Colour(red, green, blue, alpha));
  return 1;
}

int ReadPixel(MorvoxHost* plugin, double, double, int& red, int& green, int& blue, int& alpha) {
  if (Context(plugin) == nullptr) return 0;
  red = green = blue = 0;
  alpha = 255;
  return 1;
}

int EditorSize(MorvoxHost* plugin, std::int32_t& width, std::int32_t& height) {
  return plugin != nullptr && plugin->EditorSize(width, height) ? 1 : 0;
}

BitmapHolder* NewHolder() {
  return new BitmapHolder();
}

namespace {

// A picture from the module's resources; the holder is left empty unless
// it has a size.
int LoadFromResource(BitmapHolder* holder, const VSTGUI::CResourceDescription& description) {
  auto* bitmap = new VSTGUI::CBitmap(description);
  if (!(bitmap->getWidth() > 0 && bitmap->getHeight() > 0)) {
    bitmap->forget();
    holder->Replace(nullptr);
    return 0;
  }
  holder->Replace(bitmap);
  return 1;
}

}  // namespace

int LoadFromResourceNumber(BitmapHolder* holder, std::int32_t number) {
  if (holder == nullptr) return 0;
  return LoadFromResource(holder, VSTGUI::CResourceDescription(number));
}

int LoadFromResourceName(BitmapHolder* holder, const char* name) {
  if (holder == nullptr || name == nullptr) return 0;
  return LoadFromResource(holder, VSTGUI::CResourceDescription(name));
}

int LoadFromFile(BitmapHolder* holder, const char* path) {
  if (holder == nullptr || path == nullptr) return 0;
  holder->Replace(VSTGUI::CBitmap::loadFromFile(path));
  return holder->bitmap != nullptr ? 1 : 0;
}

int HolderWidth(BitmapHolder* holder) {
  return Drawable(holder) ? static_cast<int>(holder->bitmap->getWidth()) : 0;
}

int HolderHeight(BitmapHolder* holder) {
  return Drawable(holder) ? static_cast<int>(holder->bitmap->getHeight()) : 0;
}

int GetTransparentColour(BitmapHolder* holder, int& red, int& green, int& blue, int& alpha) {
  if (!Drawable(holder)) return 0;
  const CColor c = holder->bitmap->getTransparentColor();
  red = c.red;
  green = c.green;
  blue = c.blue;
  alpha = c.alpha;
  return 1;
}

int SetTransparentColour(BitmapHolder* holder, int red, int green, int blue, int alpha) {
  if (!Drawable(holder)) return 0;
  holder->bitmap->setTransparentColor(Colour(red, green, blue, alpha));
  return 1;
}

int GetNoAlpha(BitmapHolder* holder) {
  return Drawable(holder) && holder->bitmap->getNoAlpha() ? 1 : 0;
}

int SetNoAlpha(BitmapHolder* holder, bool noAlpha) {
  if (!Drawable(holder)) return 0;
  holder->bitmap->setNoAlpha(noAlpha);
  return 1;
}

int DrawHolder(MorvoxHost* plugin, BitmapHolder* holder, double left, double top, double right, double bottom,
               double sourceX, double sourceY) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr || !Drawable(holder)) return 0;
  holder->bitmap->draw(context, CRect(left, top, right, bottom), CPoint(sourceX, sourceY));
  return 1;
}

int DrawHolderTransparent(MorvoxHost* plugin, BitmapHolder* holder, double left, double top, double right,
                          double bottom, double sourceX, double sourceY) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr || !Drawable(holder)) return 0;
  holder->bitmap->drawTransparent(context, CRect(left, top, right, bottom), CPoint(sourceX, sourceY));
  return 1;
}

int DrawHolderBlended(MorvoxHost* plugin, BitmapHolder* holder, double left, double top, double right,
                      double bottom, double sourceX, double sourceY, int alpha) {
  CDrawContext* context = Context(plugin);
  if (context == nullptr || !Drawable(holder)) return 0;
  holder->bitmap->drawAlphaBlend(context, CRect(left, top, right, bottom), CPoint(sourceX, sourceY),
                                 static_cast<std::uint8_t>(alpha < 0     ? 0
                                                           : alpha > 255 ? 255
                                                                         : alpha));
  return 1;
}

}  // namespace morvox
