// The editor binding: AEffGUIEditor joins the effect's editor (AEffEditor) to a
// frame. It hands out the editor rectangle, runs the frame from the host's
// idle, keeps the knob mode of this editor, passes keys and the wheel to the
// frame, and forwards edit gestures of host parameters to the effect.
#pragma once

#include <cstdint>

#include "host/aeffeditor.h"
#include "ui/base.h"

class AudioEffect;

namespace jyxui {

class CFrame;

// What a frame needs from its editor.
class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;

  // Idle for modal loops (menus, dialogs): the editor's idle and the host's.
  virtual void doIdleStuff() {}
  virtual int32_t getKnobMode() const { return kCircularMode; }
  virtual void beginEdit(int32_t /*index*/) {}
  virtual void endEdit(int32_t /*index*/) {}
  virtual CFrame* getFrame() const { return frame; }

 protected:
  CFrame* frame = nullptr;
};

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
 public:
  // Registers with the effect as its editor (which sets effFlagsHasEditor).
  explicit AEffGUIEditor(AudioEffect* effect);
  // A frame still open is closed, so that no timer or event reaches a
  // deleted editor.
  ~AEffGUIEditor() override;

  bool getRect(ERect** rect) override;
  void close() override;
  void idle() override;
  bool onKeyDown(VstKeyCode& keyCode) override;
  bool onKeyUp(VstKeyCode& keyCode) override;
  bool onWheel(float distance) override;
  // Kept per editor: two open editors never share a knob mode.
  bool setKnobMode(VstInt32 mode) override;
  int32_t getKnobMode() const override { return knobMode; }

  // The effect tells its editor of parameter changes; the products override it.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  // Gestures go to the host only for its announced parameters (0 <= index <
  // the parameter count); the editor's own indices stay inside the plug-in.
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;
  // Redraws the area (the whole frame when null) at once.
  virtual void draw(ERect* area);

  // idle() and the host's masterIdle, at most once per kIdleRateMs; a call
  // from inside either does nothing.
  void doIdleStuff() override;
  static constexpr std::uint32_t kIdleRateMs = 10;

 protected:
  ERect rect{};
  int32_t knobMode = kCircularMode;

 private:
  std::uint64_t clockMs() const;

  bool inIdleStuff = false;
  bool idleStuffRan = false;
  std::uint64_t lastIdleStuff = 0;
};

}  // namespace jyxui
