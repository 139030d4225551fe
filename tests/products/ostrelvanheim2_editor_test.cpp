// The editor of JYX Ostrelvanheim2 on an offscreen frame, with the real
// effect and the real skin: what the window shows after open, every control
// where its table puts it and drawn by its law, the Control-click defaults,
// typed values, what the host hears of each gesture, the meters and clip
// lamps, the hover readout, calls from other threads, and open and close.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "products/ostrelvanheim2/editor_layout.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/products/editor_test_fixture.h"

namespace {

using namespace jyxui;
using namespace editortest;
namespace layout = ostrelvanheim2::editor;
using enum EditorControlKind;

class Ostrelvanheim2Editor : public ProductEditorTest<Ostrelvanheim, ostrelvanheim2::kEditorTraits> {
 protected:
  std::unique_ptr<Ostrelvanheim> makeEffect() override {
    return std::make_unique<Ostrelvanheim>(&host, ostrelvanheim2::kProduct);
  }
};

// ---------------------------------------------------------------- open

TEST_F(Ostrelvanheim2Editor, TheHostSeesAnEditorOfThePanelsSizeThatRefusesKnobModes) {
  ERect* r = nullptr;
  ASSERT_EQ(e->dispatcher(e, effEditGetRect, 0, 0, &r, 0.0f), 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->top, 0);
  EXPECT_EQ(r->left, 0);
  EXPECT_EQ(r->bottom, 460);
  EXPECT_EQ(r->right, 450);
  EXPECT_EQ(e->dispatcher(e, effSetEditKnobMode, 0, kLinearMode, nullptr, 0.0f), 0);
  EXPECT_EQ(e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f), 0) << "idle without a window does nothing";
  EXPECT_EQ(e->dispatcher(e, effEditKeyDown, 'a', 0, nullptr, 0.0f), 0) << "no window, no key";
  open();
  const int32_t mode = ed->getKnobMode();
  EXPECT_FALSE(ed->setKnobMode(mode == kLinearMode ? kCircularMode : kLinearMode));
  EXPECT_EQ(ed->getKnobMode(), mode);
}

TEST_F(Ostrelvanheim2Editor, OpensOnTheFrontPageWithEveryControlInPlace) {
  fx->setParameter(layout::kChannelModeTag, 1.0f);
  open();
  EXPECT_EQ(fx->engine().editorIsOpen, 1) << "metering runs while the window is open";
  ASSERT_NE(ed->getFrontPage(), nullptr);
  ASSERT_NE(ed->getBackPage(), nullptr);
  EXPECT_EQ(ed->getShownPage(), ed->getFrontPage());
  EXPECT_EQ(ed->getFrontPage()->getParentView(), frame());
  EXPECT_EQ(ed->getBackPage()->getParentView(), nullptr) << "the back page waits outside the frame";
  EXPECT_EQ(frame()->getViewSize().getHeight(), 460);
  EXPECT_EQ(ed->getFrontPage()->getViewSize().getHeight(), 444);
  EXPECT_EQ(ed->getBackPage()->getViewSize().getHeight(), 443);

  for (const EditorControl& row : layout::kFront) {
    CView* view = viewOf(&row);
    ASSERT_NE(view, nullptr) << "tag " << row.tag;
    EXPECT_EQ(view->getViewSize(), CRect(row.rect.left, row.rect.top, row.rect.right, row.rect.bottom))
        << "tag " << row.tag;
    EXPECT_EQ(view->getParentView(), row.kind == ValueField ? nullptr : ed->getFrontPage())
        << "tag " << row.tag;
  }
  for (const EditorControl& row : layout::kBack) {
    CView* view = viewOf(&row);
    ASSERT_NE(view, nullptr) << "tag " << row.tag;
    EXPECT_EQ(view->getParentView(), ed->getBackPage()) << "tag " << row.tag;
  }

  EXPECT_EQ(counterText(), "+15.3dB");
  EXPECT_EQ(readoutText(findReadout(layout::kFront, ReadoutSource::DelayMs)), "14.5ms");
  EXPECT_EQ(readoutText(findReadout(layout::kFront, ReadoutSource::DelaySamples)), "639smps");
  EXPECT_EQ(imageShown(rowOf(layout::kLeftLampTag)), 0);
  EXPECT_EQ(imageShown(rowOf(layout::kRightLampTag)), 0);
  EXPECT_EQ(imageShown(rowOf(layout::kChannelModeTag)), 3) << "stereo";

  // The back page: every readout at the default preferences and settings.
  ed->swapPages();
  idle();
  const struct {
    std::int32_t index;
    const char* text;
  } kBackTexts[] = {{15, "0.0dB"},  {16, "0.0dB"},  {17, "0.0dB"}, {18, "x1.00"},
                    {19, "x1.00"},  {20, "x1.00"},  {43, "300ms"}, {44, "-14.2dBFS"},
                    {45, "9.05ms"}, {46, "1.000s"}, {47, "3"},     {24, "100%"}};
  for (const auto& c : kBackTexts)
    EXPECT_EQ(readoutText(findReadout(layout::kBack, ReadoutSource::PlainValue, c.index)), c.text) << c.index;
}

