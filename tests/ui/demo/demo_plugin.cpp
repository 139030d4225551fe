// A small plug-in with one control of each kind of the user-interface layer,
// so that editors can be driven end to end (real windows, real mouse and
// keys) through the test host. It passes its input through a gain and shows
// the input level, so the picture moves while a signal plays.
//
// Thread contract: processReplacing runs on the host's audio thread and only
// stores the level (atomic); everything else runs on the editor's thread.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/audioeffectx.h"
#include "ui/jyxui.h"
#include "ui/resources.h"
#include "ui/testing/png.h"
#include "ui/utf8.h"

using namespace jyxui;

namespace demo {

// Host parameters: the gain knob, the power button, the mode switch and the
// program menu. The rocker, the save button and the name field are the
// editor's own (tags at or above the parameter count).
enum Tag : int32_t {
  kGain = 0,
  kPower,
  kMode,
  kProgram,
  kNumParams,
  kStep = 100,
  kSave,
  kName,
};
constexpr int kPrograms = 20;
constexpr int kProgramsPerColumn = 8;
constexpr int kModes = 3;
constexpr float kDefaultGain = 0.5f;
constexpr std::size_t kNameBytes = 25;  // a program name of 24 bytes and its end

// The images, by resource number.
enum Image : int {
  kBackground = 1000,
  kKnobStrip,
  kPowerStrip,
  kModeStrip,
  kRockerStrip,
  kSaveStrip,
};
constexpr int kWidth = 400;
constexpr int kHeight = 250;
constexpr int kKnobSize = 48;
constexpr int kKnobImages = 61;

const CRect kGainRect(36, 40, 36 + kKnobSize, 40 + kKnobSize);
const CRect kPowerRect(112, 52, 152, 76);
const CRect kModeRect(184, 30, 214, 90);
const CRect kStepRect(242, 52, 302, 76);
const CRect kSaveRect(330, 52, 370, 76);
const CRect kProgramRect(30, 140, 190, 162);
const CRect kNameRect(220, 140, 370, 162);
const CRect kLevelRect(30, 200, 190, 222);
const CRect kGainTextRect(220, 200, 370, 222);

const CColor kPanel{46, 52, 60, 255};
const CColor kPanelLight{70, 78, 90, 255};
const CColor kLabel{220, 224, 230, 255};
const CColor kAccent{240, 170, 60, 255};

// ---- images, drawn once ----

void label(CDrawContext& c, const char* text, const CRect& control) {
  c.setFont(kNormalFont, 12);
  c.setFontColor(kLabel);
  c.drawString(text, CRect(control.left - 30, control.bottom + 4, control.right + 30, control.bottom + 20),
               kCenterText);
}

PixelBuffer backgroundImage() {
  PixelBuffer p(kWidth, kHeight, kPanel);
  CDrawContext c(p);
  c.setFillColor(kPanelLight);
  c.drawRect(CRect(0, 0, kWidth, 18), kDrawFilled);
  c.setFont(kNormalFont, 12);
  c.setFontColor(kLabel);
  c.drawString("JYX user-interface demo", CRect(8, 0, kWidth - 8, 18), kLeftText);
  label(c, "Gain", kGainRect);
  label(c, "Power", kPowerRect);
  c.drawString("Mode",
               CRect(kModeRect.left - 30, kModeRect.bottom + 2, kModeRect.right + 30, kModeRect.bottom + 18),
               kCenterText);
  label(c, "Step", kStepRect);
  label(c, "Save", kSaveRect);
  label(c, "Program", kProgramRect);
  label(c, "Name", kNameRect);
  label(c, "Input level", kLevelRect);
  label(c, "Gain value", kGainTextRect);
  return p;
}

PixelBuffer knobStrip() {
  PixelBuffer p(kKnobSize, kKnobSize * kKnobImages, kPanel);
  CDrawContext c(p);
  c.setDrawMode(kAntiAliasing);
  for (int i = 0; i < kKnobImages; ++i) {
    const double top = i * kKnobSize;
    const double cx = kKnobSize / 2.0, cy = top + kKnobSize / 2.0;
    c.setFillColor(CColor{30, 30, 34, 255});
    c.drawRect(CRect(8, top + 8, kKnobSize - 8, top + kKnobSize - 8), kDrawFilled);
    c.setFrameColor(kLabel);
    c.setLineWidth(1);
    c.drawRect(CRect(8, top + 8, kKnobSize - 8, top + kKnobSize - 8), kDrawStroked);
    // The pointer sweeps the knob's angles: 225 degrees down to -45.
    const double angle = (225.0 - 270.0 * i / (kKnobImages - 1)) * 3.14159265358979 / 180.0;
    c.setFrameColor(kAccent);
    c.setLineWidth(3);
    c.drawLine(CPoint(cx, cy), CPoint(cx + 20 * std::cos(angle), cy - 20 * std::sin(angle)));
  }
  return p;
}

// count images of w x h, each a plate with a caption.
PixelBuffer captionStrip(int w, int h, const std::vector<std::pair<const char*, CColor>>& images) {
  PixelBuffer p(w, h * static_cast<int>(images.size()), kPanel);
  CDrawContext c(p);
  for (std::size_t i = 0; i < images.size(); ++i) {
    const CRect r(0, h * static_cast<double>(i), w, h * static_cast<double>(i + 1));
    c.setFillColor(images[i].second);
    c.drawRect(CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1), kDrawFilled);
    c.setFrameColor(kLabel);
    c.drawRect(CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1), kDrawStroked);
    c.setFont(kNormalFont, 11);
    c.setFontColor(kLabel);
    c.drawString(images[i].first, r, kCenterText);
  }
  return p;
}

