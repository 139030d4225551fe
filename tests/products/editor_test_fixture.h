// What the editor tests of every product share: a host that logs what it
// hears, the editor of a real effect on an offscreen frame with the real
// skin, and reading back what the window drew.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "products/ostrelvanheim2/ostrelvanheim_editor.h"
#include "tests/support/settings_sandbox.h"
#include "ui/backend/offscreen.h"
#include "ui/testing/draw_recorder.h"

namespace editortest {

using namespace jyxui;

// What the host hears: gestures and automation, one line each.
inline std::mutex gHostMutex;
inline std::vector<std::string> gHost;

inline VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
  char line[64] = "";
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterAutomate: std::snprintf(line, sizeof line, "automate %d %.6f", index, opt); break;
    case audioMasterBeginEdit: std::snprintf(line, sizeof line, "begin %d", index); break;
    case audioMasterEndEdit: std::snprintf(line, sizeof line, "end %d", index); break;
    default: return 0;
  }
  std::lock_guard<std::mutex> lock(gHostMutex);
  gHost.push_back(line);
  return 0;
}

inline std::vector<std::string> takeHostLog() {
  std::lock_guard<std::mutex> lock(gHostMutex);
  std::vector<std::string> lines;
  lines.swap(gHost);
  return lines;
}

inline CPoint centreOf(const EditorControl& row) {
  return CPoint((row.rect.left + row.rect.right) / 2.0, (row.rect.top + row.rect.bottom) / 2.0);
}

// The image a control of that kind shows for a value, by its drawing law.
inline int imageFor(const EditorControl& row, float v) {
  using enum EditorControlKind;
  const int last = row.images - 1;
  switch (row.kind) {
    case OnOffButton: return v >= 0.5f ? 1 : 0;
    case ThreeWaySwitch: return std::min(static_cast<int>(3.0f * v), 2);
    case ChannelButton: return v >= 0.75f ? 3 : v >= 0.5f ? 2 : v >= 0.25f ? 1 : 0;
    case KnobModeSwitch: return static_cast<int>(v * static_cast<float>(last) + 0.5f);
    default: return std::clamp(static_cast<int>(std::floor(static_cast<float>(last) * v)), 0, last);
  }
}

// One gesture on the window: what comes before it, the gesture, the lines
// the host hears of it (nothing else), and what must hold after it.
struct GestureCase {
  const char* what;
  std::function<void()> before;
  std::function<void()> gesture;
  std::vector<std::string> host;
  std::function<void()> after;
};

