#include "gui/cview_container.h"

#include <algorithm>

#include "gui/cbitmap.h"
#include "gui/cdraw_context.h"
#include "gui/cframe.h"

namespace VSTGUI {

CViewContainer::CViewContainer(const CRect& size, CFrame* parent, CBitmap* background) : CView(size) {
  parentFrame_ = parent;
  setBackground(background);
}

CViewContainer::~CViewContainer() {
  removeAll(true);
}

bool CViewContainer::addView(CView* view) {
  if (!view || view->isAttached()) return false;
  children_.push_back(view);
  view->remember();
  if (attached_) {
    view->attached(this);
    view->invalid();
  }
  return true;
}

void CViewContainer::removeAll(bool release) {
  std::vector<CView*> children;
  children.swap(children_);
  mouseDownView_ = nullptr;
  for (CView* view : children) {
    if (parentFrame_) parentFrame_->onViewRemoved(view);
    if (attached_) view->removed(this);
    if (release) view->forget();
    view->forget();
  }
}

bool CViewContainer::removeView(CView* view, bool release) {
  auto it = std::find(children_.begin(), children_.end(), view);
  if (it == children_.end()) return false;
  children_.erase(it);
  if (mouseDownView_ == view) mouseDownView_ = nullptr;
  if (parentFrame_) parentFrame_->onViewRemoved(view);
  if (attached_) view->removed(this);
  if (release) view->forget();
  view->forget();
  return true;
}

bool CViewContainer::isChild(const CView* view) const {
  return std::find(children_.begin(), children_.end(), view) != children_.end();
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0 || index >= getNbViews()) return nullptr;
  return children_[static_cast<size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
  CPoint local = where;
  local.offset(-size_.left, -size_.top);
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    CView* view = *it;
    if (!view->isVisible() || !view->hitTest(local)) continue;
    if (deep && view->isContainer()) {
      if (CView* inner = static_cast<CViewContainer*>(view)->getViewAt(local, true)) return inner;
    }
    return view;
  }
  return nullptr;
}

void CViewContainer::draw(CDrawContext* context) {
  drawRect(context, size_);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
  // The clip in force, in this container's own coordinates.
  CRect oldClip;
  context->getClipRect(oldClip);
  const CPoint oldOffset = context->getOffset();
  context->setOffset(CPoint(oldOffset.x + size_.left, oldOffset.y + size_.top));

  CRect update = updateRect;
  update.bound(size_).offset(-size_.left, -size_.top);
  CRect clipInForce = oldClip;
  clipInForce.offset(-size_.left, -size_.top);
  CRect newClip = update;
  newClip.bound(clipInForce);
  context->setClipRect(newClip);

  const CRect whole(0, 0, size_.getWidth(), size_.getHeight());
  if (background_) {
    background_->draw(context, whole);
  } else if (!transparency_) {
    context->setFillColor(backgroundColor_);
    context->setFrameColor(backgroundColor_);
    context->drawRect(whole, kDrawFilledAndStroked);
  }

  for (CView* view : children_) {
    if (!view->isVisible() || !update.rectOverlap(view->getViewSize())) continue;
    CRect viewClip = view->getViewSize();
    viewClip.bound(newClip);
    if (viewClip.isEmpty()) continue;
    context->setClipRect(viewClip);
    view->drawRect(context, update);
  }

  context->setClipRect(clipInForce);
  context->setOffset(oldOffset);
  setDirty(false);
}

void CViewContainer::invalidRect(const CRect& rect) {
  if (!attached_ || !visible_) return;
  CRect r = rect;
  r.offset(size_.left, size_.top).bound(size_);
  if (r.isEmpty()) return;
  if (parentView_)
    parentView_->invalidRect(r);
  else if (parentFrame_ && parentFrame_ != static_cast<CView*>(this))
    parentFrame_->invalidRect(r);
}

void CViewContainer::invalid() {
  setDirty(false);
  if (!attached_ || !visible_) return;
  // The container's own rectangle is already in its parent's coordinates.
  if (parentView_)
    parentView_->invalidRect(size_);
  else if (parentFrame_ && parentFrame_ != static_cast<CView*>(this))
    parentFrame_->invalidRect(size_);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  CPoint local = where;
  local.offset(-size_.left, -size_.top);
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    CView* view = *it;
    if (!view->isVisible() || !view->getMouseEnabled() || !view->hitTest(local, buttons)) continue;
    CPoint childPoint = local;
    const CMouseEventResult result = view->onMouseDown(childPoint, buttons);
    if (result == kMouseEventHandled) {
      mouseDownView_ = view;
      return result;
    }
    if (result != kMouseEventNotHandled) return result;
    // Not handled: the older interface gets a chance with a fresh context.
    if (parentFrame_) {
      CDrawContext* context = parentFrame_->createDrawContext();
      CPoint legacyPoint = local;
      view->mouse(context, legacyPoint, buttons);
      context->forget();
    }
    return kMouseEventNotHandled;
  }
  return kMouseEventNotImplemented;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView_) return kMouseEventNotImplemented;
  CPoint local = where;
  local.offset(-size_.left, -size_.top);
  CView* view = mouseDownView_;
  mouseDownView_ = nullptr;
  view->onMouseUp(local, buttons);
  return kMouseEventHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView_) return kMouseEventNotImplemented;
  CPoint local = where;
  local.offset(-size_.left, -size_.top);
  const CMouseEventResult result = mouseDownView_->onMouseMoved(local, buttons);
  if (result != kMouseEventHandled) mouseDownView_ = nullptr;
  return result;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                             const CButtonState& buttons) {
  CPoint local = where;
  local.offset(-size_.left, -size_.top);
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    CView* view = *it;
    if (view->isVisible() && view->getMouseEnabled() && view->hitTest(local, buttons))
      return view->onWheel(local, axis, distance, buttons);
  }
  return false;
}

bool CViewContainer::attached(CView* parent) {
  if (!CView::attached(parent)) return false;
  for (CView* view : children_) view->attached(this);
  return true;
}

bool CViewContainer::removed(CView* parent) {
  for (CView* view : children_) view->removed(this);
  return CView::removed(parent);
}

void CViewContainer::invalidateDirtyViews() {
  if (!visible_) return;
  if (isDirty()) {
    invalid();
    return;
  }
  for (CView* view : children_) {
    if (!view->isVisible()) continue;
    if (view->isContainer())
      static_cast<CViewContainer*>(view)->invalidateDirtyViews();
    else if (view->isDirty())
      view->invalid();
  }
}

}  // namespace VSTGUI
