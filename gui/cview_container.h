#pragma once
#include <vector>

#include "gui/cview.h"

namespace VSTGUI {

// A view holding child views in drawing order: later children are drawn
// later and hit first. Each child is held with one reference.
class CViewContainer : public CView {
 public:
  CViewContainer(const CRect& size, CFrame* parent, CBitmap* background = nullptr);
  ~CViewContainer() override;

  // False for a null view or one already attached.
  virtual bool addView(CView* view);
  // Detaches every child; with release, also drops the reference that was
  // handed over with the view (so a view added straight after construction
  // is deleted).
  virtual void removeAll(bool release = true);
  // Detaches one child (dropping the container's reference, and with release
  // one more); false when it is not a child.
  virtual bool removeView(CView* view, bool release = true);
  bool isChild(const CView* view) const;
  int32_t getNbViews() const { return static_cast<int32_t>(children_.size()); }
  CView* getView(int32_t index) const;
  // The topmost visible child under the point (container coordinates of the
  // parent); with deep, the deepest view inside nested containers.
  CView* getViewAt(const CPoint& where, bool deep = false) const;

  void setBackgroundColor(CColor color) { backgroundColor_ = color; }
  CColor getBackgroundColor() const { return backgroundColor_; }
  CView* getMouseDownView() const { return mouseDownView_; }
  void setMouseDownView(CView* view) { mouseDownView_ = view; }

  void draw(CDrawContext* context) override;
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  void invalidRect(const CRect& rect) override;
  void invalid() override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;
  bool attached(CView* parent) override;
  bool removed(CView* parent) override;
  bool isContainer() const override { return true; }

  // Invalidates what is dirty: the whole container when it is dirty itself,
  // else every visible dirty child, containers recursively.
  void invalidateDirtyViews();

 protected:
  std::vector<CView*> children_;
  CColor backgroundColor_ = kBlackCColor;
  CView* mouseDownView_ = nullptr;
};

}  // namespace VSTGUI