// The editor of an Effect (which makes its editor from the tables traits()
// gives) with the window opened offscreen on demand; the test must leave no
// object behind.
template <class Effect>
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    takeHostLog();
    objectsBefore = liveObjectCount();
    fx = makeEffect();
    ed = fx->productEditor();
    ASSERT_NE(ed, nullptr);
    e = fx->getAeffect();
  }
  void TearDown() override {
    if (ed && ed->getFrame()) ed->close();
    fx.reset();
    EXPECT_EQ(liveObjectCount(), objectsBefore) << "the window left objects behind";
  }
  virtual std::unique_ptr<Effect> makeEffect() = 0;
  virtual const OstrelvanheimEditorTraits& traits() const = 0;

  const EditorControl* rowOf(std::int32_t tag) const {
    if (const EditorControl* r = findTagged(traits().front, tag)) return r;
    return findTagged(traits().back, tag);
  }
  bool onBackPage(const EditorControl* row) const {
    const std::span<const EditorControl> back = traits().back;
    return row >= back.data() && row < back.data() + back.size();
  }

  // Opens the window offscreen and paints it once.
  void open() {
    ASSERT_TRUE(ed->open(nullptr));
    frame()->setDrawObserver(&recorder);
    idle();
    takeHostLog();
  }
  CFrame* frame() const { return ed->getFrame(); }
  OffscreenWindow& window() const { return *OffscreenWindow::of(frame()); }
  void idle(int times = 1) {
    for (int i = 0; i < times; ++i) ed->idle();
  }
  void resume() { e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f); }
  void suspend() { e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f); }

  CView* viewOf(const EditorControl* row) const { return ed->viewOf(row); }
  CControl* control(std::int32_t tag) const { return dynamic_cast<CControl*>(ed->viewOf(rowOf(tag))); }
  // Shows the page the row lies on.
  void showPageOf(const EditorControl* row) {
    const bool back = onBackPage(row);
    if ((ed->getShownPage() == ed->getBackPage()) != back) ed->swapPages();
    idle();
  }
  // A click a second after the last one: never half of a double click.
  void click(const CPoint& where, CButtonState buttons = kLButton) {
    window().advanceTime(1000);
    window().click(where, buttons);
  }

  // The image last drawn for the view.
  int imageShown(const CView* view, CCoord imageHeight) const {
    const std::vector<BitmapDrawing> drawn = recorder.bitmapsOf(view);
    if (drawn.empty()) return -1;
    return static_cast<int>(drawn.back().source.y / imageHeight);
  }
  int imageShown(const EditorControl* row) const {
    const CView* view = viewOf(row);
    return imageShown(view, view->getViewSize().getHeight());
  }
  // The six glyphs the counter last drew.
  std::string counterText() const {
    static const char* const kGlyphs[] = {"0", "1", "2", "3", "4", "5", "6",  "7",  "8",
                                          "9", ".", "k", "+", "-", "%", "dB", "Hz", " "};
    const std::vector<BitmapDrawing> drawn =
        recorder.bitmapsOf(viewOf(findControl(traits().front, EditorControlKind::Counter)));
    if (drawn.size() < 6) return "(not drawn)";
    std::string text;
    for (std::size_t i = drawn.size() - 6; i < drawn.size(); ++i)
      text += kGlyphs[static_cast<int>(drawn[i].source.y / 17)];
    return text;
  }
  std::string readoutText(const EditorControl* row) const {
    const StringDrawing* s = recorder.lastStringOf(viewOf(row));
    return s ? s->text : "(not drawn)";
  }

  // ---- what every product's editor must hold ----

  // Each case in turn on the open window, from an idle and an empty host log.
  void expectGestures(std::span<const GestureCase> cases) {
    for (const GestureCase& c : cases) {
      SCOPED_TRACE(c.what);
      if (c.before) c.before();
      idle();
      takeHostLog();
      c.gesture();
      EXPECT_EQ(takeHostLog(), c.host);
      if (c.after) c.after();
    }
  }

  // The audio thread processing, a host thread automating the indices and
  // suspending, the window's thread idling with the pointer on the controls:
  // nothing of the window is touched but from its own thread (the thread
  // sanitizer build checks it).
  void runAudioAutomationAndTheWindowTogether(std::span<const VstInt32> indices) {
    open();
    resume();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
      std::vector<float> in(256), outL(256), outR(256);
      for (std::size_t i = 0; i < in.size(); ++i) in[i] = (i / 16) % 2 ? 1.1f : -1.1f;
      float* ins[2] = {in.data(), in.data()};
      float* outs[2] = {outL.data(), outR.data()};
      while (!stop) e->processReplacing(e, ins, outs, 256);
    });
    std::thread automation([&] {
      for (int round = 0; !stop; ++round) {
        for (VstInt32 i : indices) fx->setParameter(i, static_cast<float>((round * 7 + i) % 10) / 9.0f);
        ed->resetMeters();
        ed->updateDelayDisplays();
      }
    });
    for (int i = 0; i < 150; ++i) {
      const std::span<const EditorControl> front = traits().front;
      window().setPointer(centreOf(front[static_cast<std::size_t>(i) % front.size()]));
      window().advanceTime(20);
      idle();
    }
    stop = true;
    audio.join();
    automation.join();
    idle();
  }

  // After any number of page swaps the preset strip lies above the page
  // shown: each of its controls is drawn whole and takes the clicks on its
  // top row, where a page may reach into the strip's row.
  void expectTheStripAboveThePagesAfterSwaps() {
    open();
    std::vector<CView*> strip;
    for (int32_t i = 0; i < frame()->getNbViews(); ++i)
      if (CView* v = frame()->getView(i); v != ed->getFrontPage() && v != ed->getBackPage())
        strip.push_back(v);
    ASSERT_FALSE(strip.empty());
    auto stripPixels = [&] {
      std::vector<CColor> pixels;
      for (const CView* v : strip) {
        const CRect r = v->getViewSize();
        for (int y = static_cast<int>(std::floor(r.top)); y < static_cast<int>(std::ceil(r.bottom)); ++y)
          for (int x = static_cast<int>(std::floor(r.left)); x < static_cast<int>(std::ceil(r.right)); ++x)
            pixels.push_back(frame()->getPixels().pixel(x, y));
      }
      return pixels;
    };
    const std::vector<CColor> drawn = stripPixels();
    for (int swap = 1; swap <= 4; ++swap) {
      SCOPED_TRACE("after swap " + std::to_string(swap));
      ed->swapPages();
      idle();
      EXPECT_TRUE(stripPixels() == drawn) << "the strip is drawn as before";
      int32_t page = 0;
      while (frame()->getView(page) != ed->getShownPage()) ++page;
      for (const CView* v : strip) {
        int32_t at = 0;
        while (frame()->getView(at) != v) ++at;
        EXPECT_LT(page, at) << "the page lies below the strip";
        const CRect r = v->getViewSize();
        EXPECT_EQ(frame()->getViewAt(CPoint((r.left + r.right) / 2, r.top), true), v);
      }
    }
  }

  // Three rounds of open and close, one of them closed while a value is
  // typed for typedTag (the typed value still counts): nothing stays behind,
  // metering stops, and every open shows the front page.
  void closeAndOpenAgain(std::int32_t typedTag) {
    const long baseline = liveObjectCount();
    for (int round = 0; round < 3; ++round) {
      open();
      ed->swapPages();
      if (round == 1) ed->swapPages();
      if (round == 2) {
        ed->openValueEntry(typedTag);
        window().type("0");
      }
      ed->close();
      EXPECT_EQ(liveObjectCount(), baseline) << "round " << round;
      EXPECT_EQ(ed->getFrame(), nullptr);
      EXPECT_EQ(ed->getShownPage(), nullptr);
      EXPECT_EQ(ed->getValueEntryField(), nullptr);
      EXPECT_EQ(fx->engine().editorIsOpen, 0);
    }
    open();
    EXPECT_EQ(ed->getShownPage(), ed->getFrontPage()) << "every open shows the front page";
  }

  testsupport::SettingsSandbox sandbox;
  std::unique_ptr<Effect> fx;
  OstrelvanheimEditor* ed = nullptr;
  AEffect* e = nullptr;
  testkit::DrawRecorder recorder;
  long objectsBefore = 0;
};

// The same for a product whose tables are known when the test is written.
template <class Effect, const OstrelvanheimEditorTraits& Traits>
class ProductEditorTest : public EditorTest<Effect> {
 protected:
  const OstrelvanheimEditorTraits& traits() const override { return Traits; }
};

}  // namespace editortest
