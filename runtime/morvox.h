// TMorvox: the script object. An effect derives from it, declares its own
// variables as members and overrides the section hooks it has. The plug-in
// shell holds it only through this type.
//
// Three host threads share the object without locks: the audio thread runs
// OnBlock/OnSample (and OnSlider for automation), the dispatcher thread the
// lifecycle, parameter and chunk calls, the GUI thread OnIdle/OnGraphics and
// the mouse fields. All shared values are plain doubles.
#pragma once

#include <cstdint>

#include "runtime/morvox_graphics.h"

class TMorvox : public CMorvoxMouse {
 public:
  TMorvox();
  ~TMorvox() override = default;
  TMorvox(const TMorvox&) = delete;
  TMorvox& operator=(const TMorvox&) = delete;

  // Section hooks; the base behaviour is what an effect without that
  // section gets.
  virtual void OnReset();    // [dispatcher] host open: memory and strings cleared
  virtual void OnClose() {}  // [dispatcher]
  virtual void OnSuspend() {}
  virtual void OnResume();  // [dispatcher] OnInit, then OnSlider
  virtual void OnInit() {}
  virtual std::int32_t InitOnce();  // OnInit the first time only; answers the call count
  virtual void OnGraphics() {}      // [gui] every editor redraw
  virtual void OnIdle();            // [gui] rate-limited redraw request
  virtual void OnSerialize() {}     // state section, through FileVar on slot 0
  // [dispatcher] Restores state from the host's chunk; answers `size`.
  virtual std::int32_t SetChunk(const void* data, std::int32_t size, bool preset);
  // [dispatcher] Produces the state chunk; answers its size in bytes, 0 for
  // none. The data stays valid until the next GetChunk or SetChunk.
  virtual std::int32_t GetChunk(void** data, bool preset);

  std::uint32_t lastRedrawTicks = 0;  // IdleMilliseconds of the last redraw request
  std::int32_t initCount = 0;

 protected:
  // The millisecond clock OnIdle paces against: milliseconds since the
  // module first read it, wrapping after 49.7 days. OnIdle subtracts in
  // unsigned 32-bit arithmetic, so the interval is right across the wrap.
  virtual std::uint32_t IdleMilliseconds() const;

 private:
  void BaseReset();
};
