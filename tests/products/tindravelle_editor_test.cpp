// The editor of JYX Tindravelle on an offscreen frame, with the real effect
// and the real skin: the window's size and pages, every control where its
// table puts it, typed values, what the host hears of each gesture, the
// needle meters and their lamps, the hover readout, and an open that cannot
// be had.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "products/tindravelle/editor_layout.h"
#include "products/tindravelle/tindravelle.h"
#include "tests/products/editor_test_fixture.h"

namespace {

using namespace jyxui;
using namespace editortest;
namespace layout = tindravelle::editor;
using enum EditorControlKind;

class TindravelleEditor : public ProductEditorTest<Tindravelle, tindravelle::kEditorTraits> {
 protected:
  std::unique_ptr<Tindravelle> makeEffect() override { return std::make_unique<Tindravelle>(&host); }

  std::vector<const EditorControl*> needleRows() const {
    std::vector<const EditorControl*> rows;
    for (const EditorControl& row : layout::kFront)
      if (row.kind == NeedleMeter) rows.push_back(&row);
    return rows;
  }
  COldVuMeter* needle(int channel) const {
    return dynamic_cast<COldVuMeter*>(viewOf(needleRows().at(static_cast<std::size_t>(channel))));
  }
  // The lamp image the meter last drew: 0 over, 1 held, 2 off.
  int lampShown(int channel) const {
    const std::vector<BitmapDrawing> drawn = recorder.bitmapsOf(needle(channel));
    for (auto it = drawn.rbegin(); it != drawn.rend(); ++it)
      if (it->resource.id == layout::kLeftNeedle.lampBitmap) return static_cast<int>(it->source.y / 21);
    return -1;
  }
  // Paints what the last idle's meter step changed (the idle paints first).
  void paint() { frame()->idle(); }
  // As the audio thread leaves them for the editor.
  void meterFeed(int channel, float level, float over) {
    fx->engine().meterLevels[channel] = level;
    fx->engine().overFlags[channel] = over;
  }
};

// ---------------------------------------------------------------- open

// The host is told of a window one row shorter than the panel: the panel's
// last row is plain, so nothing of meaning is lost.
TEST_F(TindravelleEditor, OpensOnTheFrontPageWithEveryControlInPlace) {
  ERect* r = nullptr;
  ASSERT_EQ(e->dispatcher(e, effEditGetRect, 0, 0, &r, 0.0f), 1);
  EXPECT_EQ((std::vector<int>{r->top, r->left, r->bottom, r->right}), (std::vector<int>{0, 0, 376, 450}));
  EXPECT_EQ(fx->engine().editorIsOpen, 0);
  open();
  EXPECT_EQ(fx->engine().editorIsOpen, 1) << "metering runs while the window is open";
  EXPECT_EQ(frame()->getViewSize(), CRect(0, 0, 450, 377));
  EXPECT_EQ(ed->getShownPage(), ed->getFrontPage());
  EXPECT_EQ(ed->getFrontPage()->getViewSize(), CRect(0, 0, 450, 361));
  EXPECT_EQ(ed->getBackPage()->getViewSize(), CRect(0, 0, 450, 358));
  EXPECT_EQ(ed->getBackPage()->getParentView(), nullptr) << "the back page waits outside the frame";

  for (const EditorControl& row : layout::kFront) {
    CView* view = viewOf(&row);
    ASSERT_NE(view, nullptr) << "tag " << row.tag;
    EXPECT_EQ(view->getViewSize(), CRect(row.rect.left, row.rect.top, row.rect.right, row.rect.bottom))
        << "tag " << row.tag;
    EXPECT_EQ(view->getParentView(), row.kind == ValueField ? nullptr : ed->getFrontPage()) << row.tag;
  }
  for (const EditorControl& row : layout::kBack) {
    ASSERT_NE(viewOf(&row), nullptr) << "tag " << row.tag;
    EXPECT_EQ(viewOf(&row)->getParentView(), ed->getBackPage()) << "tag " << row.tag;
  }

  // Both needles on the effect's levels, both lamps off.
  for (int c = 0; c < 2; ++c) {
    SCOPED_TRACE(c);
    COldVuMeter* meter = needle(c);
    EXPECT_EQ(meter->getValue(), fx->editorMeterLevel(c));
    EXPECT_EQ(meter->getMax(), 2.0f);
    EXPECT_EQ(lampShown(c), 2);
    const NeedleMeterLayout& n = c == 0 ? layout::kLeftNeedle : layout::kRightNeedle;
    EXPECT_EQ(meter->getPivot(), CPoint(n.pivot.x, n.pivot.y));
    EXPECT_EQ(meter->getLampRect(), CRect(n.lampAt.x, n.lampAt.y, n.lampAt.x + 21, n.lampAt.y + 21));
    EXPECT_EQ(meter->getOverlayRect(), CRect(n.overlayAt.x, 86, n.overlayAt.x + 146, 127));
  }
  EXPECT_EQ(counterText(), "+15.3dB");
  EXPECT_EQ(readoutText(findReadout(layout::kFront, ReadoutSource::DelayMs)), "1.43ms");
  EXPECT_EQ(readoutText(findReadout(layout::kFront, ReadoutSource::DelaySamples)), "63smps");

  ed->swapPages();
  idle();
  const struct {
    std::int32_t index;
    const char* text;
  } kBackTexts[] = {{23, "300ms"}, {24, "-14.2dBFS"}, {25, "9.05ms"}, {26, "1.000s"}, {27, "3"}};
  for (const auto& c : kBackTexts)
    EXPECT_EQ(readoutText(findReadout(layout::kBack, ReadoutSource::PlainValue, c.index)), c.text) << c.index;
  EXPECT_EQ(recorder.lastStringOf(viewOf(findControl(layout::kBack, Label)))->text, "v2.5.0");
}

// A new rate takes effect at the next suspend and resume: the delay
// readouts then show what the host is told, also when the host resumes from
// another thread.
TEST_F(TindravelleEditor, TheDelayReadoutsFollowARateChangeAtResume) {
  open();
  const EditorControl* ms = findReadout(layout::kFront, ReadoutSource::DelayMs);
  const EditorControl* samples = findReadout(layout::kFront, ReadoutSource::DelaySamples);
  const struct {
    float rate;
    bool fromAnotherThread;
    int delay;
    const char *msText, *samplesText;
  } kCases[] = {{96000.0f, false, 127, "1.32ms", "127smps"}, {192000.0f, true, 255, "1.33ms", "255smps"}};
  for (const auto& c : kCases) {
    auto rateChange = [&] {
      suspend();
      e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, c.rate);
      resume();
    };
    if (c.fromAnotherThread)
      std::thread(rateChange).join();
    else
      rateChange();
    idle();
    EXPECT_EQ(e->initialDelay, c.delay);
    EXPECT_EQ(readoutText(ms), c.msText) << c.rate;
    EXPECT_EQ(readoutText(samples), c.samplesText) << c.rate;
  }
}