const CColor kOff{60, 60, 66, 255};
const CColor kOn{40, 140, 70, 255};

}  // namespace demo

namespace jyxui {

const ResourceTable& moduleResources() {
  using namespace demo;
  struct Images {
    std::vector<std::vector<unsigned char>> png;
    std::vector<EmbeddedResource> entries;
    ResourceTable table{};
    Images() {
      const std::pair<int, PixelBuffer> made[] = {
          {kBackground, backgroundImage()},
          {kKnobStrip, knobStrip()},
          {kPowerStrip, captionStrip(40, 24, {{"off", kOff}, {"ON", kOn}})},
          {kModeStrip, captionStrip(30, 60, {{"A", kOff}, {"B", kOff}, {"C", kOff}})},
          {kRockerStrip, captionStrip(60, 24, {{"< -", kOn}, {"-  +", kOff}, {"+ >", kOn}})},
          {kSaveStrip, captionStrip(40, 24, {{"save", kOff}, {"SAVE", kOn}})},
      };
      for (const auto& [number, pixels] : made) png.push_back(testkit::encodePng(pixels));
      for (std::size_t i = 0; i < png.size(); ++i)
        entries.push_back({made[i].first, nullptr, png[i].data(), png[i].size()});
      table = ResourceTable{entries.data(), entries.size()};
    }
  };
  static const Images images;
  return images.table;
}

}  // namespace jyxui

namespace demo {

// The knob of the demo: a double click turns it fully up.
class DemoKnob : public CAnimKnob {
 public:
  using CAnimKnob::CAnimKnob;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
    if ((buttons & kLButton) && (buttons & kDoubleClick)) {
      beginEdit();
      value = getMax();
      invalid();
      if (listener) listener->valueChanged(this);
      endEdit();
      return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    return CAnimKnob::onMouseDown(where, buttons);
  }
};

class DemoEffect;

class DemoEditor : public AEffGUIEditor, public CControlListener {
 public:
  explicit DemoEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    rect = ERect{0, 0, static_cast<VstInt16>(kHeight), static_cast<VstInt16>(kWidth)};
  }

  bool open(void* parent) override;
  void close() override;
  void idle() override;
  void setParameter(VstInt32 index, float value) override;
  void valueChanged(CControl* control) override;

 private:
  void saveSettings();

  DemoKnob* gain_ = nullptr;
  COnOffButton* power_ = nullptr;
  CVerticalSwitch* mode_ = nullptr;
  CRockerSwitch* step_ = nullptr;
  CKickButton* save_ = nullptr;
  COptionMenu* program_ = nullptr;
  CTextEdit* name_ = nullptr;
  CParamDisplay* level_ = nullptr;
  CParamDisplay* gainText_ = nullptr;
};

