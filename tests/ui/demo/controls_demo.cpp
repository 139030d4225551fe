// A demo plug-in shaped like the product editors: an effect on the preset
// system with a few programs, and an editor on the editor layer whose page
// carries one of each of the editors' own controls (the two knobs, the level
// meter, the clip lamp, the counter, the on/off button, the three-position
// switch, the four-way button, a label, two readouts and the value field)
// above the real preset strip. Its images are the second generation's film
// strips, the strip's buttons and a panel of its own, embedded as every
// product embeds its skin. The test host opens it, so that the controls and
// the strip can be driven end to end in real windows (scripts/ui-e2e.sh).
//
// The effect passes its input through a gain (Drive, in dB) mixed with the
// dry signal (Mix), routed by the channel button, and hands the editor the
// level of the input or the output and a clip flag.
//
// Thread contract: processReplacing runs on the host's audio thread; it reads
// the parameters and writes the levels and the clip flag, all atomics. The
// rest runs on the editor's thread (the host's, for the test host).
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls/controls.h"
#include "presets/preset_effect.h"
#include "tests/ui/demo/controls_demo_layout.h"

using namespace jyxui;

namespace controlsdemo {

// Host parameters. Meter scale and knob mode are preferences: the same in
// every program, and changed without telling the host, as in the products.
enum Param : VstInt32 {
  kPower,
  kDrive,
  kMix,
  kMeterSource,
  kChannel,
  kMeterScale,
  kKnobModeParam,
  kNumParams,
};
// The editor's own tags: above the parameters and clear of the preset strip's.
enum EditorTag : int32_t {
  kCounterTag = 50,
  kLampTag = 54,
  kValueEntryTag = 58,
};

constexpr int kNumPrograms = 20;
constexpr VstInt32 kGlobalIndices[] = {kMeterScale, kKnobModeParam};
constexpr const char* kSettingsStem = "ControlsDemo";
constexpr VstInt32 kUniqueId = fourCharCode('J', 'Y', 'D', 'C');
constexpr float kDriveRangeDb = 24;  // -24 .. +24 dB

// The images: the demo's panel, the second generation's film strips.
enum Image : int32_t {
  kPanelImage = 19000,
  kMeterStrip = 19003,       // 101 images of 136 x 70, scale mode 0
  kMeterScaleStrip = 19004,  // the same, scale mode 1
  kSourceStrip = 19005,      // 3 images of 40 x 50
  kKnobStrip = 19008,        // 101 images of 60 x 50
  kDriveStrip = 19009,       // 101 images of 113 x 93, ten to a column
  kPowerStrip = 19014,       // 2 images of 36 x 40
  kChannelStrip = 19016,     // 4 images of 51 x 48
  kGlyphStrip = 19021,       // 18 glyphs of 9 x 17
  kLampStrip = 19026,        // 6 images of 21 x 21
  kKnobModeStrip = 19033,    // 2 images of 15 x 29
};
constexpr int kKnobImages = 101;
constexpr int kDriveColumnWidth = 113;
constexpr int kMeterImages = 101;
constexpr int kLampImages = 6;
constexpr float kMeterMax = 1.44f;

struct FactoryProgram {
  const char* name;
  float power, drive, mix, source, channel;
};
constexpr FactoryProgram kFactory[kNumPrograms] = {
    {"Unity", 1, 0.5f, 1, 0, 1},
    {"Gentle Lift", 1, 0.5625f, 1, 0, 1},
    {"Warm Push", 1, 0.625f, 0.8f, 1, 1},
    {"Hot Drive", 1, 0.75f, 1, 1, 1},
    {"Half Wet", 1, 0.6875f, 0.5f, 0, 1},
    {"Quiet Room", 1, 0.375f, 1, 0, 1},
    {"Mono Check", 1, 0.5f, 1, 1, 0},
    {"Left Only", 1, 0.5f, 1, 1, 0.33f},
    {"Right Only", 1, 0.5f, 1, 1, 0.67f},
    {"Muted", 0, 0.5f, 1, 0, 1},
    {"Parallel", 1, 0.8125f, 0.3f, 1, 1},
    {"Whisper", 1, 0.25f, 1, 0, 1},
    {"Crunch", 1, 0.9375f, 0.7f, 1, 1},
    {"Edge", 1, 0.875f, 0.6f, 1, 1},
    {"Soft Blend", 1, 0.5625f, 0.4f, 0, 1},
    {"Meter Pre", 1, 0.5f, 1, 0, 1},
    {"Meter GR", 1, 0.5f, 1, 0.5f, 1},
    {"Meter Post", 1, 0.625f, 1, 1, 1},
    {"Full Scale", 1, 1, 1, 1, 1},
    {"Silence", 1, 0, 1, 1, 1},
};

void loadFactoryPrograms(ProgramStore& store) {
  if (!store.data()) return;
  for (int k = 0; k < kNumPrograms; ++k) {
    const FactoryProgram& p = kFactory[k];
    store.setName(k, p.name);
    const float values[kNumParams] = {p.power, p.drive, p.mix, p.source, p.channel, 0, 0};
    for (int i = 0; i < kNumParams; ++i) store.setValue(k, i, values[i]);
  }
}

const PresetSystemTraits kTraits = {
    {kNumParams, kNumPrograms}, kGlobalIndices, kSettingsStem, &loadFactoryPrograms, {}};

float driveDb(float v) { return v * 2 * kDriveRangeDb - kDriveRangeDb; }
int meterSource(float v) { return std::min(static_cast<int>(3 * v), 2); }  // pre, gain reduction, post
bool isOn(float v) { return v >= 0.5f; }

class ControlsDemoEffect : public CPresetSystemEffect {
 public:
  explicit ControlsDemoEffect(audioMasterCallback master);

  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override {
    return index >= 0 && index < kNumParams ? values_[index].load(std::memory_order_relaxed) : 0.0f;
  }
  void getParameterName(VstInt32 index, char* text) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterLabel(VstInt32 index, char* text) override;
  bool getEffectName(char* name) override {
    std::strcpy(name, "JYX Controls Demo");
    return true;
  }
  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;