// The knob mode is read at open only: automation meanwhile waits for the next.
TEST_F(TindravelleEditor, KnobModeComesFromItsParameterAtOpen) {
  for (const auto& [value, mode] : {std::pair{0.4f, kCircularMode}, std::pair{0.5f, kLinearMode}}) {
    fx->setParameter(28, value);
    open();
    EXPECT_EQ(ed->getKnobMode(), mode) << value;
    fx->setParameter(28, 1.0f - value);
    idle();
    EXPECT_EQ(ed->getKnobMode(), mode) << "unchanged until the window opens again";
    ed->close();
  }
}

// ---------------------------------------------------------------- every control

// Each control takes the click at its centre and shows the image its law
// gives for the effect's value at 0, 0.5 and 1.
TEST_F(TindravelleEditor, EveryControlTakesItsClickAndShowsItsValue) {
  open();
  std::vector<const EditorControl*> painted;
  for (std::span<const EditorControl> table :
       {std::span<const EditorControl>(layout::kFront), std::span<const EditorControl>(layout::kBack)}) {
    for (const EditorControl& row : table) {
      if (row.tag < 0 || row.kind == Counter || row.kind == ValueField) continue;
      showPageOf(&row);
      EXPECT_EQ(ed->getShownPage()->getViewAt(centreOf(row), true), viewOf(&row)) << "tag " << row.tag;
      if (row.kind != PageSwitch && row.kind != NeedleMeter) painted.push_back(&row);
    }
  }
  for (const EditorControl* row : painted) {
    showPageOf(row);
    for (float v : {0.0f, 0.5f, 1.0f}) {
      fx->setParameter(row->tag, v);
      idle();
      EXPECT_EQ(imageShown(row), imageFor(*row, fx->getControlValue(row->tag)))
          << "tag " << row->tag << " at " << v;
    }
  }
}

