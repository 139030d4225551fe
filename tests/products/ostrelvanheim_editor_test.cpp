// The editor of an Ostrelvanheim product on an offscreen frame, with the real
// effect and the real skin: what the window shows after open, every control
// where its table puts it and drawn by its law, the Control-click defaults,
// typed values, what the host hears of each gesture and what the host's
// automation moves, the meters and clip lamps, the hover readout, calls from
// other threads, and open and close.
#include "tests/products/ostrelvanheim_editor_test.h"

#include <cmath>
#include <functional>
#include <set>
#include <thread>

namespace editortest {

using namespace jyxui;
using enum EditorControlKind;

namespace {

std::string line(const char* what, VstInt32 index, const char* value = nullptr) {
  std::string s = std::string(what) + " " + std::to_string(index);
  if (value) s += std::string(" ") + value;
  return s;
}

// The pixels of the frame's picture that differ between two pictures.
PixelRect changedArea(const PixelBuffer& before, const PixelBuffer& after) {
  PixelRect area;
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x)
      if (before.pixel(x, y) != after.pixel(x, y)) area = area.united({x, y, x + 1, y + 1});
  return area;
}

// The lines of a gesture on a parameter: begin, the automation (if any) and end.
std::vector<std::string> gesture(VstInt32 index, const char* value = nullptr) {
  if (!value) return {line("begin", index), line("end", index)};
  return {line("begin", index), line("automate", index, value), line("end", index)};
}

}  // namespace

// ---------------------------------------------------------------- open

