#include "gui/cview.h"

#include "gui/cbitmap.h"
#include "gui/cdraw_context.h"
#include "gui/cframe.h"

namespace VSTGUI {

CView::CView(const CRect& size) : size_(size), mouseableArea_(size) {}

CView::~CView() {
  if (background_) background_->forget();
}

void CView::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_);
  setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) {
  draw(context);
}

void CView::invalidRect(const CRect& rect) {
  if (!attached_ || !visible_) return;
  if (parentView_)
    parentView_->invalidRect(rect);
  else if (parentFrame_)
    parentFrame_->invalidRect(rect);
}

void CView::invalid() {
  setDirty(false);
  invalidRect(size_);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) {
  return kMouseEventNotHandled;
}
void CView::mouse(CDrawContext*, CPoint&, CButtonState) {}

bool CView::hitTest(const CPoint& where, const CButtonState&) {
  return size_.pointInside(where);
}

bool CView::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) {
  return false;
}

int32_t CView::onKeyDown(CKeyCode&) {
  return -1;
}
int32_t CView::onKeyUp(CKeyCode&) {
  return -1;
}

CPoint& CView::frameToLocal(CPoint& point) const {
  // Each enclosing container's origin moves the point into its coordinates.
  for (const CView* p = parentView_; p; p = p->parentView_) point.offset(-p->size_.left, -p->size_.top);
  return point;
}

bool CView::removed(CView* /*parent*/) {
  if (!attached_) return false;
  attached_ = false;
  parentView_ = nullptr;
  parentFrame_ = nullptr;
  return true;
}

bool CView::attached(CView* parent) {
  if (attached_) return false;
  attached_ = true;
  parentView_ = parent;
  parentFrame_ = parent ? parent->getFrame() : nullptr;
  return true;
}

void CView::setViewSize(const CRect& size, bool invalidate) {
  if (invalidate) invalidRect(size_);
  size_ = size;
  if (invalidate) invalidRect(size_);
}

void CView::setBackground(CBitmap* background) {
  if (background) background->remember();
  if (background_) background_->forget();
  background_ = background;
}

}  // namespace VSTGUI