  // The meter's level for the chosen source: input or output peak, or the
  // resting gain-reduction reading (1.0: no reduction).
  float meterLevel() const;
  // True once after the output reached full scale.
  bool takeClip() { return clip_.exchange(false, std::memory_order_relaxed); }

 private:
  std::array<std::atomic<float>, kNumParams> values_{};
  std::atomic<float> inputPeak_{0};
  std::atomic<float> outputPeak_{0};
  std::atomic<bool> clip_{false};
};

class ControlsDemoEditor : public CMyPresetSystemEditor {
 public:
  explicit ControlsDemoEditor(ControlsDemoEffect* effect) : CMyPresetSystemEditor(effect) {
    rect = ERect{0, 0, static_cast<VstInt16>(layout::kHeight), static_cast<VstInt16>(layout::kWidth)};
  }

  // Deleted with its window open (the effect going away): the value field
  // kept outside the page is ours to release; the base closes the window
  // without letting it reach the effect.
  ~ControlsDemoEditor() override {
    forgetPage();
    forgetValueEntryField();
  }

  bool open(void* parent) override;
  void close() override;
  void idle() override;
  // The knob mode follows its parameter only.
  bool setKnobMode(VstInt32) override { return false; }
  void setParameter(VstInt32 index, float value) override;
  void valueChanged(CControl* control) override;
  void openValueEntry(int32_t tag) override;
  void valueEntered(int32_t tag, const char* text) override;

 private:
  ControlsDemoEffect* demo() const { return static_cast<ControlsDemoEffect*>(effect); }
  void showKnobValue(VstInt32 index);
  void forgetPage();
  void forgetValueEntryField();