TEST_F(Ostrelvanheim2Editor, KnobModeComesFromItsParameterAtOpen) {
  for (const auto& [value, mode] : {std::pair{0.4f, kCircularMode}, std::pair{0.5f, kLinearMode}}) {
    fx->setParameter(48, value);
    open();
    EXPECT_EQ(ed->getKnobMode(), mode) << value;
    ed->close();
  }
}

// ---------------------------------------------------------------- every control

// Each control takes the click at its centre, and shows the image its law
// gives for the effect's value of its parameter at 0, 0.5 and 1 (the stereo
// mode and left/right parameters move the channel button).
TEST_F(Ostrelvanheim2Editor, EveryControlTakesItsClickAndShowsItsValue) {
  open();
  std::vector<std::pair<std::int32_t, const EditorControl*>> painted;  // index set, control shown
  for (std::span<const EditorControl> table :
       {std::span<const EditorControl>(layout::kFront), std::span<const EditorControl>(layout::kBack)}) {
    for (const EditorControl& row : table) {
      if (row.tag < 0 || row.kind == Counter || row.kind == ValueField) continue;
      showPageOf(&row);
      EXPECT_EQ(ed->getShownPage()->getViewAt(centreOf(row), true), viewOf(&row)) << "tag " << row.tag;
      if (row.kind != ClickArea && row.kind != PageSwitch && row.kind != ClipLamp)
        painted.push_back({row.tag, &row});
    }
  }
  painted.push_back({2, rowOf(layout::kChannelModeTag)});
  painted.push_back({30, rowOf(layout::kChannelModeTag)});

  for (const auto& [index, row] : painted) {
    showPageOf(row);
    for (float v : {0.0f, 0.5f, 1.0f}) {
      fx->setParameter(index, v);
      idle();
      if (row->kind == LevelMeter) {
        const std::vector<BitmapDrawing> drawn = recorder.bitmapsOf(viewOf(row));
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn.back().resource.id, fx->getMeterScaleMode() ? row->scaleBitmap : row->bitmap) << v;
        continue;
      }
      const float shown = fx->getParameter(row->tag);
      if (row->kind == ColumnKnob) {
        const int image = imageFor(*row, shown);
        const CPoint source = recorder.bitmapsOf(viewOf(row)).back().source;
        EXPECT_EQ(source, CPoint(image / 10 * row->columnWidth, image % 10 * row->rect.height()))
            << "tag " << index << " at " << v;
        continue;
      }
      EXPECT_EQ(imageShown(row), imageFor(*row, shown)) << "index " << index << " at " << v;
    }
  }
}

TEST_F(Ostrelvanheim2Editor, ControlClickPutsBackEachKnobsDefault) {
  const struct {
    std::int32_t tag;
    float defaultValue;
  } kDefaults[] = {{4, 0.5f},  {5, 0.5f},  {6, 0.5f},  {7, 0.5f},         {8, 0.5f},  {9, 0.5f},
                   {10, 0.5f}, {11, 0.5f}, {12, 1.0f}, {13, 0.5f},        {14, 0.5f}, {15, 0.5f},
                   {16, 0.5f}, {17, 0.5f}, {18, 0.5f}, {19, 0.5f},        {20, 0.5f}, {43, 0.5f},
                   {44, 0.4f}, {45, 0.5f}, {46, 0.5f}, {47, 2.0f / 9.0f}, {24, 1.0f}};
  open();
  for (const auto& k : kDefaults) {
    const EditorControl* row = rowOf(k.tag);
    ASSERT_NE(row, nullptr);
    showPageOf(row);
    fx->setParameter(k.tag, 0.0f);
    idle();
    click(centreOf(*row), kLButton | kControl);
    EXPECT_NEAR(fx->getParameter(k.tag), k.defaultValue, 1e-6) << "tag " << k.tag;
  }
}

