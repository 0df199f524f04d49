#pragma once
#include <memory>

#include "gui/cview_container.h"
#include "gui/platform/backend.h"
#include "gui/vstgui_editor_interface.h"

namespace VSTGUI {

class CDrawContext;
class COffscreenContext;

// The editor's child window inside the host's window and the root of the
// view tree: turns window events into view calls and paints the views
// through a draw context. [gui] Everything runs on the editor window's
// thread; the editor holds the only reference while it is open.
class CFrame : public CViewContainer, private platform::WindowListener {
 public:
  // parentWindow is the host's native window (an X11 Window id cast to a
  // pointer, or an HWND); with null, or when the window cannot be made, the
  // frame has no window: it paints nothing and invalidates nothing. The
  // size is in units; the window has scale device pixels per unit (the
  // scale is clamped to 1 … 3), and paints, invalidations and mouse
  // positions are converted between the two at the window's edge.
  CFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor, double scale = 1);
  ~CFrame() override;

  // Invalidates dirty views, then handles the window's waiting events and
  // pending paints (the X11 event pump; nothing more on Win32). Does
  // nothing once the window was destroyed.
  void idle();
  void invalidRect(const CRect& rect) override;
  void invalid() override;
  // Draws the update rectangle with the given context, or a new one.
  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  // The own draw context with one more reference, else a new context on the
  // window; the caller forgets it.
  CDrawContext* createDrawContext();
  void setOwnDrawContext(CDrawContext* context);

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
  using CViewContainer::onWheel;
  // The wheel as a vertical-axis event; false while a press is being dragged.
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
  int32_t onKeyDown(CKeyCode& key) override;
  int32_t onKeyUp(CKeyCode& key) override;

  // Clears every frame reference to a view that leaves the tree.
  void onViewRemoved(CView* view);
  void setModalView(CView* view);
  CView* getModalView() const { return modalView_; }
  void setFocusView(CView* view);
  CView* getFocusView() const { return focusView_; }
  // Moves the focus to the next view that wants it; false when there is none.
  bool advanceNextFocusView(CView* oldFocus);
  CView* getMouseOverView() const { return mouseOverView_; }

  double getScale() const { return scale_; }
  // A new scale (clamped): the window takes the new device size, the back
  // buffer is made again and everything is painted; the editor hears of it.
  void setScale(double scale);
  // The window's size in device pixels.
  int32_t getDeviceWidth() const;
  int32_t getDeviceHeight() const;

  bool isOpen() const { return open_; }
  bool isFirstDraw() const { return firstDraw_; }
  bool isTrackingMouse() const { return mouseTracking_; }
  void* getParentWindow() const { return parentWindow_; }
  platform::Window* getPlatformWindow() const { return window_.get(); }
  COffscreenContext* getBackBuffer() const { return backBuffer_; }
  VSTGUIEditorInterface* getEditor() const { return editor_; }

  void doIdleStuff();
  int32_t getKnobMode() const;
  void beginEdit(int32_t index);
  void endEdit(int32_t index);

  // Frames alive in the process that use the window class, and its name
  // ("Plugin" followed by the module address).
  static int32_t liveFrameCount();
  static const char* windowClassName();

 private:
  void platformPaint(platform::Surface& windowSurface, const CRect& update) override;
  CMouseEventResult platformMouseDown(CPoint where, CButtonState buttons) override;
  void platformMouseUp(CPoint where, CButtonState buttons) override;
  void platformMouseMoved(CPoint where, CButtonState buttons) override;
  void platformMouseExited(CPoint where, CButtonState buttons) override;
  bool platformWheel(CPoint where, float distance, CButtonState buttons) override;
  void platformWindowDestroyed() override;
  void platformScaleChanged(double scale) override;
  // A window position in units.
  CPoint toUnits(CPoint where) const;

  VSTGUIEditorInterface* editor_;
  double scale_ = 1;
  void* parentWindow_;
  CView* modalView_ = nullptr;
  CView* focusView_ = nullptr;
  CView* mouseOverView_ = nullptr;
  bool firstDraw_ = true;
  bool open_ = true;
  bool usesWindowClass_ = false;
  std::unique_ptr<platform::Window> window_;
  COffscreenContext* backBuffer_ = nullptr;
  bool mouseTracking_ = false;
  CDrawContext* ownDrawContext_ = nullptr;
};

}  // namespace VSTGUI