  CViewContainer* page = nullptr;
  CMyOnOffButton* powerButton = nullptr;
  CAnimKnob3* driveKnob = nullptr;
  CAnimKnob2* mixKnob = nullptr;
  CMyVerticalSwitch* sourceSwitch = nullptr;
  CMyLRUDButton* channelButton = nullptr;
  CVerticalSwitch* knobModeSwitch = nullptr;
  CMovieMeter* meter = nullptr;
  CMovieLED* lamp = nullptr;
  CCounter* counter = nullptr;
  CBackDisplay* gainReadout = nullptr;
  CBackDisplay* mixReadout = nullptr;
  CLabel2* label = nullptr;
  CMyTextEdit* valueEntryField = nullptr;
};

// ---------------------------------------------------------------- effect

ControlsDemoEffect::ControlsDemoEffect(audioMasterCallback master) : CPresetSystemEffect(master, kTraits) {
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(kUniqueId);
  canProcessReplacing(true);
  setEditor(new ControlsDemoEditor(this));
  loadEditorDefaults();
  selectProgram(0);
}

void ControlsDemoEffect::setParameter(VstInt32 index, float value) {
  const ParameterTurn turn(*this, index, value);
  if (!turn) return;
  if (index >= 0 && index < kNumParams) values_[index].store(value, std::memory_order_relaxed);
  finishSetParameter(index, value);
}

void ControlsDemoEffect::getParameterName(VstInt32 index, char* text) {
  static const char* const names[kNumParams] = {"Power",   "Drive",       "Mix",      "Meters",
                                                "Channel", "Meter scale", "Knob mode"};
  std::strcpy(text, index >= 0 && index < kNumParams ? names[index] : "");
}

void ControlsDemoEffect::getParameterDisplay(VstInt32 index, char* text) {
  static const char* const sources[] = {"Pre", "GR", "Post"};
  const float v = getParameter(index);
  switch (index) {
    // Texts of at most eight characters, as hosts expect.
    case kDrive: std::snprintf(text, 9, "%.1f", static_cast<double>(driveDb(v))); break;
    case kMix: std::snprintf(text, 9, "%.0f", static_cast<double>(v * 100)); break;
    case kMeterSource: std::strcpy(text, sources[meterSource(v)]); break;
    case kChannel:
      std::strcpy(text, v >= 0.75f ? "Stereo" : v >= 0.5f ? "Right" : v >= 0.25f ? "Left" : "Mono");
      break;
    case kMeterScale: std::strcpy(text, isOn(v) ? "-40..+6" : "-20..+3"); break;
    case kKnobModeParam: std::strcpy(text, isOn(v) ? "Linear" : "Circular"); break;
    default: std::strcpy(text, isOn(v) ? "On" : "Off"); break;
  }
}

void ControlsDemoEffect::getParameterLabel(VstInt32 index, char* text) {
  std::strcpy(text, index == kDrive ? "dB" : index == kMix ? "%" : "");
}

void ControlsDemoEffect::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
  const float gain = isOn(getParameter(kPower)) ? std::pow(10.0f, driveDb(getParameter(kDrive)) / 20) : 0;
  const float mix = getParameter(kMix);
  const float channel = getParameter(kChannel);
  float inPeak = 0, outPeak = 0;
  for (VstInt32 i = 0; i < frames; ++i) {
    float left = inputs[0][i], right = inputs[1][i];
    inPeak = std::max({inPeak, std::fabs(left), std::fabs(right)});
    if (channel < 0.25f)
      left = right = (left + right) * 0.5f;  // mono
    else if (channel < 0.5f)
      right = left;  // the left channel on both sides
    else if (channel < 0.75f)
      left = right;  // the right one
    left *= (1 - mix) + mix * gain;
    right *= (1 - mix) + mix * gain;
    outPeak = std::max({outPeak, std::fabs(left), std::fabs(right)});
    outputs[0][i] = left;
    outputs[1][i] = right;
  }
  // The levels hold their peak and fall back slowly.
  inputPeak_.store(std::max(inPeak, inputPeak_.load(std::memory_order_relaxed) * 0.9f),
                   std::memory_order_relaxed);
  outputPeak_.store(std::max(outPeak, outputPeak_.load(std::memory_order_relaxed) * 0.9f),
                    std::memory_order_relaxed);
  if (outPeak >= 1.0f) clip_.store(true, std::memory_order_relaxed);
}

float ControlsDemoEffect::meterLevel() const {
  switch (meterSource(values_[kMeterSource].load(std::memory_order_relaxed))) {
    case 0: return inputPeak_.load(std::memory_order_relaxed);
    case 1: return 1.0f;
    default: return outputPeak_.load(std::memory_order_relaxed);
  }
}

// ---------------------------------------------------------------- editor

namespace {

CRect rectOf(const layout::Area& a) { return CRect(a.left, a.top, a.right, a.bottom); }

// A bitmap of the skin; null when it is missing, so that its control is left out.
CBitmap* loadImage(int32_t number) {
  auto* bitmap = new CBitmap(CResourceDescription(number));
  if (bitmap->isLoaded()) return bitmap;
  bitmap->forget();
  return nullptr;
}

}  // namespace