// ---------------------------------------------------------------- typed values

TEST_F(Ostrelvanheim2Editor, TypedValuesGoThroughTheInverseOfTheirDisplay) {
  const struct {
    std::int32_t tag;
    float fineTune;  // 0, 1/3, 2/3, 1: factors 0.125, 0.25, 0.5, 1
    const char* text;
    float stored;
  } kCases[] = {
      {4, 1.0f, "-3", 0.4375f},   {4, 2.0f / 3, "-3", 0.375f}, {4, 0.0f, "1.5", 0.75f},
      {4, 1.0f, "1e30", 1.0f},    {8, 1.0f, "6", 0.75f},       {9, 1.0f / 3, "-1.5", 0.25f},
      {13, 1.0f / 3, "3", 0.75f}, {14, 1.0f, "-12", 0.0f},     {14, 1.0f, "24", 1.0f},
      {5, 1.0f, "25", 0.25f},     {6, 1.0f, "abc", 0.0f},      {12, 1.0f, "150", 1.0f},
      {12, 1.0f, "-5", 0.0f},     {7, 1.0f, "1", 0.5f},        {7, 1.0f, "4", 1.0f},
      {7, 1.0f, "0", 0.0f},       {7, 1.0f, "-2", 0.0f},       {10, 1.0f, "2000", 0.25f},
      {10, 1.0f, "0", 0.0f},      {11, 1.0f, "100", 0.5f},     {11, 1.0f, "0", 0.0f},
      {11, 1.0f, "-40", 0.0f},    {10, 1.0f, "16000.0", 1.0f},
  };
  open();
  for (const auto& c : kCases) {
    fx->setParameter(24, c.fineTune);
    fx->setParameter(c.tag, 0.3f);
    ed->valueEntered(c.tag, c.text);
    EXPECT_FLOAT_EQ(fx->getParameter(c.tag), c.stored)
        << c.tag << " '" << c.text << "' fine tune " << c.fineTune;
  }
  EXPECT_TRUE(takeHostLog().empty()) << "a typed value is not automation";

  // Typing the shown value back gives the parameter again.
  fx->setParameter(24, 1.0f);
  for (const ValueEntryRule& rule : layout::kValueEntries) {
    fx->setParameter(rule.tag, 0.7f);
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(fx->getParameterPlainValue(rule.tag)));
    ed->valueEntered(rule.tag, text);
    EXPECT_NEAR(fx->getParameter(rule.tag), 0.7f, 1e-5) << rule.tag;
  }

  // A focus loss without an entry, the field's own tag or a tag without a law set nothing.
  for (std::int32_t tag : {-1, layout::kValueFieldTag, 15, 0, 200}) {
    const float before = tag >= 0 ? fx->getParameter(tag) : 0.0f;
    ed->valueEntered(tag, "0.9");
    if (tag >= 0) {
      EXPECT_EQ(fx->getParameter(tag), before) << tag;
    }
  }
}

TEST_F(Ostrelvanheim2Editor, ADoubleClickOpensTheValueFieldOverTheCounter) {
  fx->setParameter(4, 0.5f);
  fx->setParameter(7, 0.5f);
  fx->setParameter(10, 0.5f);
  open();
  const EditorControl& drive = *rowOf(4);
  // At the knob's own angle (straight up for 0.5): the presses move nothing.
  const CPoint top((drive.rect.left + drive.rect.right) / 2.0, drive.rect.top + 10);
  window().advanceTime(1000);
  window().click(top);
  window().advanceTime(100);
  window().click(top);
  CMyTextEdit* field = ed->getValueEntryField();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->getParentView(), ed->getFrontPage());
  EXPECT_EQ(frame()->getFocusView(), field);
  EXPECT_STREQ(field->getText(), "0.00") << "Drive in dB, two decimals";
  for (int i = 0; i < 4; ++i) window().pressKey(VKEY_BACK);
  window().type("-6");
  window().pressKey(VKEY_RETURN);
  EXPECT_EQ(field->getParentView(), nullptr) << "the field leaves the page";
  EXPECT_FLOAT_EQ(fx->getParameter(4), 0.375f);
  EXPECT_EQ(takeHostLog(), (std::vector<std::string>{"begin 4", "end 4", "begin 4", "end 4"}))
      << "the presses' gestures, and no automation";
  idle(2);
  EXPECT_EQ(counterText(), "-6.00dB");

  // Release takes two decimals, HighFreq one; none opens while the back page shows.
  ed->openValueEntry(7);
  EXPECT_STREQ(field->getText(), "1.00");
  window().pressKey(VKEY_ESCAPE);
  ed->openValueEntry(10);
  EXPECT_STREQ(field->getText(), "4000.0");
  window().pressKey(VKEY_RETURN);
  EXPECT_EQ(field->getParentView(), nullptr);
  ed->swapPages();
  ed->openValueEntry(4);
  EXPECT_EQ(field->getParentView(), nullptr);
  EXPECT_EQ(frame()->getFocusView(), nullptr);
}