// The Stereo-Mono button and the Meters switch show what runs at the exact
// thresholds: at 0.5 the mono kernel, and a click makes it stereo; at
// 0.3333333 the input on the meters, which also rest as the input's at a
// suspend.
TEST_F(TindravelleEditor, TheStereoButtonAndTheMetersSwitchShowWhatRuns) {
  open();
  const EditorControl* stereo = rowOf(tindravelle::kStereoMono);
  for (const auto& [value, image] : {std::pair{0.5f, 0}, std::pair{std::nextafter(0.5f, 1.0f), 1}}) {
    fx->setParameter(tindravelle::kStereoMono, value);
    idle();
    EXPECT_EQ(imageShown(stereo), image) << value;
  }
  fx->setParameter(tindravelle::kStereoMono, 0.5f);
  idle();
  takeHostLog();
  click(centreOf(*stereo));
  EXPECT_EQ(takeHostLog(), (std::vector<std::string>{"begin 2", "automate 2 1.000000", "end 2"}));

  const EditorControl* meters = rowOf(tindravelle::kMeters);
  for (const auto& [value, image, rest] :
       {std::tuple{0.3333333f, 0, 0.0f}, std::tuple{0.3f, 0, 0.0f}, std::tuple{0.7f, 2, 0.0f},
        std::tuple{std::nextafter(0.3333333f, 1.0f), 1, 1.0f}}) {
    fx->setParameter(tindravelle::kMeters, value);
    idle();
    EXPECT_EQ(imageShown(meters), image) << value;
    suspend();
    EXPECT_EQ(needle(0)->getValue(), rest) << value;
  }
}

// ---------------------------------------------------------------- typed values

TEST_F(TindravelleEditor, TypedValuesGoThroughTheInverseOfTheirDisplay) {
  const struct {
    std::int32_t tag;
    const char* shownAtHalf;  // the field's text for the value 0.5
    const char* typed;
    float stored;
  } kCases[] = {
      {4, "50.0", "50", 0.5f},  {4, "50.0", "150", 1.0f},  {12, "50.0", "25", 0.25f},
      {12, "50.0", "-5", 0.0f}, {5, "1.00", "1", 0.5f},    {5, "1.00", "4", 1.0f},
      {5, "1.00", "0", 0.0f},   {5, "1.00", "-2", 0.0f},   {6, "0.00", "-6", 0.375f},
      {6, "0.00", "24", 1.0f},  {9, "0.0", "-12", 0.0f},   {11, "0.0", "6", 0.75f},
      {13, "0.0", "abc", 0.5f}, {13, "0.0", "1e30", 1.0f},
  };
  open();
  CMyTextEdit* field = ed->getValueEntryField();
  ASSERT_NE(field, nullptr);
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.tag) + " '" + c.typed + "'");
    fx->setParameter(c.tag, 0.5f);
    ed->openValueEntry(c.tag);
    EXPECT_STREQ(field->getText(), c.shownAtHalf);
    window().pressKey(VKEY_ESCAPE);
    ed->valueEntered(c.tag, c.typed);
    EXPECT_FLOAT_EQ(fx->getParameter(c.tag), c.stored);
  }
  EXPECT_TRUE(takeHostLog().empty()) << "a typed value is not automation";

  // Typing the shown value back gives the parameter again.
  for (const ValueEntryRule& rule : layout::kValueEntries) {
    fx->setParameter(rule.tag, 0.7f);
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(fx->getParameterPlainValue(rule.tag)));
    ed->valueEntered(rule.tag, text);
    EXPECT_NEAR(fx->getParameter(rule.tag), 0.7f, 1e-5) << rule.tag;
  }
  // A tag without a law sets nothing.
  for (std::int32_t tag : {0, 14, 17, 23, layout::kValueFieldTag}) {
    const float before = fx->getParameter(tag);
    ed->valueEntered(tag, "0.9");
    EXPECT_EQ(fx->getParameter(tag), before) << tag;
  }
}