bool ControlsDemoEditor::open(void* parent) {
  AEffEditor::open(parent);
  CBitmap* panel = loadImage(kPanelImage);
  if (!panel) return false;
  frame = new MyFrame(CRect(0, 0, layout::kWidth, layout::kHeight), parent, this);
  frame->setBackground(panel);
  page = new CViewContainer(CRect(0, 0, layout::kWidth, layout::kPageHeight), frame, panel);

  if (CBitmap* b = loadImage(kMeterStrip)) {
    if (CBitmap* scale = loadImage(kMeterScaleStrip)) {
      meter = new CMovieMeter(rectOf(layout::kMeter), this, kMeterScale, kMeterImages,
                              static_cast<int32_t>(b->getHeight()) / kMeterImages, b, scale, CPoint(0, 0),
                              isOn(effect->getParameter(kMeterScale)) ? 1 : 0);
      meter->setMin(0);
      meter->setMax(kMeterMax);
      page->addView(meter);
      scale->forget();
    }
    b->forget();
  }
  if (CBitmap* b = loadImage(kLampStrip)) {
    lamp = new CMovieLED(rectOf(layout::kLamp), this, kLampTag, kLampImages,
                         static_cast<int32_t>(b->getHeight()) / kLampImages, b, CPoint(0, 0));
    page->addView(lamp);
    b->forget();
  }
  if (CBitmap* b = loadImage(kSourceStrip)) {
    sourceSwitch =
        new CMyVerticalSwitch(rectOf(layout::kMeterSource), this, kMeterSource, 3, b->getHeight() / 3, 3, b);
    page->addView(sourceSwitch);
    b->forget();
  }
  if (CBitmap* b = loadImage(kKnobModeStrip)) {
    knobModeSwitch =
        new CVerticalSwitch(rectOf(layout::kKnobMode), this, kKnobModeParam, 2, b->getHeight() / 2, 2, b);
    page->addView(knobModeSwitch);
    b->forget();
  }
  // A label in the very small font, black on its plate.
  label = new CLabel2(rectOf(layout::kLabel), "Label: Arial 9, black");
  page->addView(label);

  if (CBitmap* b = loadImage(kKnobStrip)) {
    mixKnob = new CAnimKnob2(rectOf(layout::kMix), this, kMix, kKnobImages, b->getHeight() / kKnobImages, b);
    mixKnob->setDefaultValue(1.0f);
    page->addView(mixKnob);
    b->forget();
  }
  if (CBitmap* b = loadImage(kDriveStrip)) {
    const CRect r = rectOf(layout::kDrive);
    driveKnob = new CAnimKnob3(r, this, kDrive, kKnobImages, kDriveColumnWidth, r.getHeight(), b);
    driveKnob->setDefaultValue(0.5f);
    page->addView(driveKnob);
    b->forget();
  }
  if (CBitmap* b = loadImage(kGlyphStrip)) {
    const layout::Area& c = layout::kCounter;
    counter = new CCounter(rectOf(c), this, kCounterTag, 0, 0, c.left, c.top, 9, 17, b);
    page->addView(counter);
    b->forget();
  }
  // Readouts over a copy of the panel's picture.
  auto readout = [&](const layout::Area& area, CParamDisplayValueToStringProc convert) {
    const CRect r = rectOf(area);
    auto* display = new CBackDisplay(r, panel);
    display->setBackOffset(r.getTopLeft());
    display->setHoriAlign(kCenterText);
    display->setFont(kNormalFontVerySmall);
    display->setFontColor(MakeCColor(40, 40, 40, 255));
    display->setStringConvert(convert);
    page->addView(display);
    return display;
  };
  gainReadout = readout(layout::kGainReadout, &dBStringConvert);
  mixReadout = readout(layout::kMixReadout, &percentStringConvert);

  if (CBitmap* b = loadImage(kPowerStrip)) {
    powerButton = new CMyOnOffButton(rectOf(layout::kPower), this, kPower, b);
    page->addView(powerButton);
    b->forget();
  }
  if (CBitmap* b = loadImage(kChannelStrip)) {
    channelButton = new CMyLRUDButton(rectOf(layout::kChannel), this, kChannel, b);
    page->addView(channelButton);
    b->forget();
  }
  // Typed values: over the counter while an entry runs, else kept here.
  valueEntryField = new CMyTextEdit(rectOf(layout::kValueEntry), this, kValueEntryTag, "", nullptr);
  valueEntryField->setBackColor(MakeCColor(236, 237, 220, 255));
  valueEntryField->setFrameColor(MakeCColor(236, 237, 220, 255));
  valueEntryField->setFontColor(MakeCColor(10, 10, 10, 255));
  valueEntryField->setFont(kNormalFont);

  frame->addView(page);
  panel->forget();
  // The preset strip below the page.
  CMyPresetSystemEditor::open(parent);
  for (VstInt32 i = 0; i < kNumParams; ++i) setParameter(i, effect->getParameter(i));
  return true;
}