class DemoEffect : public AudioEffectX {
 public:
  explicit DemoEffect(audioMasterCallback master) : AudioEffectX(master, 1, kNumParams) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(0x4A594445);  // "JYDE"
    canProcessReplacing(true);
    values_[kGain] = kDefaultGain;
    std::strcpy(programName_, "Demo");
    setEditor(new DemoEditor(this));
  }

  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
    const float gain = 2.0f * values_[kGain] * (values_[kPower] >= 0.5f ? 1.0f : 0.0f);
    float peak = 0;
    for (int c = 0; c < 2; ++c) {
      for (VstInt32 i = 0; i < frames; ++i) {
        peak = std::fmax(peak, std::fabs(inputs[c][i]));
        outputs[c][i] = inputs[c][i] * gain;
      }
    }
    // The display holds the peak and lets it fall back slowly.
    const float held = level_.load(std::memory_order_relaxed) * 0.9f;
    level_.store(std::fmax(peak, held), std::memory_order_relaxed);
  }

  void setParameter(VstInt32 index, float value) override {
    if (index < 0 || index >= kNumParams) return;
    values_[index] = value;
    if (editor) static_cast<AEffGUIEditor*>(editor)->setParameter(index, value);
  }
  float getParameter(VstInt32 index) override {
    return index >= 0 && index < kNumParams ? values_[index] : 0.0f;
  }
  void getParameterName(VstInt32 index, char* text) override {
    static const char* const names[] = {"Gain", "Power", "Mode", "Program"};
    std::strcpy(text, index >= 0 && index < kNumParams ? names[index] : "");
  }
  void getParameterDisplay(VstInt32 index, char* text) override {
    std::snprintf(text, 9, "%.3f", index >= 0 && index < kNumParams ? values_[index] : 0.0f);
  }
  void setProgramName(char* name) override {
    std::snprintf(programName_, sizeof programName_, "%s", utf8Cut(name, kNameBytes - 1).c_str());
  }
  void getProgramName(char* name) override { std::strcpy(name, programName_); }
  bool getEffectName(char* name) override {
    std::strcpy(name, "JYX UI Demo");
    return true;
  }
  float level() const { return level_.load(std::memory_order_relaxed); }

 private:
  float values_[kNumParams] = {};
  char programName_[kNameBytes] = {};
  std::atomic<float> level_{0.0f};
};

bool DemoEditor::open(void* parent) {
  AEffEditor::open(parent);
  frame = new CFrame(CRect(0, 0, kWidth, kHeight), parent, this);
  CBitmap* background = new CBitmap(CResourceDescription(kBackground));
  frame->setBackground(background);
  background->forget();

  CBitmap* knob = new CBitmap(CResourceDescription(kKnobStrip));
  gain_ = new DemoKnob(kGainRect, this, kGain, kKnobImages, kKnobSize, knob);
  gain_->setDefaultValue(kDefaultGain);
  gain_->setWheelInc(0.05f);
  frame->addView(gain_);
  knob->forget();

  CBitmap* power = new CBitmap(CResourceDescription(kPowerStrip));
  power_ = new COnOffButton(kPowerRect, this, kPower, power);
  frame->addView(power_);
  power->forget();

  CBitmap* mode = new CBitmap(CResourceDescription(kModeStrip));
  mode_ = new CVerticalSwitch(kModeRect, this, kMode, kModes, kModeRect.getHeight(), kModes, mode);
  frame->addView(mode_);
  mode->forget();

  CBitmap* rocker = new CBitmap(CResourceDescription(kRockerStrip));
  step_ = new CRockerSwitch(kStepRect, this, kStep, kStepRect.getHeight(), rocker);
  frame->addView(step_);
  rocker->forget();

  CBitmap* save = new CBitmap(CResourceDescription(kSaveStrip));
  save_ = new CKickButton(kSaveRect, this, kSave, kSaveRect.getHeight(), save);
  frame->addView(save_);
  save->forget();

  program_ = new COptionMenu(kProgramRect, this, kProgram, nullptr, nullptr, kPopupStyle | kCheckStyle);
  program_->setNbItemsPerColumn(kProgramsPerColumn);
  for (int i = 0; i < kPrograms; ++i) program_->addEntry(("Program " + std::to_string(i + 1)).c_str());
  program_->setBackColor(CColor{28, 30, 36, 255});
  program_->setFrameColor(kLabel);
  program_->setFontColor(kLabel);
  program_->setFont(kNormalFont);
  frame->addView(program_);

  char name[kNameBytes];
  effect->getProgramName(name);
  name_ = new CTextEdit(kNameRect, this, kName, name);
  name_->setBackColor(CColor{236, 237, 220, 255});
  name_->setFontColor(CColor{10, 10, 10, 255});
  name_->setFrameColor(kLabel);
  name_->setFont(kNormalFont);
  frame->addView(name_);

  level_ = new CParamDisplay(kLevelRect);
  level_->setBackColor(CColor{20, 22, 26, 255});
  level_->setFrameColor(kLabel);
  level_->setFontColor(kAccent);
  level_->setFont(kNormalFont);
  level_->setMax(1000);
  level_->setStringConvert([](float v, char* text) {
    if (v <= 0.00001f)
      std::strcpy(text, "-oo dB");
    else
      std::snprintf(text, CParamDisplay::kParamTextBytes, "%.1f dB", 20.0 * std::log10(v));
  });
  frame->addView(level_);

  gainText_ = new CParamDisplay(kGainTextRect);
  gainText_->setBackColor(CColor{20, 22, 26, 255});
  gainText_->setFrameColor(kLabel);
  gainText_->setFontColor(kLabel);
  gainText_->setFont(kNormalFont);
  gainText_->setStringConvert(
      [](float v, char* text) { std::snprintf(text, CParamDisplay::kParamTextBytes, "%.3f", v); });
  frame->addView(gainText_);

  for (VstInt32 i = 0; i < kNumParams; ++i) setParameter(i, effect->getParameter(i));
  return true;
}

