#include "ui/gui_editor.h"

#include <chrono>

#include "host/audioeffectx.h"
#include "ui/frame.h"

namespace jyxui {

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {}

AEffGUIEditor::~AEffGUIEditor() {
  if (frame) {
    CFrame* open = frame;
    frame = nullptr;
    open->close();
  }
}

bool AEffGUIEditor::getRect(ERect** area) {
  if (!area) return false;
  *area = &rect;
  return true;
}

void AEffGUIEditor::close() {
  if (frame) {
    CFrame* open = frame;
    frame = nullptr;
    open->close();
  }
  AEffEditor::close();
}

void AEffGUIEditor::idle() {
  if (inIdleStuff) return;
  if (frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) { return frame && frame->onKeyDown(keyCode) == 1; }

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyCode) == 1; }

bool AEffGUIEditor::onWheel(float distance) {
  if (!frame) return false;
  CPoint where;
  frame->getCurrentMouseLocation(where);
  return frame->onWheel(where, distance, 0);
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  knobMode = mode;
  return true;
}

namespace {
AudioEffectX* hostParameterTarget(AudioEffect* effect, int32_t index) {
  if (!effect || index < 0 || index >= effect->getAeffect()->numParams) return nullptr;
  return dynamic_cast<AudioEffectX*>(effect);
}
}  // namespace

void AEffGUIEditor::beginEdit(int32_t index) {
  if (AudioEffectX* fx = hostParameterTarget(effect, index)) fx->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
  if (AudioEffectX* fx = hostParameterTarget(effect, index)) fx->endEdit(index);
}

void AEffGUIEditor::draw(ERect* area) {
  if (!frame) return;
  if (area)
    frame->invalidRect(CRect(area->left, area->top, area->right, area->bottom));
  else
    frame->invalid();
  frame->updateScreen();
}

std::uint64_t AEffGUIEditor::clockMs() const {
  if (frame && frame->getPlatformWindow()) return frame->getPlatformWindow()->now();
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void AEffGUIEditor::doIdleStuff() {
  if (inIdleStuff) return;
  const std::uint64_t now = clockMs();
  if (idleStuffRan && now >= lastIdleStuff && now - lastIdleStuff < kIdleRateMs) return;
  idleStuffRan = true;
  lastIdleStuff = now;
  idle();
  // The host's idle may call the editor's idle again: it finds inIdleStuff set.
  inIdleStuff = true;
  if (effect) effect->masterIdle();
  inIdleStuff = false;
}

}  // namespace jyxui
