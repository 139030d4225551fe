// What the editor tests of every product share: a host that logs what it
// hears, the editor of a real effect on an offscreen frame with the real
// skin, and reading back what the window drew.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
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

  // ---- painting what changed ----

  // The same run of idles on this window and on a twin whose every paint
  // pass paints it whole, both fed the same levels and overs and given the
  // same clicks: after every idle this window shows what the twin shows,
  // though it was sent a small part of the pixels.
  void expectChangesPaintedLeaveTheWholePicture() {
    open();
    std::unique_ptr<Effect> twinFx = makeEffect();
    OstrelvanheimEditor* twin = twinFx->productEditor();
    ASSERT_TRUE(twin->open(nullptr));
    twin->idle();  // as open() idles once
    struct Side {
      Effect& effect;
      OstrelvanheimEditor& editor;
      OffscreenWindow& window;
    };
    Side sides[] = {{*fx, *ed, window()}, {*twinFx, *twin, *OffscreenWindow::of(twin->getFrame())}};
    Side& whole = sides[1];
    std::vector<const EditorControl*> meters, lamps;
    for (const EditorControl& row : traits().front) {
      if (row.kind == EditorControlKind::LevelMeter || row.kind == EditorControlKind::NeedleMeter)
        meters.push_back(&row);
      if (row.kind == EditorControlKind::ClipLamp) lamps.push_back(&row);
    }
    ASSERT_EQ(meters.size(), 2u);
    const bool levelMeters = meters[0]->kind == EditorControlKind::LevelMeter;
    // Clicking a lamp, or a needle meter where there are no clip lamps, puts out both lamps.
    const EditorControl* lampOff = lamps.empty() ? meters[1] : lamps[1];

    bool same = true;
    long idles = 0;
    auto run = [&](const char* what, int count, const std::function<void(Side&, int)>& before) {
      for (int i = 0; i < count && same; ++i, ++idles) {
        for (Side& side : sides) {
          if (before) before(side, i);
          side.window.advanceTime(20);
          // The twin paints everything in both of its passes.
          if (&side == &whole) side.editor.getFrame()->invalid();
          side.editor.idle();
          if (&side == &whole) side.editor.getFrame()->invalid();
          side.editor.getFrame()->idle();  // what the idle's meter step changed
        }
        const PixelBuffer& shown = window().screen();
        const PixelBuffer& expected = whole.window.screen();
        for (int y = 0; y < shown.height() && same; ++y)
          for (int x = 0; x < shown.width() && same; ++x)
            if (shown.pixel(x, y) != expected.pixel(x, y)) {
              same = false;
              ADD_FAILURE() << what << ", idle " << i << " (" << idles << " in all): pixel " << x << "," << y
                            << " differs from a whole repaint";
            }
      }
    };
    auto feed = [](Side& side, float left, float right, float overLeft = 0, float overRight = 0) {
      side.effect.engine().meterLevels[0] = left;
      side.effect.engine().meterLevels[1] = right;
      if (overLeft != 0) side.effect.engine().overFlags[0] = overLeft;
      if (overRight != 0) side.effect.engine().overFlags[1] = overRight;
    };
    auto sway = [](int i, double phase) {
      return static_cast<float>(0.5 + 0.4 * std::sin(0.37 * i + phase));
    };
    auto click = [](Side& side, const EditorControl& row) {
      side.window.advanceTime(1000);
      side.window.click(centreOf(row));
    };

    run("the meters swing", 40, [&](Side& side, int i) { feed(side, sway(i, 0), sway(i, 1.5)); });
    run("an over on the left, its lamp steps down and holds", 8,
        [&](Side& side, int i) { feed(side, sway(i, 0), sway(i, 1.5), i == 0 ? 1.0f : 0.0f); });
    run("the levels jump across the scale, overs on both sides", 9, [&](Side& side, int i) {
      const float over = i % 3 == 0 ? 1.0f : 0.0f;
      feed(side, i % 2 ? 1.44f : 0.0f, i % 2 ? 0.0f : 1.44f, over, over);
    });
    run("a click puts out both lamps", 1, [&](Side& side, int) {
      feed(side, 0.3f, 0.6f);
      click(side, *lampOff);
    });
    run("levels beyond the strip and below nothing", 4, [&](Side& side, int i) {
      const float levels[] = {2.5f, -0.3f, 1.6f, 0.0f};
      feed(side, levels[i], levels[3 - i], 1.0f);
    });
    if (levelMeters)
      run("a click on a meter switches both scales", 3, [&](Side& side, int i) {
        feed(side, sway(i, 0), sway(i, 1.5));
        if (i == 0) click(side, *meters[0]);
      });
    // The meters rest while a lamp's click is shown at once (an expose):
    // that pass draws a meter's new image over the lamp's rows only.
    run("a click shown before the idle", 2, [&](Side& side, int i) {
      if (i != 0) return;
      feed(side, 0.9f, 0.9f, 1.0f, 1.0f);
      side.editor.idle();
      side.editor.getFrame()->idle();
      side.editor.resetMeters();
      const auto rest = [&](int c) {
        return static_cast<CControl*>(side.editor.viewOf(meters[c]))->getValue();
      };
      feed(side, rest(0), rest(1));  // and they stay at rest
      click(side, *lampOff);
      side.window.expose(PixelRect{0, 0, 4, 4});
    });
    const EditorControl* knob = nullptr;
    for (const EditorControl& row : traits().front)
      if (!knob && (row.kind == EditorControlKind::Knob || row.kind == EditorControlKind::ColumnKnob))
        knob = &row;
    ASSERT_NE(knob, nullptr);
    run("the pointer rests on a knob: the counter shows its value", 12, [&](Side& side, int i) {
      side.window.setPointer(centreOf(*knob));
      feed(side, sway(i, 0.3), sway(i, 2));
    });
    run("the back page and the front page again", 3, [&](Side& side, int i) {
      feed(side, sway(i, 0), sway(i, 1));
      if (i < 2) side.editor.swapPages();
    });
    run("nothing changes", 10, [&](Side& side, int) { feed(side, 0.4f, 0.7f); });
    EXPECT_TRUE(same);
    EXPECT_LT(window().presentedPixels(), whole.window.presentedPixels() / 8)
        << "sent " << window().presentedPixels() << " pixels against the whole repaint's "
        << whole.window.presentedPixels();
    twin->close();
  }

  // With levels that show the pictures already on the screen, an idle paints
  // and sends nothing: the same levels, and (for film-strip meters) levels
  // that stay within their images.
  void expectUnchangedPicturesPaintNothing(std::int32_t knobTag) {
    open();
    window().setPointer(centreOf(*rowOf(knobTag)));  // the counter keeps its value
    auto feed = [&](float left, float right) {
      fx->engine().meterLevels[0] = left;
      fx->engine().meterLevels[1] = right;
      window().advanceTime(20);
      idle();
    };
    for (int i = 0; i < 12; ++i) feed(0.5f, 0.25f);
    const std::uint64_t passes = frame()->getPaintPassCount();
    const int presents = window().presentCount();
    for (int i = 0; i < 30; ++i) feed(0.5f, 0.25f);
    if (findControl(traits().front, EditorControlKind::LevelMeter))
      for (int i = 0; i < 30; ++i) feed(0.5f + 0.0001f * static_cast<float>(i % 3), 0.25f);
    EXPECT_EQ(frame()->getPaintPassCount(), passes);
    EXPECT_EQ(window().presentCount(), presents);
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