// ---------------------------------------------------------------- routes

TEST_F(Ostrelvanheim2Editor, EachGestureReachesTheHostAsItsParameterSays) {
  struct Case {
    const char* what;
    std::function<void()> before;
    std::function<void()> gesture;
    std::vector<std::string> host;
    std::function<void()> after;
  };
  auto at = [](std::int32_t tag) { return centreOf(*rowOf(tag)); };
  auto set = [&](std::int32_t index, float v) { return [this, index, v] { fx->setParameter(index, v); }; };
  auto expectParameter = [&](std::int32_t index, float v) {
    return [this, index, v] { EXPECT_FLOAT_EQ(fx->getParameter(index), v) << index; };
  };
  const EditorControl& channel = *rowOf(layout::kChannelModeTag);
  const std::vector<Case> cases = {
      {"drag Drive up in linear mode",
       set(4, 0.5f),
       [&] { window().drag(at(4), at(4) + CPoint(0, -60), kLButton, 1); },
       {"begin 4", "automate 4 0.700000", "end 4"},
       expectParameter(4, 0.7f)},
      {"Ctrl-click Drive",
       set(4, 0.7f),
       [&] { click(at(4), kLButton | kControl); },
       {"begin 4", "automate 4 0.500000", "end 4"},
       expectParameter(4, 0.5f)},
      {"wheel on Mix",
       set(12, 0.5f),
       [&] { window().wheel(at(12), 1); },
       {"begin 12", "automate 12 0.510000", "end 12"},
       nullptr},
      {"click Process",
       set(0, 1),
       [&] { click(at(0)); },
       {"begin 0", "automate 0 0.000000", "end 0"},
       nullptr},
      {"click FAT",
       set(26, 0),
       [&] { click(at(26)); },
       {"begin 26", "automate 26 1.000000", "end 26"},
       nullptr},
      {"click Mode", set(1, 0), [&] { click(at(1)); }, {"begin 1", "automate 1 1.000000", "end 1"}, nullptr},
      {"Meters switch, lower band",
       set(21, 0),
       [&] { click(at(21) + CPoint(0, 20)); },
       {"begin 21", "automate 21 1.000000", "end 21"},
       nullptr},
      {"channel button, lower zone: stereo",
       set(layout::kChannelModeTag, 0),
       [&] { click(CPoint((channel.rect.left + channel.rect.right) / 2.0, channel.rect.bottom - 4)); },
       {"begin 2", "begin 30", "automate 2 1.000000", "automate 30 0.000000", "end 2", "end 30"},
       expectParameter(layout::kChannelModeTag, 1.0f)},
      {"channel button, left zone: L",
       set(layout::kChannelModeTag, 1),
       [&] { click(CPoint(channel.rect.left + 3, (channel.rect.top + channel.rect.bottom) / 2.0)); },
       {"begin 2", "begin 30", "automate 2 0.000000", "automate 30 0.500000", "end 2", "end 30"},
       nullptr},
      {"click the left meter: its scale, kept without automation",
       set(25, 0),
       [&] { click(at(25)); },
       {},
       [&] {
         EXPECT_EQ(fx->getParameter(25), 1.0f);
         idle();
         for (const EditorControl& row : layout::kFront)
           if (row.kind == LevelMeter) {
             EXPECT_EQ(static_cast<CMovieMeter*>(viewOf(&row))->getMode(), 1);
           }
       }},
      {"click the delay readouts", nullptr, [&] { click(at(layout::kDelayClickTag)); }, {}, nullptr},
      {"click a lamp", nullptr, [&] { click(at(layout::kLeftLampTag)); }, {}, nullptr},
      {"page switch",
       nullptr,
       [&] { click(at(layout::kFrontPageSwitchTag)); },
       {},
       [&] { EXPECT_EQ(ed->getShownPage(), ed->getBackPage()); }},
      {"Ctrl-click FineTune: its gesture, no automation",
       set(24, 0),
       [&] { click(at(24), kLButton | kControl); },
       {"begin 24", "end 24"},
       expectParameter(24, 1.0f)},
      {"Ctrl-click VU Refer: a preference, nothing",
       set(44, 0),
       [&] { click(at(44), kLButton | kControl); },
       {},
       expectParameter(44, 0.4f)},
      {"Knob Mode switch, lower half",
       set(48, 0),
       [&] { click(at(48) + CPoint(0, 7)); },
       {},
       [&] {
         EXPECT_EQ(fx->getParameter(48), 1.0f);
         EXPECT_EQ(ed->getKnobMode(), kLinearMode);
       }},
      {"back page switch",
       nullptr,
       [&] { click(at(layout::kBackPageSwitchTag)); },
       {},
       [&] { EXPECT_EQ(ed->getShownPage(), ed->getFrontPage()); }},
  };
  fx->setParameter(48, 1.0f);  // linear drags
  open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.before) c.before();
    idle();
    takeHostLog();
    c.gesture();
    EXPECT_EQ(takeHostLog(), c.host);
    if (c.after) c.after();
  }
}

