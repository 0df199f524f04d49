#pragma once
#include "gui/cbase_object.h"
#include "gui/cgeometry.h"
#include "gui/cmouse.h"

namespace VSTGUI {

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

// Base of every view: a rectangle in its parent's coordinates, drawn and
// hit-tested there. [gui] Reference counted; a container holds one
// reference to each child.
class CView : public CBaseObject {
 public:
  explicit CView(const CRect& size);
  ~CView() override;

  // Draws the background bitmap, if any, and clears the dirty flag.
  virtual void draw(CDrawContext* context);
  virtual void drawRect(CDrawContext* context, const CRect& updateRect);
  virtual bool isDirty() const { return dirty_; }
  virtual void setDirty(bool dirty = true) { dirty_ = dirty; }
  // Passes the rectangle up to the parent view, else the frame; only while
  // attached and visible.
  virtual void invalidRect(const CRect& rect);
  // Clears dirty, then invalidates the whole view.
  virtual void invalid();

  virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
  // The older single-call mouse interface, offered when a press is not handled.
  virtual void mouse(CDrawContext* context, CPoint& where, CButtonState buttons);
  // All four edges inclusive.
  virtual bool hitTest(const CPoint& where, const CButtonState& buttons = 0);
  virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                       const CButtonState& buttons);
  // -1: not handled.
  virtual int32_t onKeyDown(CKeyCode& key);
  virtual int32_t onKeyUp(CKeyCode& key);
  // Converts a frame point into this view's (parent's) coordinates.
  virtual CPoint& frameToLocal(CPoint& point) const;
  virtual bool removed(CView* parent);
  virtual bool attached(CView* parent);
  virtual bool isContainer() const { return false; }

  const CRect& getViewSize() const { return size_; }
  virtual void setViewSize(const CRect& size, bool invalidate = true);
  const CRect& getMouseableArea() const { return mouseableArea_; }
  void setMouseableArea(const CRect& area) { mouseableArea_ = area; }
  CFrame* getFrame() const { return parentFrame_; }
  CView* getParentView() const { return parentView_; }
  bool isAttached() const { return attached_; }
  bool isVisible() const { return visible_; }
  void setVisible(bool visible) { visible_ = visible; }
  bool getMouseEnabled() const { return mouseEnabled_; }
  void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool getTransparency() const { return transparency_; }
  void setTransparency(bool transparent) { transparency_ = transparent; }
  bool wantsFocus() const { return wantsFocus_; }
  void setWantsFocus(bool wants) { wantsFocus_ = wants; }
  int32_t getAutosizeFlags() const { return autosizeFlags_; }
  void setAutosizeFlags(int32_t flags) { autosizeFlags_ = flags; }
  CBitmap* getBackground() const { return background_; }
  // Takes one reference to the bitmap (null removes it).
  void setBackground(CBitmap* background);

 protected:
  CRect size_;
  CRect mouseableArea_;
  CFrame* parentFrame_ = nullptr;
  CView* parentView_ = nullptr;
  bool dirty_ = false;
  bool mouseEnabled_ = true;
  bool transparency_ = false;
  bool wantsFocus_ = false;
  bool attached_ = false;
  bool visible_ = true;
  int32_t autosizeFlags_ = 0;
  CBitmap* background_ = nullptr;
};

}  // namespace VSTGUI