void DemoEditor::close() {
  gain_ = nullptr;
  power_ = nullptr;
  mode_ = nullptr;
  step_ = nullptr;
  save_ = nullptr;
  program_ = nullptr;
  name_ = nullptr;
  level_ = nullptr;
  gainText_ = nullptr;
  AEffGUIEditor::close();
}

void DemoEditor::idle() {
  if (level_) level_->setValue(static_cast<DemoEffect*>(effect)->level());
  AEffGUIEditor::idle();
}

void DemoEditor::setParameter(VstInt32 index, float value) {
  if (!frame) return;
  switch (index) {
    case kGain:
      if (gain_) gain_->setValue(value);
      if (gainText_) gainText_->setValue(value);
      break;
    case kPower:
      if (power_) power_->setValue(value);
      break;
    case kMode:
      if (mode_) mode_->setValue(value);
      break;
    case kProgram:
      if (program_) program_->setCurrent(static_cast<int32_t>(value * (kPrograms - 1) + 0.5f));
      break;
    default: break;
  }
}

void DemoEditor::valueChanged(CControl* control) {
  const int32_t tag = control->getTag();
  switch (tag) {
    case kGain:
    case kPower:
    case kMode: effect->setParameterAutomated(tag, control->getValue()); break;
    case kProgram:
      effect->setParameterAutomated(kProgram,
                                    static_cast<float>(program_->getCurrentIndex()) / (kPrograms - 1));
      break;
    case kStep: {
      // The rocker steps through the programs and stops at the ends.
      const float v = control->getValue();
      if (v == 0 || !program_) break;
      const int32_t next = program_->getCurrentIndex() + (v > 0 ? 1 : -1);
      if (next < 0 || next >= kPrograms) break;
      beginEdit(kProgram);
      effect->setParameterAutomated(kProgram, static_cast<float>(next) / (kPrograms - 1));
      endEdit(kProgram);
      break;
    }
    case kSave:
      // On the release: a dialog opened during the press would take its release.
      if (control->getValue() < 0.5f) saveSettings();
      break;
    case kName: {
      std::string text = name_ ? name_->getText() : "";
      effect->setProgramName(text.data());
      break;
    }
    default: break;
  }
}

void DemoEditor::saveSettings() {
  if (!frame) return;
  CNewFileSelector* selector = CNewFileSelector::create(frame, CNewFileSelector::kSelectSaveFile);
  if (!selector) return;
  selector->setTitle("Save demo settings");
  selector->setDefaultSaveName("demo-settings");
  selector->setDefaultExtension(CFileExtension("Demo settings", "txt"));
  selector->setAllowMultiFileSelection(false);
  if (selector->runModal() && selector->getNumSelectedFiles() == 1) {
    if (FILE* f = std::fopen(selector->getSelectedFile(0), "w")) {
      char name[kNameBytes];
      effect->getProgramName(name);
      for (VstInt32 i = 0; i < kNumParams; ++i) std::fprintf(f, "%d %.6f\n", i, effect->getParameter(i));
      std::fprintf(f, "name %s\n", name);
      std::fclose(f);
    }
  }
  selector->forget();
}

}  // namespace demo

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new demo::DemoEffect(audioMaster);
}