// ---------------------------------------------------------------- meters and lamps

TEST_F(Ostrelvanheim2Editor, AnOverLightsItsLampUntilEitherLampIsClicked) {
  open();
  const EditorControl* left = rowOf(layout::kLeftLampTag);
  const EditorControl* right = rowOf(layout::kRightLampTag);
  fx->engine().overFlags[0] = 1.0f;  // as the audio thread latches it
  idle();
  EXPECT_EQ(fx->engine().overFlags[0], 0.0f) << "the editor took the flag";
  std::vector<int> images;
  for (int i = 0; i < 6; ++i) {
    idle();
    images.push_back(imageShown(left));
  }
  EXPECT_EQ(images, (std::vector<int>{5, 4, 3, 2, 2, 2})) << "bright, then held dim";
  EXPECT_EQ(imageShown(right), 0);

  click(centreOf(*right));
  idle();
  EXPECT_EQ(imageShown(left), 0) << "a click on either lamp puts out both";

  // While the back page shows, an over waits for the front page.
  ed->swapPages();
  fx->engine().overFlags[1] = 1.0f;
  idle(3);
  EXPECT_EQ(fx->engine().overFlags[1], 1.0f);
  ed->swapPages();
  idle(2);
  EXPECT_EQ(imageShown(right), 5);
}

TEST_F(Ostrelvanheim2Editor, TheMetersRunWhileTheWindowIsOpenAndRestAtSuspend) {
  std::vector<float> loud(512);
  for (std::size_t i = 0; i < loud.size(); ++i) loud[i] = (i / 8) % 2 ? 1.2f : -1.2f;
  std::vector<float> outL(512), outR(512);
  float* in[2] = {loud.data(), loud.data()};
  float* out[2] = {outL.data(), outR.data()};
  fx->setParameter(21, 1.0f);  // the output level
  resume();
  e->processReplacing(e, in, out, 512);
  EXPECT_EQ(fx->editorMeterLevel(0), 0.0f) << "no metering without a window";

  open();
  const EditorControl* meter = findControl(layout::kFront, LevelMeter);
  const int silence = imageShown(meter);
  for (int block = 0; block < 8; ++block) e->processReplacing(e, in, out, 512);
  EXPECT_GT(fx->editorMeterLevel(0), 0.5f);
  idle(2);
  EXPECT_GT(imageShown(meter), silence + 30);
  EXPECT_EQ(imageShown(rowOf(layout::kLeftLampTag)), 5) << "the output went over full scale";

  // Suspend: level meters to 0, the gain-reduction meters to 1.
  for (const auto& [meters, rest] : {std::pair{1.0f, 0.0f}, std::pair{0.5f, 1.0f}, std::pair{0.0f, 0.0f}}) {
    fx->setParameter(21, meters);
    suspend();
    for (const EditorControl& row : layout::kFront)
      if (row.kind == LevelMeter) {
        EXPECT_EQ(static_cast<CControl*>(viewOf(&row))->getValue(), rest) << meters;
      }
  }
  ed->close();
  EXPECT_EQ(fx->engine().editorIsOpen, 0);
}

