#include "gui/cframe.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "gui/cdraw_context.h"
#include "gui/coffscreen_context.h"
#include "gui/gdiplus_globals.h"
#include "gui/ui_scale.h"

namespace VSTGUI {

namespace {

// Process-wide window class state, shared by every plug-in instance and
// touched only from frame construction and destruction on GUI threads.
int32_t gUseCount = 0;
char gClassName[100] = {};

const char* className() {
  if (!gClassName[0])
    std::snprintf(gClassName, sizeof gClassName, "Plugin%p", platform::activeBackend().moduleHandle());
  return gClassName;
}

}  // namespace

int32_t CFrame::liveFrameCount() {
  return gUseCount;
}
const char* CFrame::windowClassName() {
  return className();
}

CFrame::CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor, double scale)
    : CViewContainer(size, nullptr, nullptr),
      editor_(editor),
      scale_(ClampScale(scale)),
      parentWindow_(parentWindow) {
  parentFrame_ = this;
  attached_ = true;
  platform::Backend& backend = platform::activeBackend();
  backend.enterWindowThread();
  GDIPlusGlobals::enter();
  if (!parentWindow) return;

  usesWindowClass_ = true;
  if (++gUseCount == 1) backend.registerWindowClass(className());
  window_ = backend.createChildWindow(parentWindow, className(), "Window", getDeviceWidth(),
                                      getDeviceHeight(), *this);
}

int32_t CFrame::getDeviceWidth() const {
  return ScaledLength(truncToInt(size_.right - size_.left), scale_);
}

int32_t CFrame::getDeviceHeight() const {
  return ScaledLength(truncToInt(size_.bottom - size_.top), scale_);
}

void CFrame::setScale(double scale) {
  const double next = ClampScale(scale);
  if (next == scale_) return;
  scale_ = next;
  if (backBuffer_) backBuffer_->forget();
  backBuffer_ = nullptr;
  if (window_) window_->resize(getDeviceWidth(), getDeviceHeight());
  invalid();
  if (editor_) editor_->frameScaleChanged(scale_, getDeviceWidth(), getDeviceHeight());
}

CPoint CFrame::toUnits(CPoint where) const {
  if (scale_ == 1) return where;
  return CPoint(where.x / scale_, where.y / scale_);
}

CFrame::~CFrame() {
  setModalView(nullptr);
  if (ownDrawContext_) ownDrawContext_->forget();
  ownDrawContext_ = nullptr;
  parentFrame_ = nullptr;
  focusView_ = nullptr;
  mouseOverView_ = nullptr;
  removeAll(true);

  platform::Backend& backend = platform::activeBackend();
  backend.leaveWindowThread();
  if (backBuffer_) backBuffer_->forget();
  backBuffer_ = nullptr;
  window_.reset();
  // The count also drops for a frame whose window could not be made, so a
  // failed creation cannot keep the class registered for ever.
  if (usesWindowClass_ && --gUseCount == 0) backend.unregisterWindowClass(className());
  GDIPlusGlobals::exit();
}

void CFrame::idle() {
  if (!open_) return;
  invalidateDirtyViews();
  if (window_) window_->pumpEvents();
}

void CFrame::invalidRect(const CRect& rect) {
  if (!visible_ || !window_) return;
  const int32_t left = truncToInt(rect.left);
  const int32_t top = truncToInt(rect.top);
  if (scale_ == 1) {
    window_->invalidate({left, top, truncToInt(rect.right) - left, truncToInt(rect.bottom) - top});
    return;
  }
  // Every device pixel the units touch.
  const auto deviceLeft = static_cast<int32_t>(std::floor(left * scale_));
  const auto deviceTop = static_cast<int32_t>(std::floor(top * scale_));
  const auto deviceRight = static_cast<int32_t>(std::ceil(truncToInt(rect.right) * scale_));
  const auto deviceBottom = static_cast<int32_t>(std::ceil(truncToInt(rect.bottom) * scale_));
  window_->invalidate({deviceLeft, deviceTop, deviceRight - deviceLeft, deviceBottom - deviceTop});
}

