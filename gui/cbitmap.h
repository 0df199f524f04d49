#pragma once
#include <memory>
#include <string>

#include "gui/cbase_object.h"
#include "gui/cgeometry.h"
#include "gui/platform/backend.h"

namespace VSTGUI {

class CDrawContext;
class CFrame;

// Names a picture to load: a number (only its low 16 bits count), a text
// name, or nothing (pictures not made from a resource).
struct CResourceDescription {
  enum Type : int32_t { kIntegerType = 0, kStringType = 1, kUnknownType = 2 };

  CResourceDescription() = default;
  explicit CResourceDescription(int32_t number) : type(kIntegerType), id(number) {}
  explicit CResourceDescription(const char* resourceName)
      : type(resourceName ? kStringType : kUnknownType), name(resourceName ? resourceName : "") {}

  Type type = kUnknownType;
  int32_t id = 0;
  std::string name;
};

// A picture that draws itself into a draw context, unscaled, cropped by the
// destination rectangle and positioned in the picture by a source point.
// Into a context at a scale other than 1 a numbered module picture draws
// its double-density twin where the module has one (scaled down to the
// context's scale where needed), else itself scaled; positions and sizes
// stay in units (the 1× picture's pixels).
// Every bitmap keeps the drawing library started while it lives.
// [gui] Made and drawn on the editor window's thread.
class CBitmap : public CBaseObject {
 public:
  // From the module's pictures; width and height stay 0 when none is found.
  explicit CBitmap(const CResourceDescription& description);
  // An empty transparent picture of trunc(width) × trunc(height) (the offscreen context's).
  CBitmap(CFrame* frame, double width, double height);
  // Takes a decoded picture (must not be null).
  explicit CBitmap(std::unique_ptr<platform::Image> decoded);
  ~CBitmap() override;

  // A new bitmap from a picture file (one reference for the caller), or null
  // when the file cannot be opened or decoded.
  static CBitmap* loadFromFile(const char* path);

  virtual void draw(CDrawContext* context, const CRect& dest, const CPoint& source = CPoint());
  // The transparent colour is not applied; PNG alpha is.
  virtual void drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& source = CPoint());
  // Every pixel's alpha is multiplied by opacity / 255.
  virtual void drawAlphaBlend(CDrawContext* context, const CRect& dest, const CPoint& source,
                              uint8_t opacity);
  virtual void dispose();
  // Always true; failure shows as width and height 0.
  virtual bool loadFromResource(const CResourceDescription& description);

  double getWidth() const { return width_; }
  double getHeight() const { return height_; }
  CColor getTransparentColor() const { return transparentColor_; }
  void setTransparentColor(CColor color) { transparentColor_ = color; }
  bool getNoAlpha() const { return noAlpha_; }
  void setNoAlpha(bool noAlpha) { noAlpha_ = noAlpha; }
  const CResourceDescription& getResourceDescription() const { return description_; }
  platform::Image* getPlatformImage() const { return image_.get(); }

 private:
  void takeImage(std::unique_ptr<platform::Image> image);
  // The double-density twin, looked up on first use; null without one.
  platform::Image* denseImage();
  // The source filtered once to `scale` pixels per unit, kept for the next
  // draws at that scale (filtering a picture on every frame costs far more
  // than copying it); null when it cannot be made.
  platform::Image* fittedImage(const platform::Image& source, double density, double scale);

  CResourceDescription description_;
  double width_ = 0;
  double height_ = 0;
  CColor transparentColor_ = kTransparentCColor;
  bool noAlpha_ = true;
  std::unique_ptr<platform::Image> image_;
  std::unique_ptr<platform::Image> dense_;
  bool denseLooked_ = false;
  int denseNumber_ = -1;  // the twin's picture number, -1 for none
  std::unique_ptr<platform::Image> fitted_;
  double fittedScale_ = 0;
};

}  // namespace VSTGUI