// ---------------------------------------------------------------- routes

TEST_F(TindravelleEditor, EachGestureReachesTheHostAsItsParameterSays) {
  auto at = [this](std::int32_t tag) { return centreOf(*rowOf(tag)); };
  auto set = [&](std::int32_t index, float v) { return [this, index, v] { fx->setParameter(index, v); }; };
  auto expectParameter = [&](std::int32_t index, float v) {
    return [this, index, v] { EXPECT_FLOAT_EQ(fx->getParameter(index), v) << index; };
  };
  const CPoint rightNeedle = centreOf(*needleRows().at(1));
  const std::vector<GestureCase> cases = {
      {"drag Drive up in linear mode",
       set(6, 0.5f),
       [&] { window().drag(at(6), at(6) + CPoint(0, -60), kLButton, 1); },
       {"begin 6", "automate 6 0.700000", "end 6"},
       expectParameter(6, 0.7f)},
      {"Ctrl-click Speed",
       set(4, 0.9f),
       [&] { click(at(4), kLButton | kControl); },
       {"begin 4", "automate 4 0.500000", "end 4"},
       expectParameter(4, 0.5f)},
      {"wheel on Knee",
       set(12, 0.5f),
       [&] { window().wheel(at(12), 1); },
       {"begin 12", "automate 12 0.510000", "end 12"},
       nullptr},
      {"click Process",
       set(0, 1),
       [&] { click(at(0)); },
       {"begin 0", "automate 0 0.000000", "end 0"},
       nullptr},
      {"click Stereo-Mono",
       set(2, 0),
       [&] { click(at(2)); },
       {"begin 2", "automate 2 1.000000", "end 2"},
       nullptr},
      {"click Link", set(3, 0), [&] { click(at(3)); }, {"begin 3", "automate 3 1.000000", "end 3"}, nullptr},
      {"click MeterScale",
       set(15, 0),
       [&] { click(at(15)); },
       {"begin 15", "automate 15 1.000000", "end 15"},
       nullptr},
      {"Meters switch, lower band",
       set(14, 0),
       [&] { click(at(14) + CPoint(0, 20)); },
       {"begin 14", "automate 14 1.000000", "end 14"},
       nullptr},
      {"click the right needle: its level kept, no automation",
       [&] {
         meterFeed(1, 0.6f, 0);
         idle();
       },
       [&] { click(rightNeedle); },
       {},
       expectParameter(17, 0.6f)},
      {"click the left needle above full scale: the parameter keeps to 0..1",
       [&] {
         meterFeed(0, 1.3f, 0);
         idle();
       },
       [&] { click(at(17)); },
       {},
       expectParameter(17, 1.0f)},
      {"a right click on a needle reports nothing",
       set(17, 0.25f),
       [&] { click(at(17), kRButton); },
       {},
       expectParameter(17, 0.25f)},
      {"page switch",
       nullptr,
       [&] { click(at(layout::kFrontPageSwitchTag)); },
       {},
       [&] { EXPECT_EQ(ed->getShownPage(), ed->getBackPage()); }},
      {"Ctrl-click VU Integr: a preference, nothing",
       set(23, 0),
       [&] { click(at(23), kLButton | kControl); },
       {},
       expectParameter(23, 0.5f)},
      {"Ctrl-click OverIndic",
       set(27, 1),
       [&] { click(at(27), kLButton | kControl); },
       {},
       expectParameter(27, 2.0f / 9.0f)},
      {"back page switch",
       nullptr,
       [&] { click(at(layout::kBackPageSwitchTag)); },
       {},
       [&] { EXPECT_EQ(ed->getShownPage(), ed->getFrontPage()); }},
  };
  fx->setParameter(28, 1.0f);  // linear drags
  open();
  expectGestures(cases);
}

// ---------------------------------------------------------------- needles and lamps

