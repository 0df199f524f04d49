#pragma once
#include <cstdint>

namespace VSTGUI {

class CFrame;

// What a frame asks of the editor that owns it.
class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;
  virtual void doIdleStuff() {}
  virtual int32_t getKnobMode() const { return 0; }
  virtual void beginEdit(int32_t /*index*/) {}
  virtual void endEdit(int32_t /*index*/) {}
  // The frame changed its scale (a DPI change); its window is now
  // deviceWidth × deviceHeight pixels.
  virtual void frameScaleChanged(double /*scale*/, int32_t /*deviceWidth*/, int32_t /*deviceHeight*/) {}
  CFrame* getFrame() const { return frame; }

 protected:
  // The editor's frame while it is open, else null.
  CFrame* frame = nullptr;
};

}  // namespace VSTGUI