void CFrame::invalid() {
  setDirty(false);
  invalidRect(size_);
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
  firstDraw_ = false;
  CDrawContext* c = context;
  if (c)
    c->remember();
  else
    c = createDrawContext();

  CRect oldClip;
  c->getClipRect(oldClip);
  CRect newClip = updateRect;
  newClip.bound(oldClip);
  c->setClipRect(newClip);
  if (!updateRect.isEmpty()) CViewContainer::drawRect(c, updateRect);
  c->setClipRect(oldClip);
  c->forget();
}

CDrawContext* CFrame::createDrawContext() {
  if (ownDrawContext_) {
    ownDrawContext_->remember();
    return ownDrawContext_;
  }
  return new CDrawContext(this, nullptr, window_.get());
}

void CFrame::setOwnDrawContext(CDrawContext* context) {
  if (context) context->remember();
  if (ownDrawContext_) ownDrawContext_->forget();
  ownDrawContext_ = context;
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
  mouseDownView_ = nullptr;
  if (focusView_) setFocusView(nullptr);
  if (mouseOverView_) {
    CPoint local = where;
    mouseOverView_->frameToLocal(local);
    CView* old = mouseOverView_;
    mouseOverView_ = nullptr;
    old->onMouseExited(local, buttons);
  }
  if (modalView_) {
    CPoint local = where;
    if (!modalView_->hitTest(local, buttons)) return kMouseEventNotHandled;
    const CMouseEventResult result = modalView_->onMouseDown(local, buttons);
    if (result == kMouseEventHandled) mouseDownView_ = modalView_;
    return result;
  }
  return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
  return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!mouseTracking_) {
    mouseTracking_ = true;
    if (window_) window_->requestLeaveNotification();
  }
  if (modalView_ && !mouseDownView_) {
    CPoint local = where;
    return modalView_->onMouseMoved(local, buttons);
  }
  if (mouseDownView_) return CViewContainer::onMouseMoved(where, buttons);

  CView* view = getViewAt(where, true);
  if (view == mouseOverView_) {
    if (!view) return kMouseEventNotHandled;
    CPoint local = where;
    view->frameToLocal(local);
    return view->onMouseMoved(local, 0);
  }
  if (mouseOverView_) {
    CPoint local = where;
    mouseOverView_->frameToLocal(local);
    CView* old = mouseOverView_;
    mouseOverView_ = nullptr;
    old->onMouseExited(local, buttons);
  }
  mouseOverView_ = view;
  if (view) {
    CPoint local = where;
    view->frameToLocal(local);
    view->onMouseEntered(local, buttons);
  }
  return kMouseEventHandled;
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const CButtonState& buttons) {
  if (mouseOverView_) {
    CPoint local = where;
    mouseOverView_->frameToLocal(local);
    CView* old = mouseOverView_;
    mouseOverView_ = nullptr;
    old->onMouseExited(local, buttons);
  }
  mouseTracking_ = false;
  return kMouseEventHandled;
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  if (mouseDownView_) return false;
  const CMouseWheelAxis axis = CMouseWheelAxis::kMouseWheelAxisY;
  if (modalView_) return modalView_->onWheel(where, axis, distance, buttons);
  return CViewContainer::onWheel(where, axis, distance, buttons);
}

int32_t CFrame::onKeyDown(CKeyCode& key) {
  int32_t result = -1;
  if (focusView_) result = focusView_->onKeyDown(key);
  if (result == -1 && modalView_) result = modalView_->onKeyDown(key);
  if (!focusView_ && !modalView_ && key.virt == kVirtualKeyTab) return advanceNextFocusView(nullptr) ? 1 : -1;
  return result;
}

int32_t CFrame::onKeyUp(CKeyCode& key) {
  int32_t result = -1;
  if (focusView_) result = focusView_->onKeyUp(key);
  if (result == -1 && modalView_) result = modalView_->onKeyUp(key);
  return result;
}

void CFrame::onViewRemoved(CView* view) {
  if (mouseOverView_ == view) mouseOverView_ = nullptr;
  if (focusView_ == view) focusView_ = nullptr;
  if (modalView_ == view) modalView_ = nullptr;
  if (mouseDownView_ == view) mouseDownView_ = nullptr;
}