// An over lights the lamp; once it ends the lamp holds until a click on
// either meter puts out both. While the back page shows, an over waits.
TEST_F(TindravelleEditor, AnOverIsHeldUntilEitherNeedleIsClicked) {
  open();
  std::vector<int> left, right;
  auto step = [&](float overLeft) {
    meterFeed(0, 0.5f, overLeft);
    idle();
    paint();
    left.push_back(lampShown(0));
    right.push_back(lampShown(1));
  };
  step(1);
  EXPECT_EQ(fx->engine().overFlags[0], 0.0f) << "the editor took the flag";
  step(0);
  step(0);
  click(centreOf(*needleRows().at(1)));
  step(0);
  step(1);
  EXPECT_EQ(left, (std::vector<int>{0, 1, 1, 2, 0})) << "over, held, held, out, over";
  EXPECT_EQ(right, (std::vector<int>{2, 2, 2, 2, 2}));
  EXPECT_EQ(needle(0)->getValue(), 0.5f);

  ed->swapPages();
  meterFeed(1, 0.5f, 1);
  idle(3);
  EXPECT_EQ(fx->engine().overFlags[1], 1.0f);
  ed->swapPages();
  idle();
  paint();
  EXPECT_EQ(lampShown(1), 0) << "the waiting over shows with the front page";
}

// The test signal moves both needles while the window is open; a suspend
// rests them at 1.0 for the gain-reduction view, else at 0.
TEST_F(TindravelleEditor, TheNeedlesMoveOnASignalAndRestAtSuspend) {
  std::vector<float> loud(512);
  for (std::size_t i = 0; i < loud.size(); ++i) loud[i] = (i / 8) % 2 ? 0.5f : -0.5f;
  std::vector<float> outL(512), outR(512);
  float* in[2] = {loud.data(), loud.data()};
  float* out[2] = {outL.data(), outR.data()};
  fx->setParameter(14, 1.0f);  // the output level
  resume();
  open();
  std::vector<double> angles;
  for (int round = 0; round < 8; ++round) {
    for (int block = 0; block < 4; ++block) e->processReplacing(e, in, out, 512);
    idle();
  }
  for (int c = 0; c < 2; ++c) {
    EXPECT_GT(needle(c)->getValue(), 0.1f) << c;
    EXPECT_LT(COldVuMeter::needleAngle(needle(c)->getValue()), COldVuMeter::needleAngle(0.0f) - 0.2) << c;
  }
  for (const auto& [meters, rest] : {std::pair{0.5f, 1.0f}, std::pair{1.0f, 0.0f}}) {
    fx->setParameter(14, meters);
    suspend();
    EXPECT_EQ(needle(0)->getValue(), rest) << meters;
    EXPECT_EQ(needle(1)->getValue(), rest) << meters;
  }
}

// Each idle paints and sends only what changed, the needles' swept areas and
// the lamps, and leaves on the screen what a window painted whole shows.
TEST_F(TindravelleEditor, ChangesPaintedLeaveTheWholePicture) { expectChangesPaintedLeaveTheWholePicture(); }

TEST_F(TindravelleEditor, AnIdleWithTheNeedlesAndLampsUnchangedPaintsNothing) {
  expectUnchangedPicturesPaintNothing(6);
}

// What each idle leaves on the screen is what a whole repaint shows, around
// the lamps and overlays too.
TEST_F(TindravelleEditor, ChangedNeedlesAndLampsLeaveNoStalePixels) {
  open();
  const float levels[] = {1.44f, 0.0f, 0.8f, 0.02f};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    meterFeed(0, levels[i], i % 2 ? 0.0f : 1.0f);
    meterFeed(1, levels[3 - i], i % 2 ? 1.0f : 0.0f);
    idle();
    paint();
    const PixelBuffer painted = frame()->getPixels();
    frame()->invalid();
    paint();
    EXPECT_TRUE(painted == frame()->getPixels());
  }
}

// ---------------------------------------------------------------- hover readout

TEST_F(TindravelleEditor, TheCounterBlanksAfterElevenChecksOverANeedle) {
  open();
  window().setPointer(centreOf(*needleRows().at(0)));
  idle(9 * 10);
  idle();
  EXPECT_EQ(counterText(), "+15.3dB") << "ten checks keep the text";
  idle(9);
  idle();
  EXPECT_EQ(counterText(), "      ");
  fx->setParameter(6, 0.75f);
  window().setPointer(centreOf(*rowOf(6)));
  idle(9 * 2);
  EXPECT_EQ(counterText(), "+12.0dB") << "a knob shows its value";
}