// ---------------------------------------------------------------- hover readout

TEST_F(Ostrelvanheim2Editor, TheCounterShowsTheHoveredKnobAndBlanksOverNothing) {
  open();
  // The hover readout runs on every ninth idle; over a meter each run counts.
  auto idlesToNextCheck = [&] {
    const int before = ed->getHoverCount();
    int n = 0;
    do {
      idle();
      ++n;
    } while (ed->getHoverCount() == before && n < 30);
    return n;
  };
  window().setPointer(centreOf(*findControl(layout::kFront, LevelMeter)));
  EXPECT_LE(idlesToNextCheck(), 9);
  EXPECT_EQ(ed->getHoverCount(), 1);
  for (int check = 2; check <= 10; ++check) EXPECT_EQ(idlesToNextCheck(), 9) << check;
  idle();
  EXPECT_EQ(counterText(), "+15.3dB") << "ten checks over the meter keep the text";
  EXPECT_EQ(idlesToNextCheck() + 1, 9);
  EXPECT_EQ(ed->getHoverCount(), 0);
  idle();
  EXPECT_EQ(counterText(), "      ") << "blank after the eleventh";

  // Over a knob: its value at the next check, kept however long it rests there.
  fx->setParameter(5, 0.575f);
  window().setPointer(centreOf(*rowOf(5)));
  idle(9 * 15);
  EXPECT_EQ(counterText(), " 57.5%");

  // Over nothing for nine checks, a knob for one, then nothing again: the
  // count starts afresh after the knob.
  const CPoint nothing(20, 150);
  ASSERT_EQ(ed->getFrontPage()->getViewAt(nothing), nullptr);
  window().setPointer(nothing);
  idle(9 * 9);
  window().setPointer(centreOf(*rowOf(10)));
  idle(9);
  window().setPointer(nothing);
  idle(9 * 10);
  idle();
  EXPECT_NE(counterText(), "      ") << "ten checks over nothing since the knob";
  idle(9);
  idle();
  EXPECT_EQ(counterText(), "      ");
}

// ---------------------------------------------------------------- threads

// A host automating from its audio thread, or suspending and resuming
// elsewhere: the window's controls change only at the window's next idle.
TEST_F(Ostrelvanheim2Editor, CallsFromAnotherThreadWaitForTheWindowsIdle) {
  fx->setParameter(0, 1.0f);
  fx->setParameter(21, 0.5f);
  open();
  CControl* process = control(0);
  const CControl* meter = control(25);
  std::thread([&] {
    fx->setParameter(0, 0.0f);
    fx->setParameter(layout::kFrontPageSwitchTag, 1.0f);
    ed->resetMeters();
  }).join();
  EXPECT_EQ(process->getValue(), 1.0f) << "not before the idle";
  EXPECT_EQ(ed->getShownPage(), ed->getFrontPage());
  EXPECT_NE(meter->getValue(), 1.0f);
  idle();
  EXPECT_EQ(process->getValue(), 0.0f);
  EXPECT_EQ(meter->getValue(), 1.0f) << "gain reduction at rest";
  EXPECT_EQ(ed->getShownPage(), ed->getBackPage());
  // Two page requests flip twice.
  std::thread([&] {
    fx->setParameter(layout::kBackPageSwitchTag, 1.0f);
    fx->setParameter(layout::kFrontPageSwitchTag, 1.0f);
  }).join();
  idle();
  EXPECT_EQ(ed->getShownPage(), ed->getBackPage());
}

// The audio thread processing, a host thread automating and suspending,
// the window's thread idling with the pointer on the controls.
TEST_F(Ostrelvanheim2Editor, AudioAutomationAndTheWindowRunTogether) {
  const VstInt32 indices[] = {4, 5, 6, 12, 14, 21, 22, 25, 47, 52, 53, 57, 2, 30, 15, 43};
  runAudioAutomationAndTheWindowTogether(indices);
}

// ---------------------------------------------------------------- open and close

TEST_F(Ostrelvanheim2Editor, ClosingAndOpeningAgainLeavesNothingBehind) { closeAndOpenAgain(12); }

TEST_F(Ostrelvanheim2Editor, AnEffectDeletedWithItsWindowOpenTakesTheWindowAlong) {
  open();
  ed->openValueEntry(4);
  window().type("3");
  fx.reset();  // the host never closed the window
  ed = nullptr;
  EXPECT_EQ(liveObjectCount(), objectsBefore);
}

}  // namespace
