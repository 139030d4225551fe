// Base of every editor: the effect it belongs to and the parent window while open.
#pragma once

#include "host/vst_abi.h"

class AudioEffect;

class AEffEditor {
 public:
  // Registers itself as the effect's editor (which sets effFlagsHasEditor).
  explicit AEffEditor(AudioEffect* effect);
  virtual ~AEffEditor() = default;

  virtual AudioEffect* getEffect() { return effect; }
  virtual bool getRect(ERect** rect) {
    *rect = nullptr;
    return false;
  }
  virtual bool open(void* ptr) {
    systemWindow = ptr;
    return false;
  }
  virtual void close() { systemWindow = nullptr; }
  virtual bool isOpen() { return systemWindow != nullptr; }
  virtual void idle() {}
  virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
  virtual bool onWheel(float /*distance*/) { return false; }
  virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }

 protected:
  AudioEffect* effect;
  void* systemWindow = nullptr;
};