// ---------------------------------------------------------------- threads, open and close

TEST_F(TindravelleEditor, AudioAutomationAndTheWindowRunTogether) {
  const VstInt32 indices[] = {0, 2, 3, 4, 5, 6, 9, 11, 12, 13, 14, 15, 17, 23, 26, 27, 60};
  runAudioAutomationAndTheWindowTogether(indices);
}

// The front page reaches into the strip's top row.
TEST_F(TindravelleEditor, ThePresetStripStaysWholeAbovePageSwaps) { expectTheStripAboveThePagesAfterSwaps(); }

TEST_F(TindravelleEditor, ClosingAndOpeningAgainLeavesNothingBehind) { closeAndOpenAgain(6); }

// ---------------------------------------------------------------- a window that cannot open

// Without a needle meter's face, overlay or lamp the window does not open
// and nothing of it remains; without the back knobs' strip the back page
// opens without its knobs and their readouts.
TEST_F(TindravelleEditor, OpenWithoutANeedlePictureFailsAndLeavesNothingBehind) {
  struct Case {
    const char* what;
    std::function<void(EditorControl&, NeedleMeterLayout&)> spoil;
    bool opens;
  };
  const Case cases[] = {
      {"no face", [](EditorControl& row, NeedleMeterLayout&) { row.bitmap = 18999; }, false},
      {"no overlay", [](EditorControl&, NeedleMeterLayout& n) { n.overlayName = "none.png"; }, false},
      {"no lamp", [](EditorControl&, NeedleMeterLayout& n) { n.lampBitmap = 18999; }, false},
      {"all there", [](EditorControl&, NeedleMeterLayout&) {}, true},
  };
  const long windowsBefore = livePlatformWindowCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<EditorControl> front(std::begin(layout::kFront), std::end(layout::kFront));
    NeedleMeterLayout needles[2] = {layout::kLeftNeedle, layout::kRightNeedle};
    int k = 0;
    for (EditorControl& row : front)
      if (row.kind == NeedleMeter) {
        row.needle = &needles[k];
        c.spoil(row, needles[k++]);
      }
    OstrelvanheimEditorTraits traits = tindravelle::kEditorTraits;
    traits.front = front;
    const long objects = liveObjectCount();
    // A second editor on the same effect, made its editor for the test.
    auto* other = new OstrelvanheimEditor(fx.get(), fx.get(), traits);
    EXPECT_EQ(other->open(nullptr), c.opens);
    if (!c.opens) {
      EXPECT_EQ(other->getFrame(), nullptr);
      EXPECT_EQ(other->getShownPage(), nullptr);
      EXPECT_EQ(other->getFrontPage(), nullptr);
      EXPECT_EQ(fx->engine().editorIsOpen, 0) << "no metering for a window that is not there";
      EXPECT_EQ(livePlatformWindowCount(), windowsBefore);
      EXPECT_EQ(liveObjectCount(), objects);
    }
    other->close();
    delete other;
    fx->setEditor(ed);
    EXPECT_EQ(liveObjectCount(), objects);
  }
  open();  // the effect's own editor opens as ever
}

TEST_F(TindravelleEditor, WithoutTheBackKnobStripTheBackPageOpensWithoutKnobsOrTheirReadouts) {
  std::vector<EditorControl> back(std::begin(layout::kBack), std::end(layout::kBack));
  for (EditorControl& row : back)
    if (row.bitmap == 19032) row.bitmap = 18999;
  OstrelvanheimEditorTraits traits = tindravelle::kEditorTraits;
  traits.back = back;
  auto* other = new OstrelvanheimEditor(fx.get(), fx.get(), traits);
  ASSERT_TRUE(other->open(nullptr));
  for (std::size_t i = 0; i < back.size(); ++i) {
    const bool kept = back[i].kind == Label || back[i].kind == PageSwitch;
    EXPECT_EQ(other->viewOf(&back[i]) != nullptr, kept) << "row " << i;
  }
  EXPECT_NE(other->viewOf(findControl(back, Label)), nullptr);
  other->close();
  delete other;
  fx->setEditor(ed);
}

}  // namespace
