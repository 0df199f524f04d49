// AEffEditor: the editor base that the dispatcher's editor requests reach.
// Every operation has a neutral default; the plug-in's editor derives from
// it and overrides what it draws and handles. All operations run on the
// host's GUI thread [gui].
//
// Owned by the AudioEffect it is attached to (setEditor); deleted through
// this base by that object's destructor.
#pragma once

#include "vst/vst24.h"

class AudioEffect;

class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* owner = nullptr) : effect(owner) {}
  virtual ~AEffEditor();

  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  virtual AudioEffect* getEffect() { return effect; }
  // Points *rect at the editor's size, valid for the editor's life; the
  // base has none: null and false.
  virtual bool getRect(ERect** rect) {
    if (rect != nullptr) *rect = nullptr;
    return false;
  }
  // parent: the host's window to embed into. The base only records it and
  // answers false (no window made).
  virtual bool open(void* parent) {
    systemWindow = parent;
    return false;
  }
  virtual void close() { systemWindow = nullptr; }
  virtual bool isOpen() { return systemWindow != nullptr; }
  virtual void idle() {}
  // true when the key was used.
  virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onWheel(float /*distance*/) { return false; }
  virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }

 protected:
  AudioEffect* effect;           // not owned
  void* systemWindow = nullptr;  // the host's parent window while open
};