TEST_P(OstrelvanheimEditorTest, TheHostSeesAnEditorOfThePanelsSizeThatRefusesKnobModes) {
  ERect* r = nullptr;
  EXPECT_EQ(e->flags & effFlagsHasEditor, effFlagsHasEditor);
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

// Each parameter's control where the panel shows it (the two generations
// share the layout), the editor's own controls under the product's tags.
TEST_P(OstrelvanheimEditorTest, EachControlCarriesItsProductsTag) {
  const struct {
    VstInt32 meaning;
    int left, top;
  } kPlaces[] = {
      {Meaning::kProcess, 42, 398},     {Meaning::kLong, 107, 356},     {Meaning::kAuto, 107, 317},
      {Meaning::kBrickwall, 219, 337},  {Meaning::kMode, 290, 398},     {Meaning::kLink, 371, 398},
      {Meaning::kMeterType, 206, 88},   {Meaning::kMeters, 206, 28},    {Meaning::kKnee, 46, 167},
      {Meaning::kSpeed, 46, 245},       {Meaning::kDrive, 122, 162},    {Meaning::kHighFreq, 345, 242},
      {Meaning::kHighAdjust, 345, 167}, {Meaning::kLowFreq, 254, 242},  {Meaning::kLowAdjust, 254, 167},
      {Meaning::kOutput, 345, 324},     {Meaning::kMix, 253, 323},      {Meaning::kCeiling, 150, 324},
      {Meaning::kRelease, 46, 320},     {Meaning::kMeterScale, 54, 40}, {Meaning::kChannelMode, 326, 388},
      {Meaning::kLowSat, 65, 190},      {Meaning::kMidSat, 112, 190},   {Meaning::kHighSat, 158, 190},
      {Meaning::kLowRel, 263, 190},     {Meaning::kMidRel, 310, 190},   {Meaning::kHighRel, 356, 190},
      {Meaning::kVuIntegr, 65, 260},    {Meaning::kVuRefer, 65, 309},   {Meaning::kPpmIntegr, 264, 260},
      {Meaning::kPpmReturn, 264, 309},  {Meaning::kOverIndic, 65, 381}, {Meaning::kFineTune, 264, 381},
      {Meaning::kKnobMode, 375, 389},
  };
  for (const auto& p : kPlaces) {
    const EditorControl* row = rowOfMeaning(p.meaning);
    ASSERT_NE(row, nullptr) << "meaning " << p.meaning;
    EXPECT_EQ(row->rect.left, p.left) << "meaning " << p.meaning;
    EXPECT_EQ(row->rect.top, p.top) << "meaning " << p.meaning;
  }
  // The back readouts show their knob's parameter.
  for (const auto& p : kPlaces)
    if (onBackPage(rowOfMeaning(p.meaning)) && p.meaning != Meaning::kKnobMode) {
      EXPECT_NE(findReadout(traits().back, ReadoutSource::PlainValue, index(p.meaning)), nullptr)
          << p.meaning;
    }
  EXPECT_EQ(rowOfMeaning(Meaning::kProcess)->bitmap, product().processBitmap);
  EXPECT_EQ(rowOfMeaning(Meaning::kFat) != nullptr, product().oversamplingSwitch);
  EXPECT_EQ(findControl(traits().front, OnOffButton, index(Meaning::kFat)) != nullptr,
            product().oversamplingSwitch);

  std::set<std::int32_t> carried;
  for (std::span<const EditorControl> table : {traits().front, traits().back})
    for (const EditorControl& row : table)
      if (row.tag >= 0) carried.insert(row.tag);
  EXPECT_EQ(carried, std::set<std::int32_t>(product().controlTags.begin(), product().controlTags.end()));

  const auto& t = product().tags;
  const struct {
    EditorControlKind kind;
    std::span<const EditorControl> page;
    int nth;
    std::int32_t tag;
  } kOwn[] = {
      {Counter, traits().front, 0, t.counter},
      {PageSwitch, traits().front, 0, t.frontPageSwitch},
      {PageSwitch, traits().back, 0, t.backPageSwitch},
      {ClipLamp, traits().front, 0, t.leftLamp},
      {ClipLamp, traits().front, 1, t.rightLamp},
      {ClickArea, traits().front, 0, t.delayClick},
      {ChannelButton, traits().front, 0, t.channelMode},
      {ValueField, traits().front, 0, t.valueField},
      {LevelMeter, traits().front, 1, index(Meaning::kMeterScale)},
  };
  for (const auto& o : kOwn) {
    int n = o.nth;
    const EditorControl* found = nullptr;
    for (const EditorControl& row : o.page)
      if (row.kind == o.kind && n-- == 0) found = &row;
    ASSERT_NE(found, nullptr) << static_cast<int>(o.kind);
    EXPECT_EQ(found->tag, o.tag) << static_cast<int>(o.kind);
  }
}

TEST_P(OstrelvanheimEditorTest, OpensOnTheFrontPageWithEveryControlInPlace) {
  fx->setParameter(product().tags.channelMode, 1.0f);
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

  for (const EditorControl& row : traits().front) {
    CView* view = viewOf(&row);
    ASSERT_NE(view, nullptr) << "tag " << row.tag;
    EXPECT_EQ(view->getViewSize(), CRect(row.rect.left, row.rect.top, row.rect.right, row.rect.bottom))
        << "tag " << row.tag;
    EXPECT_EQ(view->getParentView(), row.kind == ValueField ? nullptr : ed->getFrontPage())
        << "tag " << row.tag;
  }
  for (const EditorControl& row : traits().back) {
    CView* view = viewOf(&row);
    ASSERT_NE(view, nullptr) << "tag " << row.tag;
    EXPECT_EQ(view->getParentView(), ed->getBackPage()) << "tag " << row.tag;
  }

  EXPECT_EQ(counterText(), "+15.3dB");
  EXPECT_EQ(readoutText(findReadout(traits().front, ReadoutSource::DelayMs)), product().delayMs);
  EXPECT_EQ(readoutText(findReadout(traits().front, ReadoutSource::DelaySamples)), product().delaySamples);
  EXPECT_EQ(imageShown(rowOf(product().tags.leftLamp)), 0);
  EXPECT_EQ(imageShown(rowOf(product().tags.rightLamp)), 0);
  EXPECT_EQ(imageShown(rowOf(product().tags.channelMode)), 3) << "stereo";

  // The back page: every readout at the default preferences and settings.
  ed->swapPages();
  idle();
  const struct {
    VstInt32 meaning;
    const char* text;
  } kBackTexts[] = {
      {Meaning::kLowSat, "0.0dB"},     {Meaning::kMidSat, "0.0dB"},      {Meaning::kHighSat, "0.0dB"},
      {Meaning::kLowRel, "x1.00"},     {Meaning::kMidRel, "x1.00"},      {Meaning::kHighRel, "x1.00"},
      {Meaning::kVuIntegr, "300ms"},   {Meaning::kVuRefer, "-14.2dBFS"}, {Meaning::kPpmIntegr, "9.05ms"},
      {Meaning::kPpmReturn, "1.000s"}, {Meaning::kOverIndic, "3"},       {Meaning::kFineTune, "100%"}};
  for (const auto& c : kBackTexts)
    EXPECT_EQ(readoutText(findReadout(traits().back, ReadoutSource::PlainValue, index(c.meaning))), c.text)
        << c.meaning;
}

// A readout needs only the page's picture: without the back knobs' strip
// the knobs are left out, their readouts show the values and follow them.
TEST_P(OstrelvanheimEditorTest, WithoutTheBackKnobStripTheReadoutsStillShowTheirValues) {
  std::vector<EditorControl> back(traits().back.begin(), traits().back.end());
  for (EditorControl& row : back)
    if (row.bitmap == 19032) row.bitmap = 18999;
  OstrelvanheimEditorTraits withoutKnobs = traits();
  withoutKnobs.back = back;
  auto* other = new OstrelvanheimEditor(fx.get(), fx.get(), withoutKnobs);
  ASSERT_TRUE(other->open(nullptr));
  other->getFrame()->setDrawObserver(&recorder);
  other->swapPages();
  fx->setParameter(index(Meaning::kLowSat), 1.0f);
  other->idle();
  int readouts = 0;
  for (const EditorControl& row : back) {
    CView* view = other->viewOf(&row);
    if (row.bitmap == 18999) {
      EXPECT_EQ(view, nullptr) << "knob " << row.tag;
    } else if (row.kind == Readout) {
      ++readouts;
      ASSERT_NE(view, nullptr) << "readout of " << row.valueIndex;
      EXPECT_EQ(view->getParentView(), other->getBackPage());
      EXPECT_EQ(static_cast<CParamDisplay*>(view)->getValue(), fx->getParameterPlainValue(row.valueIndex))
          << "readout of " << row.valueIndex;
      const StringDrawing* shown = recorder.lastStringOf(view);
      ASSERT_NE(shown, nullptr) << "readout of " << row.valueIndex;
      EXPECT_FALSE(shown->text.empty()) << "readout of " << row.valueIndex;
    }
  }
  EXPECT_EQ(readouts, 12);
  other->close();
  delete other;
  fx->setEditor(ed);
}

TEST_P(OstrelvanheimEditorTest, KnobModeComesFromItsParameterAtOpen) {
  for (const auto& [value, mode] : {std::pair{0.4f, kCircularMode}, std::pair{0.5f, kLinearMode}}) {
    fx->setParameter(index(Meaning::kKnobMode), value);
    open();
    EXPECT_EQ(ed->getKnobMode(), mode) << value;
    ed->close();
  }
}

// ---------------------------------------------------------------- every control

// Each control takes the click at its centre, and shows the image its law
// gives for the effect's value of its parameter at 0, 0.5 and 1 (the stereo
// mode and left/right parameters move the channel button).
TEST_P(OstrelvanheimEditorTest, EveryControlTakesItsClickAndShowsItsValue) {
  open();
  std::vector<std::pair<std::int32_t, const EditorControl*>> painted;  // index set, control shown
  for (std::span<const EditorControl> table : {traits().front, traits().back}) {
    for (const EditorControl& row : table) {
      if (row.tag < 0 || row.kind == Counter || row.kind == ValueField) continue;
      showPageOf(&row);
      EXPECT_EQ(ed->getShownPage()->getViewAt(centreOf(row), true), viewOf(&row)) << "tag " << row.tag;
      if (row.kind != ClickArea && row.kind != PageSwitch && row.kind != ClipLamp)
        painted.push_back({row.tag, &row});
    }
  }
  painted.push_back({index(Meaning::kMonoStereo), rowOf(product().tags.channelMode)});
  painted.push_back({index(Meaning::kLR), rowOf(product().tags.channelMode)});

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
      const float shown = fx->getControlValue(row->tag);
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

// The channel button and the Meters switch show what runs at the exact
// thresholds: at a stereo mode of 0.5 the one-channel routing, in stereo no
// left or right routing; at Meters 0.3333333 the input, and the meters rest
// as the input's at a suspend.
TEST_P(OstrelvanheimEditorTest, TheChannelButtonAndTheMetersSwitchShowWhatRuns) {
  open();
  const EditorControl* channel = rowOf(product().tags.channelMode);
  const struct {
    float monoStereo, lr;
    int image;  // up mono, left, right, down stereo
  } kChannels[] = {{0.5f, 0.0f, 0},
                   {0.5f, 1.0f, 2},
                   {std::nextafter(0.5f, 1.0f), 0.0f, 3},
                   {1.0f, 0.5f, 3},
                   {1.0f, 1.0f, 3}};
  for (const auto& c : kChannels) {
    fx->setParameter(index(Meaning::kMonoStereo), c.monoStereo);
    fx->setParameter(index(Meaning::kLR), c.lr);
    idle();
    EXPECT_EQ(imageShown(channel), c.image) << c.monoStereo << ", " << c.lr;
  }

  const EditorControl* meters = rowOfMeaning(Meaning::kMeters);
  const CControl* meter = control(index(Meaning::kMeterScale));
  const struct {
    float value;
    int image;
    float rest;
  } kMeters[] = {
      {0.3333333f, 0, 0.0f}, {0.3f, 0, 0.0f}, {0.7f, 2, 0.0f}, {std::nextafter(0.3333333f, 1.0f), 1, 1.0f}};
  for (const auto& m : kMeters) {
    fx->setParameter(index(Meaning::kMeters), m.value);
    idle();
    EXPECT_EQ(imageShown(meters), m.image) << m.value;
    suspend();
    EXPECT_EQ(meter->getValue(), m.rest) << m.value;
  }
}

// The host's automation through the plug-in's entry moves the parameter's
// control and nothing else; an index without a control leaves the panel as
// it was.
TEST_P(OstrelvanheimEditorTest, TheHostsAutomationMovesOnlyItsOwnControl) {
  const VstInt32 kMeanings[] = {Meaning::kLink,      Meaning::kFat,        Meaning::kLong,
                                Meaning::kMeterType, Meaning::kMeterDelay, Meaning::kSpare};
  open();
  // The pointer rests on a readout: the hover readout leaves the counter alone.
  window().setPointer(centreOf(*findReadout(traits().front, ReadoutSource::DelayMs)));
  for (VstInt32 meaning : kMeanings) {
    const VstInt32 i = index(meaning);
    const EditorControl* row = rowOf(i);
    e->setParameter(e, i, 0.0f);  // each value below then changes the parameter
    for (float v : {1.0f, 0.0f}) {
      idle();
      const PixelBuffer before = frame()->getPixels();
      e->setParameter(e, i, v);
      idle();
      const PixelRect changed = changedArea(before, frame()->getPixels());
      if (!row) {
        EXPECT_TRUE(changed.isEmpty()) << "index " << i << " has no control: changed " << changed.left << ","
                                       << changed.top << " to " << changed.right << "," << changed.bottom;
        continue;
      }
      const PixelRect own{row->rect.left, row->rect.top, row->rect.right, row->rect.bottom};
      EXPECT_FALSE(changed.isEmpty()) << "index " << i << " at " << v;
      EXPECT_EQ(changed.united(own), own)
          << "index " << i << " at " << v << ": changed " << changed.left << "," << changed.top << " to "
          << changed.right << "," << changed.bottom;
    }
  }
}

TEST_P(OstrelvanheimEditorTest, ControlClickPutsBackEachKnobsDefault) {
  const struct {
    VstInt32 meaning;
    float defaultValue;
  } kDefaults[] = {{Meaning::kDrive, 0.5f},      {Meaning::kKnee, 0.5f},
                   {Meaning::kSpeed, 0.5f},      {Meaning::kRelease, 0.5f},
                   {Meaning::kHighAdjust, 0.5f}, {Meaning::kLowAdjust, 0.5f},
                   {Meaning::kHighFreq, 0.5f},   {Meaning::kLowFreq, 0.5f},
                   {Meaning::kMix, 1.0f},        {Meaning::kCeiling, 0.5f},
                   {Meaning::kOutput, 0.5f},     {Meaning::kLowSat, 0.5f},
                   {Meaning::kMidSat, 0.5f},     {Meaning::kHighSat, 0.5f},
                   {Meaning::kLowRel, 0.5f},     {Meaning::kMidRel, 0.5f},
                   {Meaning::kHighRel, 0.5f},    {Meaning::kVuIntegr, 0.5f},
                   {Meaning::kVuRefer, 0.4f},    {Meaning::kPpmIntegr, 0.5f},
                   {Meaning::kPpmReturn, 0.5f},  {Meaning::kOverIndic, 2.0f / 9.0f},
                   {Meaning::kFineTune, 1.0f}};
  open();
  for (const auto& k : kDefaults) {
    const VstInt32 tag = index(k.meaning);
    const EditorControl* row = rowOf(tag);
    ASSERT_NE(row, nullptr);
    showPageOf(row);
    fx->setParameter(tag, 0.0f);
    idle();
    click(centreOf(*row), kLButton | kControl);
    EXPECT_NEAR(fx->getParameter(tag), k.defaultValue, 1e-6) << "tag " << tag;
  }
}

// ---------------------------------------------------------------- typed values

TEST_P(OstrelvanheimEditorTest, TypedValuesGoThroughTheInverseOfTheirDisplay) {
  using M = Meaning;
  const struct {
    VstInt32 meaning;
    float fineTune;  // 0, 1/3, 2/3, 1: factors 0.125, 0.25, 0.5, 1
    const char* text;
    float stored;
  } kCases[] = {
      {M::kDrive, 1.0f, "-3", 0.4375f},      {M::kDrive, 2.0f / 3, "-3", 0.375f},
      {M::kDrive, 0.0f, "1.5", 0.75f},       {M::kDrive, 1.0f, "1e30", 1.0f},
      {M::kHighAdjust, 1.0f, "6", 0.75f},    {M::kLowAdjust, 1.0f / 3, "-1.5", 0.25f},
      {M::kCeiling, 1.0f / 3, "3", 0.75f},   {M::kOutput, 1.0f, "-12", 0.0f},
      {M::kOutput, 1.0f, "24", 1.0f},        {M::kKnee, 1.0f, "25", 0.25f},
      {M::kSpeed, 1.0f, "abc", 0.0f},        {M::kMix, 1.0f, "150", 1.0f},
      {M::kMix, 1.0f, "-5", 0.0f},           {M::kRelease, 1.0f, "1", 0.5f},
      {M::kRelease, 1.0f, "4", 1.0f},        {M::kRelease, 1.0f, "0", 0.0f},
      {M::kRelease, 1.0f, "-2", 0.0f},       {M::kHighFreq, 1.0f, "2000", 0.25f},
      {M::kHighFreq, 1.0f, "0", 0.0f},       {M::kLowFreq, 1.0f, "100", 0.5f},
      {M::kLowFreq, 1.0f, "0", 0.0f},        {M::kLowFreq, 1.0f, "-40", 0.0f},
      {M::kHighFreq, 1.0f, "16000.0", 1.0f},
  };
  const VstInt32 fineTune = index(Meaning::kFineTune);
  open();
  for (const auto& c : kCases) {
    const VstInt32 tag = index(c.meaning);
    fx->setParameter(fineTune, c.fineTune);
    fx->setParameter(tag, 0.3f);
    ed->valueEntered(tag, c.text);
    EXPECT_FLOAT_EQ(fx->getParameter(tag), c.stored) << tag << " '" << c.text << "' fine tune " << c.fineTune;
  }
  EXPECT_TRUE(takeHostLog().empty()) << "a typed value is not automation";

  // Typing the shown value back gives the parameter again.
  fx->setParameter(fineTune, 1.0f);
  for (const ValueEntryRule& rule : traits().valueEntries) {
    fx->setParameter(rule.tag, 0.7f);
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(fx->getParameterPlainValue(rule.tag)));
    ed->valueEntered(rule.tag, text);
    EXPECT_NEAR(fx->getParameter(rule.tag), 0.7f, 1e-5) << rule.tag;
  }

  // A focus loss without an entry, the field's own tag or a tag without a law set nothing.
  for (std::int32_t tag : {-1, product().tags.valueField, index(Meaning::kLowSat), 0, 200}) {
    const float before = tag >= 0 ? fx->getParameter(tag) : 0.0f;
    ed->valueEntered(tag, "0.9");
    if (tag >= 0) {
      EXPECT_EQ(fx->getParameter(tag), before) << tag;
    }
  }
}

TEST_P(OstrelvanheimEditorTest, ADoubleClickOpensTheValueFieldOverTheCounter) {
  const VstInt32 drive = index(Meaning::kDrive);
  fx->setParameter(drive, 0.5f);
  fx->setParameter(index(Meaning::kRelease), 0.5f);
  fx->setParameter(index(Meaning::kHighFreq), 0.5f);
  open();
  const EditorControl& driveRow = *rowOf(drive);
  // At the knob's own angle (straight up for 0.5): the presses move nothing.
  const CPoint top((driveRow.rect.left + driveRow.rect.right) / 2.0, driveRow.rect.top + 10);
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
  EXPECT_FLOAT_EQ(fx->getParameter(drive), 0.375f);
  const std::vector<std::string> press = gesture(drive);
  std::vector<std::string> presses = press;
  presses.insert(presses.end(), press.begin(), press.end());
  EXPECT_EQ(takeHostLog(), presses) << "the presses' gestures, and no automation";
  idle(2);
  EXPECT_EQ(counterText(), "-6.00dB");

  // Release takes two decimals, HighFreq one; none opens while the back page shows.
  ed->openValueEntry(index(Meaning::kRelease));
  EXPECT_STREQ(field->getText(), "1.00");
  window().pressKey(VKEY_ESCAPE);
  ed->openValueEntry(index(Meaning::kHighFreq));
  EXPECT_STREQ(field->getText(), "4000.0");
  window().pressKey(VKEY_RETURN);
  EXPECT_EQ(field->getParentView(), nullptr);
  ed->swapPages();
  ed->openValueEntry(drive);
  EXPECT_EQ(field->getParentView(), nullptr);
  EXPECT_EQ(frame()->getFocusView(), nullptr);
}

// ---------------------------------------------------------------- routes

TEST_P(OstrelvanheimEditorTest, EachGestureReachesTheHostAsItsParameterSays) {
  const auto& tags = product().tags;
  auto at = [this](std::int32_t tag) { return centreOf(*rowOf(tag)); };
  auto set = [this](std::int32_t index, float v) { return [this, index, v] { fx->setParameter(index, v); }; };
  auto expectParameter = [this](std::int32_t index, float v) {
    return [this, index, v] { EXPECT_FLOAT_EQ(fx->getParameter(index), v) << index; };
  };
  const VstInt32 drive = index(Meaning::kDrive), mix = index(Meaning::kMix),
                 process = index(Meaning::kProcess), mode = index(Meaning::kMode),
                 link = index(Meaning::kLink), meters = index(Meaning::kMeters),
                 longRelease = index(Meaning::kLong), stereo = index(Meaning::kMonoStereo),
                 lr = index(Meaning::kLR), scale = index(Meaning::kMeterScale),
                 fineTune = index(Meaning::kFineTune), vuRefer = index(Meaning::kVuRefer),
                 knobMode = index(Meaning::kKnobMode), fat = index(Meaning::kFat);
  const EditorControl& channel = *rowOf(tags.channelMode);
  // The channel button: the stereo mode and left/right as one gesture.
  auto channelGesture = [&](const char* stereoValue, const char* lrValue) {
    return std::vector<std::string>{
        line("begin", stereo),         line("begin", lr),   line("automate", stereo, stereoValue),
        line("automate", lr, lrValue), line("end", stereo), line("end", lr)};
  };
  std::vector<GestureCase> cases = {
      {"drag Drive up in linear mode", set(drive, 0.5f),
       [&] { window().drag(at(drive), at(drive) + CPoint(0, -60), kLButton, 1); }, gesture(drive, "0.700000"),
       expectParameter(drive, 0.7f)},
      {"Ctrl-click Drive", set(drive, 0.7f), [&] { click(at(drive), kLButton | kControl); },
       gesture(drive, "0.500000"), expectParameter(drive, 0.5f)},
      {"wheel on Mix", set(mix, 0.5f), [&] { window().wheel(at(mix), 1); }, gesture(mix, "0.510000"),
       nullptr},
      {"click Process", set(process, 1), [&] { click(at(process)); }, gesture(process, "0.000000"), nullptr},
      {"click Mode", set(mode, 0), [&] { click(at(mode)); }, gesture(mode, "1.000000"), nullptr},
      {"click Link", set(link, 0), [&] { click(at(link)); }, gesture(link, "1.000000"), nullptr},
      {"click Long", set(longRelease, 0), [&] { click(at(longRelease)); }, gesture(longRelease, "1.000000"),
       nullptr},
      {"Meters switch, lower band", set(meters, 0), [&] { click(at(meters) + CPoint(0, 20)); },
       gesture(meters, "1.000000"), nullptr},
      {"channel button, lower zone: stereo", set(tags.channelMode, 0),
       [&] { click(CPoint((channel.rect.left + channel.rect.right) / 2.0, channel.rect.bottom - 4)); },
       channelGesture("1.000000", "0.000000"), expectParameter(tags.channelMode, 1.0f)},
      {"channel button, left zone: L", set(tags.channelMode, 1),
       [&] { click(CPoint(channel.rect.left + 3, (channel.rect.top + channel.rect.bottom) / 2.0)); },
       channelGesture("0.000000", "0.500000"), nullptr},
      {"click the left meter: its scale, kept without automation",
       set(scale, 0),
       [&] { click(at(scale)); },
       {},
       [&] {
         EXPECT_EQ(fx->getParameter(scale), 1.0f);
         idle();
         for (const EditorControl& row : traits().front)
           if (row.kind == LevelMeter) {
             EXPECT_EQ(static_cast<CMovieMeter*>(viewOf(&row))->getMode(), 1);
           }
       }},
      {"click the delay readouts", nullptr, [&] { click(at(tags.delayClick)); }, {}, nullptr},
      {"click a lamp", nullptr, [&] { click(at(tags.leftLamp)); }, {}, nullptr},
      {"page switch",
       nullptr,
       [&] { click(at(tags.frontPageSwitch)); },
       {},
       [&] { EXPECT_EQ(ed->getShownPage(), ed->getBackPage()); }},
      {"Ctrl-click FineTune: its gesture, no automation", set(fineTune, 0),
       [&] { click(at(fineTune), kLButton | kControl); }, gesture(fineTune), expectParameter(fineTune, 1.0f)},
      {"Ctrl-click VU Refer: a preference, nothing",
       set(vuRefer, 0),
       [&] { click(at(vuRefer), kLButton | kControl); },
       {},
       expectParameter(vuRefer, 0.4f)},
      {"Knob Mode switch, lower half",
       set(knobMode, 0),
       [&] { click(at(knobMode) + CPoint(0, 7)); },
       {},
       [&] {
         EXPECT_EQ(fx->getParameter(knobMode), 1.0f);
         EXPECT_EQ(ed->getKnobMode(), kLinearMode);
       }},
      {"back page switch",
       nullptr,
       [&] { click(at(tags.backPageSwitch)); },
       {},
       [&] { EXPECT_EQ(ed->getShownPage(), ed->getFrontPage()); }},
  };
  if (product().oversamplingSwitch)
    cases.push_back({"click FAT", set(fat, 0), [&] { click(at(fat)); }, gesture(fat, "1.000000"), nullptr});
  fx->setParameter(knobMode, 1.0f);  // linear drags
  open();
  expectGestures(cases);
}

// ---------------------------------------------------------------- meters and lamps

TEST_P(OstrelvanheimEditorTest, AnOverLightsItsLampUntilEitherLampIsClicked) {
  open();
  const EditorControl* left = rowOf(product().tags.leftLamp);
  const EditorControl* right = rowOf(product().tags.rightLamp);
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

TEST_P(OstrelvanheimEditorTest, TheMetersRunWhileTheWindowIsOpenAndRestAtSuspend) {
  std::vector<float> loud(512);
  for (std::size_t i = 0; i < loud.size(); ++i) loud[i] = (i / 8) % 2 ? 1.2f : -1.2f;
  std::vector<float> outL(512), outR(512);
  float* in[2] = {loud.data(), loud.data()};
  float* out[2] = {outL.data(), outR.data()};
  const VstInt32 metersIndex = index(Meaning::kMeters);
  fx->setParameter(metersIndex, 1.0f);              // the output level
  fx->setParameter(index(Meaning::kOutput), 1.0f);  // and 12 dB of gain: overs
  resume();
  e->processReplacing(e, in, out, 512);
  EXPECT_EQ(fx->editorMeterLevel(0), 0.0f) << "no metering without a window";

  open();
  const EditorControl* meter = findControl(traits().front, LevelMeter);
  const int silence = imageShown(meter);
  for (int block = 0; block < 8; ++block) e->processReplacing(e, in, out, 512);
  EXPECT_GT(fx->editorMeterLevel(0), 0.5f);
  idle(2);
  EXPECT_GT(imageShown(meter), silence + 30);
  EXPECT_EQ(imageShown(rowOf(product().tags.leftLamp)), 5) << "the output went over full scale";

  // Suspend: level meters to 0, the gain-reduction meters to 1.
  for (const auto& [meters, rest] : {std::pair{1.0f, 0.0f}, std::pair{0.5f, 1.0f}, std::pair{0.0f, 0.0f}}) {
    fx->setParameter(metersIndex, meters);
    suspend();
    for (const EditorControl& row : traits().front)
      if (row.kind == LevelMeter) {
        EXPECT_EQ(static_cast<CControl*>(viewOf(&row))->getValue(), rest) << meters;
      }
  }
  ed->close();
  EXPECT_EQ(fx->engine().editorIsOpen, 0);
}

// Each idle paints and sends only what changed, the meters' new images where
// they differ and the lamps, and leaves on the screen what a window painted
// whole shows.
TEST_P(OstrelvanheimEditorTest, ChangesPaintedLeaveTheWholePicture) {
  expectChangesPaintedLeaveTheWholePicture();
}

TEST_P(OstrelvanheimEditorTest, AnIdleWithTheMetersAndLampsUnchangedPaintsNothing) {
  expectUnchangedPicturesPaintNothing(index(Meaning::kDrive));
}

// ---------------------------------------------------------------- hover readout

TEST_P(OstrelvanheimEditorTest, TheCounterShowsTheHoveredKnobAndBlanksOverNothing) {
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
  window().setPointer(centreOf(*findControl(traits().front, LevelMeter)));
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
  fx->setParameter(index(Meaning::kKnee), 0.575f);
  window().setPointer(centreOf(*rowOfMeaning(Meaning::kKnee)));
  idle(9 * 15);
  EXPECT_EQ(counterText(), " 57.5%");

  // Over nothing for nine checks, a knob for one, then nothing again: the
  // count starts afresh after the knob.
  const CPoint nothing(20, 150);
  ASSERT_EQ(ed->getFrontPage()->getViewAt(nothing), nullptr);
  window().setPointer(nothing);
  idle(9 * 9);
  window().setPointer(centreOf(*rowOfMeaning(Meaning::kHighFreq)));
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
TEST_P(OstrelvanheimEditorTest, CallsFromAnotherThreadWaitForTheWindowsIdle) {
  const VstInt32 process = index(Meaning::kProcess);
  fx->setParameter(process, 1.0f);
  fx->setParameter(index(Meaning::kMeters), 0.5f);
  open();
  CControl* processButton = control(process);
  const CControl* meter = control(index(Meaning::kMeterScale));
  const auto& tags = product().tags;
  std::thread([&] {
    fx->setParameter(process, 0.0f);
    fx->setParameter(tags.frontPageSwitch, 1.0f);
    ed->resetMeters();
  }).join();
  EXPECT_EQ(processButton->getValue(), 1.0f) << "not before the idle";
  EXPECT_EQ(ed->getShownPage(), ed->getFrontPage());
  EXPECT_NE(meter->getValue(), 1.0f);
  idle();
  EXPECT_EQ(processButton->getValue(), 0.0f);
  EXPECT_EQ(meter->getValue(), 1.0f) << "gain reduction at rest";
  EXPECT_EQ(ed->getShownPage(), ed->getBackPage());
  // Two page requests flip twice.
  std::thread([&] {
    fx->setParameter(tags.backPageSwitch, 1.0f);
    fx->setParameter(tags.frontPageSwitch, 1.0f);
  }).join();
  idle();
  EXPECT_EQ(ed->getShownPage(), ed->getBackPage());
}

// Several knobs automated from another thread: at the next idle the counter
// shows the knob changed last, as for changes on the window's own thread.
TEST_P(OstrelvanheimEditorTest, AfterAutomationFromAnotherThreadTheCounterShowsTheKnobChangedLast) {
  const VstInt32 knee = index(Meaning::kKnee), highAdjust = index(Meaning::kHighAdjust),
                 drive = index(Meaning::kDrive);
  open();
  const struct {
    std::vector<std::pair<VstInt32, float>> changes;
    const char* counter;
  } kCases[] = {
      {{{highAdjust, 0.75f}, {knee, 0.575f}}, " 57.5%"},
      {{{knee, 0.2f}, {highAdjust, 0.25f}}, "-6.00dB"},
      {{{knee, 0.3f}, {drive, 0.25f}, {highAdjust, 0.75f}, {drive, 0.75f}}, "+12.0dB"},
  };
  for (const auto& c : kCases) {
    std::thread([&] {
      for (const auto& [i, v] : c.changes) fx->setParameter(i, v);
    }).join();
    idle(2);
    EXPECT_EQ(counterText(), c.counter);
  }
  // On the window's own thread, as ever.
  fx->setParameter(highAdjust, 0.75f);
  fx->setParameter(knee, 0.4f);
  idle();
  EXPECT_EQ(counterText(), " 40.0%");
}

// The audio thread processing, a host thread automating and suspending,
// the window's thread idling with the pointer on the controls.
TEST_P(OstrelvanheimEditorTest, AudioAutomationAndTheWindowRunTogether) {
  using M = Meaning;
  const auto& tags = product().tags;
  std::vector<VstInt32> indices = {tags.frontPageSwitch, tags.backPageSwitch, tags.channelMode};
  for (VstInt32 m : {M::kDrive, M::kKnee, M::kSpeed, M::kMix, M::kOutput, M::kMeters, M::kMeterType,
                     M::kMeterScale, M::kOverIndic, M::kMonoStereo, M::kLR, M::kLowSat, M::kVuIntegr})
    indices.push_back(index(m));
  runAudioAutomationAndTheWindowTogether(indices);
}

// ---------------------------------------------------------------- open and close

TEST_P(OstrelvanheimEditorTest, ThePresetStripStaysWholeAbovePageSwaps) {
  expectTheStripAboveThePagesAfterSwaps();
}

TEST_P(OstrelvanheimEditorTest, ClosingAndOpeningAgainLeavesNothingBehind) {
  closeAndOpenAgain(index(Meaning::kMix));
}

TEST_P(OstrelvanheimEditorTest, AnEffectDeletedWithItsWindowOpenTakesTheWindowAlong) {
  open();
  ed->openValueEntry(index(Meaning::kDrive));
  window().type("3");
  fx.reset();  // the host never closed the window
  ed = nullptr;
  EXPECT_EQ(liveObjectCount(), objectsBefore);
}

}  // namespace editortest