void CFrame::setModalView(CView* view) {
  if (view && modalView_) return;
  if (modalView_) {
    modalView_->removed(this);
    modalView_->forget();
  }
  modalView_ = view;
  if (view) {
    view->remember();
    view->attached(this);
    view->invalid();
  }
}

void CFrame::setFocusView(CView* view) {
  focusView_ = view;
}

bool CFrame::advanceNextFocusView(CView* oldFocus) {
  bool afterOld = oldFocus == nullptr;
  for (CView* view : children_) {
    if (!afterOld) {
      afterOld = view == oldFocus;
      continue;
    }
    if (view->wantsFocus() && view->isVisible()) {
      setFocusView(view);
      return true;
    }
  }
  return false;
}

void CFrame::doIdleStuff() {
  if (editor_) editor_->doIdleStuff();
}
int32_t CFrame::getKnobMode() const {
  return editor_ ? editor_->getKnobMode() : 0;
}
void CFrame::beginEdit(int32_t index) {
  if (editor_) editor_->beginEdit(index);
}
void CFrame::endEdit(int32_t index) {
  if (editor_) editor_->endEdit(index);
}

// Window events.

void CFrame::platformPaint(platform::Surface& windowSurface, const CRect& update) {
  if (update.isEmpty()) return;
  if (scale_ != 1) {
    // The update arrives in device pixels: the views draw the units that
    // cover it, and the back buffer's pixels go to the window one to one.
    const CRect units(std::floor(update.left / scale_), std::floor(update.top / scale_),
                      std::ceil(update.right / scale_), std::ceil(update.bottom / scale_));
    if (window_ && window_->paintsThroughBackBuffer()) {
      if (!backBuffer_)
        backBuffer_ = new COffscreenContext(this, size_.getWidth(), size_.getHeight(), kBlackCColor);
      drawRect(backBuffer_, units);
      if (platform::Image* picture = backBuffer_->getBitmap()->getPlatformImage()) {
        const int32_t x = truncToInt(update.left);
        const int32_t y = truncToInt(update.top);
        windowSurface.drawImage(*picture, x, y, truncToInt(update.right) - x, truncToInt(update.bottom) - y,
                                x, y, 255);
      }
    } else {
      auto* context = new CDrawContext(this, &windowSurface, window_.get());
      drawRect(context, units);
      context->forget();
    }
    return;
  }
  if (window_ && window_->paintsThroughBackBuffer()) {
    if (!backBuffer_)
      backBuffer_ = new COffscreenContext(this, size_.getWidth(), size_.getHeight(), kBlackCColor);
    drawRect(backBuffer_, update);
    auto* windowContext = new CDrawContext(this, &windowSurface, window_.get());
    backBuffer_->getBitmap()->draw(windowContext, update, update.getTopLeft());
    windowContext->forget();
  } else {
    auto* context = new CDrawContext(this, &windowSurface, window_.get());
    drawRect(context, update);
    context->forget();
  }
}

CMouseEventResult CFrame::platformMouseDown(CPoint where, CButtonState buttons) {
  CPoint at = toUnits(where);
  return onMouseDown(at, buttons);
}

void CFrame::platformMouseUp(CPoint where, CButtonState buttons) {
  CPoint at = toUnits(where);
  onMouseUp(at, buttons);
}

void CFrame::platformMouseMoved(CPoint where, CButtonState buttons) {
  CPoint at = toUnits(where);
  onMouseMoved(at, buttons);
}

void CFrame::platformMouseExited(CPoint where, CButtonState buttons) {
  CPoint at = toUnits(where);
  onMouseExited(at, buttons);
}

bool CFrame::platformWheel(CPoint where, float distance, CButtonState buttons) {
  return onWheel(toUnits(where), distance, buttons);
}

void CFrame::platformScaleChanged(double scale) {
  // The variable the user set stays in force over the window system's.
  const double forced = ParseScaleNumber(std::getenv(kScaleVariable));
  setScale(forced > 0 ? forced : scale);
}

void CFrame::platformWindowDestroyed() {
  open_ = false;
  parentWindow_ = nullptr;
}

}  // namespace VSTGUI