void ControlsDemoEditor::forgetPage() {
  page = nullptr;
  powerButton = nullptr;
  driveKnob = nullptr;
  mixKnob = nullptr;
  sourceSwitch = nullptr;
  channelButton = nullptr;
  knobModeSwitch = nullptr;
  meter = nullptr;
  lamp = nullptr;
  counter = nullptr;
  gainReadout = nullptr;
  mixReadout = nullptr;
  label = nullptr;
}

void ControlsDemoEditor::forgetValueEntryField() {
  // A field in its page goes with the page; one outside it is ours.
  if (valueEntryField && !valueEntryField->getParentView()) valueEntryField->forget();
  valueEntryField = nullptr;
}

void ControlsDemoEditor::close() {
  CMyPresetSystemEditor::close();
  forgetPage();
  forgetValueEntryField();
  AEffGUIEditor::close();
}

void ControlsDemoEditor::idle() {
  CMyPresetSystemEditor::idle();
  if (meter) meter->setValue(demo()->meterLevel());
  // The lamp takes the clip flag of every idle, 1 or 0; it holds a past clip
  // itself.
  if (lamp) lamp->setValue(demo()->takeClip() ? 1.0f : 0.0f);
}

void ControlsDemoEditor::showKnobValue(VstInt32 index) {
  const float v = effect->getParameter(index);
  if (index == kDrive) {
    if (counter) counter->setValueAndMode(driveDb(v), 1);
    if (gainReadout) gainReadout->setValue(std::pow(10.0f, driveDb(v) / 20));
  } else {
    if (counter) counter->setValueAndMode(v * 100, 3);
    if (mixReadout) mixReadout->setValue(v);
  }
}

void ControlsDemoEditor::setParameter(VstInt32 index, float value) {
  if (!frame) return;
  const float v = effect->getParameter(index);
  switch (index) {
    case kPower:
      if (powerButton) powerButton->setValue(v);
      break;
    case kDrive:
      if (driveKnob) driveKnob->setValue(v);
      showKnobValue(index);
      break;
    case kMix:
      if (mixKnob) mixKnob->setValue(v);
      showKnobValue(index);
      break;
    case kMeterSource:
      if (sourceSwitch) sourceSwitch->setValue(v);
      break;
    case kChannel:
      if (channelButton) channelButton->setValue(v);
      break;
    case kMeterScale:
      if (meter) meter->setMode(isOn(v) ? 1 : 0);
      break;
    case kKnobModeParam:
      if (knobModeSwitch) knobModeSwitch->setValue(value);
      AEffGUIEditor::setKnobMode(isOn(value) ? kLinearMode : kCircularMode);
      break;
    default: break;
  }
}

void ControlsDemoEditor::valueChanged(CControl* control) {
  CMyPresetSystemEditor::valueChanged(control);
  const int32_t tag = control->getTag();
  const float value = control->getValue();
  switch (tag) {
    case kPower:
    case kDrive:
    case kMix:
    case kMeterSource:
    case kChannel: static_cast<AudioEffectX*>(effect)->setParameterAutomated(tag, value); break;
    case kMeterScale:
    case kKnobModeParam:
      // Preferences: the effect keeps them, the host is not told.
      effect->setParameter(tag, value);
      control->invalid();
      break;
    case kLampTag:
      if (lamp) lamp->reset();
      break;
    default: break;
  }
}

void ControlsDemoEditor::openValueEntry(int32_t tag) {
  if (!page || !valueEntryField || (tag != kDrive && tag != kMix)) return;
  const float v = effect->getParameter(tag);
  char text[32];
  if (tag == kDrive)
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(driveDb(v)));
  else
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(v * 100));
  if (!valueEntryField->getParentView()) page->addView(valueEntryField);
  valueEntryField->setText(text);
  valueEntryField->beginEdit();
  frame->setFocusView(valueEntryField);
  valueEntryField->activateForTag(tag);
}

void ControlsDemoEditor::valueEntered(int32_t tag, const char* text) {
  if (page && valueEntryField) page->removeView(valueEntryField, false);
  if (tag != kDrive && tag != kMix) return;
  const auto typed = static_cast<float>(std::atof(text));
  const float value = tag == kDrive ? (typed + kDriveRangeDb) / (2 * kDriveRangeDb) : typed / 100;
  effect->setParameter(tag, std::clamp(value, 0.0f, 1.0f));
  if (page) page->setDirty();
}

}  // namespace controlsdemo

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new controlsdemo::ControlsDemoEffect(audioMaster);
}
