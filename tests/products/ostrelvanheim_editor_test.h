// The editor of an Ostrelvanheim product on an offscreen frame, with the real
// effect and the product's real skin. The tests speak of parameters by their
// meaning and of the editor's own controls by their kind; each test program
// links one product's skin and instantiates the tests for that product
// (ostrelvanheim2_editor_case.cpp, ostrelvanheim_editor_case.cpp).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/support/settings_sandbox.h"
#include "ui/backend/offscreen.h"
#include "ui/testing/draw_recorder.h"

namespace editortest {

// What differs between the products' windows besides their tables.
struct EditorProduct {
  const char* name;
  const OstrelvanheimProduct* product;
  // The delay readouts after open at 44.1 kHz.
  const char* delayMs;
  const char* delaySamples;
  // The tags of the editor's own controls.
  struct {
    std::int32_t counter, frontPageSwitch, backPageSwitch, leftLamp, rightLamp, delayClick, channelMode,
        valueField;
  } tags;
  // Every tag the controls of both pages carry, written out from the
  // product's numbering (not derived from its index map).
  std::vector<std::int32_t> controlTags;
  // The Process button's picture, and whether there is an oversampling switch.
  std::int32_t processBitmap;
  bool oversamplingSwitch;
};

// Test names show the product.
inline void PrintTo(const EditorProduct& p, std::ostream* os) { *os << p.name; }

// What the host hears: gestures and automation, one line each.
std::vector<std::string> takeHostLog();
// The lines of a gesture on a parameter: begin, the automation (if any) and end.
std::vector<std::string> gesture(VstInt32 index, const char* value = nullptr);

class OstrelvanheimEditorTest : public ::testing::TestWithParam<EditorProduct> {
 protected:
  void SetUp() override;
  void TearDown() override;

  const EditorProduct& product() const { return GetParam(); }
  const OstrelvanheimEditorTraits& traits() const { return *GetParam().product->editor; }
  // The product's index of a meaning.
  VstInt32 index(VstInt32 meaning) const { return GetParam().product->parameters.indexOf(meaning); }
  // The row of the product's tables with the tag (front page first).
  const EditorControl* rowOf(std::int32_t tag) const;
  const EditorControl* rowOfMeaning(VstInt32 meaning) const { return rowOf(index(meaning)); }
  bool onBackPage(const EditorControl* row) const;

  // Opens the window offscreen and paints it once.
  void open();
  jyxui::CFrame* frame() const { return ed->getFrame(); }
  jyxui::OffscreenWindow& window() const { return *jyxui::OffscreenWindow::of(frame()); }
  void idle(int times = 1) {
    for (int i = 0; i < times; ++i) ed->idle();
  }
  void resume() { e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f); }
  void suspend() { e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f); }

  jyxui::CView* viewOf(const EditorControl* row) const { return ed->viewOf(row); }
  jyxui::CControl* control(std::int32_t tag) const;
  // Shows the page the row lies on.
  void showPageOf(const EditorControl* row);
  // A click a second after the last one: never half of a double click.
  void click(const jyxui::CPoint& where, jyxui::CButtonState buttons = jyxui::kLButton);

  // The image last drawn for the view.
  int imageShown(const jyxui::CView* view, jyxui::CCoord imageHeight) const;
  int imageShown(const EditorControl* row) const;
  // The six glyphs the counter last drew.
  std::string counterText() const;
  std::string readoutText(const EditorControl* row) const;

  testsupport::SettingsSandbox sandbox;
  std::unique_ptr<Ostrelvanheim> fx;
  OstrelvanheimEditor* ed = nullptr;
  AEffect* e = nullptr;
  jyxui::testkit::DrawRecorder recorder;
  long objectsBefore = 0;
};

jyxui::CPoint centreOf(const EditorControl& row);

}  // namespace editortest
