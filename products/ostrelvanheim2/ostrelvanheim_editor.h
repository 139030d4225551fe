// The product editor of every plug-in of the family: a window of two pages
// (the processing controls with the meters, the clip lamps or needle meters,
// the counter and the delay readouts in front; the product's settings and
// meter preferences behind),
// the preset strip below both, built from the product's tables
// (products/ostrelvanheim2/editor_traits.h). It keeps the controls in step
// with the effect, routes the controls' changes to the effect and the host,
// shows the meters and clip lamps, the value under the pointer on the counter,
// and takes typed values over the counter.
//
// The editor object lives as long as its effect; the window, its pages and
// controls exist only between open and close, and every operation works
// whether or not they do.
//
// Thread contract: open, close, idle, the controls' reports and typed entry
// run on the window's thread (the thread that opened the window). The effect
// may call setParameter (host automation, often from the audio thread),
// updateDelayDisplays (its resume) and resetMeters (its suspend) from any
// thread: on another thread than the window's they draw nothing, make no
// window-system call, allocate nothing and take no lock; they leave a request
// in atomics that the window's thread carries out at its next idle. The meter
// hand-off with the audio thread goes through EditorEffect.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "controls/controls.h"
#include "products/ostrelvanheim2/editor_traits.h"

// What a product effect offers its editor besides the host parameters.
class EditorEffect {
 public:
  // A parameter in display units, for the counter, the readouts and typed entry.
  virtual float getParameterPlainValue(VstInt32 index) = 0;
  // The value a control shows for a parameter: the stored value, or where
  // the processing reads the stored value by a rule of its own, the value
  // that shows what runs.
  virtual float getControlValue(VstInt32 index) = 0;
  virtual float getDelayMs() = 0;
  virtual float getDelaySamples() = 0;
  virtual bool refreshHook() = 0;
  // The meter hand-off (channel 0 left, 1 right), safe against the audio
  // thread: the level, and the over flag taken and left at 0 in one step.
  virtual float editorMeterLevel(int channel) = 0;
  virtual float takeEditorOverFlag(int channel) = 0;
  // Metering runs while this is set.
  virtual void setEditorIsOpen(bool open) = 0;
  // The meters' scale (0 or 1) and the Meters switch's stored value.
  virtual int getMeterScaleMode() = 0;
  virtual float getMetersValue() = 0;

 protected:
  ~EditorEffect() = default;
};

class OstrelvanheimEditor : public CMyPresetSystemEditor {
 public:
  OstrelvanheimEditor(CPresetSystemEffect* effect, EditorEffect* source,
                      const OstrelvanheimEditorTraits& traits);
  // Deleted with its window open (its effect going away): the window closes
  // without reaching the effect.
  ~OstrelvanheimEditor() override;

  // Builds the frame, both pages with every control from the effect's current
  // values, the preset strip and the knob mode; false, with nothing left
  // behind, without the front picture or a needle meter's pictures. The
  // front page shows first.
  bool open(void* parent) override;
  void close() override;
  // The requests other threads left, the preset strip and the paint pass,
  // then (front page shown) meters, clip lamps and the hover readout.
  void idle() override;
  // The knob mode follows the product's Knob Mode parameter only.
  bool setKnobMode(VstInt32 /*mode*/) override { return false; }

  // The effect tells of a changed parameter (any index): the controls, the
  // counter and the readouts follow the effect's value. Any thread.
  void setParameter(VstInt32 index, float value) override;
  // Delay readouts afresh (the effect's resume). Any thread.
  void updateDelayDisplays();
  // Meters and needles to rest, clip lamps off (the effect's suspend). Any thread.
  void resetMeters();
  // The hidden page in the shown one's place, below the preset strip; the
  // shown one kept aside.
  void swapPages();

  void valueChanged(jyxui::CControl* control) override;
  void openValueEntry(int32_t tag) override;
  void valueEntered(int32_t tag, const char* text) override;

  // ---- what tests and tools look at ----
  const OstrelvanheimEditorTraits& traits() const { return traits_; }
  // The view built from a row of the traits' tables; null while closed or
  // when its bitmap was missing.
  jyxui::CView* viewOf(const EditorControl* row) const;
  jyxui::CViewContainer* getFrontPage() const { return frontPage; }
  jyxui::CViewContainer* getBackPage() const { return backPage; }
  jyxui::CViewContainer* getShownPage() const { return shownPage; }
  CMyTextEdit* getValueEntryField() const { return valueEntryField; }
  int32_t getHoverCount() const { return hoverCount; }

 private:
  using Views = std::vector<jyxui::CView*>;
  class OpenBitmaps;

  // ---- window ----
  // False when the page cannot be had without a control that is missing.
  bool buildPage(std::span<const EditorControl> rows, jyxui::CViewContainer* page, Views& views,
                 OpenBitmaps& bitmaps);
  jyxui::CView* build(const EditorControl& row, jyxui::CViewContainer* page, OpenBitmaps& bitmaps);
  jyxui::CControl* buildNeedleMeter(const EditorControl& row, OpenBitmaps& bitmaps);
  void abandonOpen();
  void startControl(const EditorControl& row, jyxui::CControl& control);
  void closeWindow();
  const EditorControl* rowOf(const jyxui::CView* view) const;
  template <typename Action>
  void forEachBuilt(Action action) const;

  // ---- refresh, on the window's thread ----
  void followParameter(VstInt32 index, float value);
  void setKnobModeFrom(float value);
  void refreshDelayReadouts();
  void resetMetersNow();
  void resetLamps();
  void showMeters();
  void hoverReadout();
  void blankCounterAfterHover();
  float readoutValue(const EditorControl& row);
  void channelModeGesture(int32_t tag, float value);

  // ---- requests from other threads ----
  bool onWindowThread() const;
  void carryOutRequests();
  bool isPageSwitch(VstInt32 index) const;

  EditorEffect* source_;
  const OstrelvanheimEditorTraits& traits_;

  // The controls of the two tables, in their rows' order (null: not built).
  Views frontViews, backViews;
  // The controls the idle pass and the refresh use directly.
  std::array<CMovieMeter*, 2> meters{};
  std::array<CMovieLED*, 2> lamps{};
  std::array<COldVuMeter*, 2> needles{};
  CCounter* counter = nullptr;
  jyxui::CControl* channelButton = nullptr;
  jyxui::CViewContainer* frontPage = nullptr;
  jyxui::CViewContainer* backPage = nullptr;
  jyxui::CViewContainer* shownPage = nullptr;
  jyxui::CViewContainer* hiddenPage = nullptr;  // detached from the frame, the editor's own
  CMyTextEdit* valueEntryField = nullptr;       // attached only while a value is typed
  int32_t hoverCount = 0;
  int32_t idleTicks = 0;
  const jyxui::CView* lastHoveredView = nullptr;

  // Requests for the window's thread: per index a value, its place in the
  // order of the requests and a bit, page swaps by count, and the two
  // operations of suspend and resume.
  static constexpr int kIndexSlots = 128;
  enum Work : unsigned { kDelayDisplays = 1u << 0, kResetMeters = 1u << 1 };
  std::array<std::atomic<float>, kIndexSlots> pendingValues{};
  std::array<std::atomic<std::uint64_t>, kIndexSlots> pendingOrder{};
  std::atomic<std::uint64_t> requestCount{0};
  std::array<std::atomic<std::uint64_t>, kIndexSlots / 64> pendingIndices{};
  std::atomic<unsigned> pendingSwaps{0};
  std::atomic<unsigned> pendingWork{0};
  std::atomic<std::thread::id> windowThread{};
};
