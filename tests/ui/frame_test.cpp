// The frame: the dirty model, paint passes, mouse dispatch with capture and
// hover, the text focus, double clicks, the wheel and the pointer.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/testing/pixels.h"

namespace {

using namespace uitest;
using Log = std::vector<std::string>;

std::string pointText(const CPoint& p) {
  char text[64];
  std::snprintf(text, sizeof text, "%g,%g", p.x, p.y);
  return text;
}

// A view that fills itself with its colour and logs what reaches it.
class Probe : public CView {
 public:
  Probe(const CRect& r, const char* name, Log& log, CColor color = kRedCColor)
      : CView(r), name_(name), log_(log), color_(color) {}

  void draw(CDrawContext* context) override {
    ++draws;
    context->getClipRect(lastClip);
    context->setFillColor(color_);
    context->drawRect(size, kDrawFilled);
    log_.push_back("draw " + name_);
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override {
    log_.push_back("down " + name_ + " " + pointText(p) + " " + std::to_string(b));
    return downResult;
  }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override {
    log_.push_back("up " + name_ + " " + pointText(p) + " " + std::to_string(b));
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
    log_.push_back("moved " + name_ + " " + pointText(p) + " " + std::to_string(b));
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(CPoint&, const CButtonState&) override {
    log_.push_back("entered " + name_);
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint&, const CButtonState&) override {
    log_.push_back("exited " + name_);
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint& p, const float& d, const CButtonState& b) override {
    log_.push_back("wheel " + name_ + " " + pointText(p) + " " + std::to_string(static_cast<int>(d)) + " " +
                   std::to_string(b));
    return true;
  }

  CMouseEventResult downResult = kMouseEventHandled;
  int draws = 0;
  CRect lastClip;

 private:
  std::string name_;
  Log& log_;
  CColor color_;
};

// ---------------------------------------------------------------- dirty model

TEST(DirtyModel, SetDirtyTrueKeepsTheOldValueAndFalseTakesTheValue) {
  CControl c(CRect(0, 0, 10, 10));
  struct Step {
    const char* what;
    float value;   // set before the step (NAN: leave)
    int dirtyArg;  // -1: no setDirty
    bool dirty;
    float old;
  };
  const Step steps[] = {
      {"new control", 0.0f, -1, false, 0.0f},      {"value changed", 0.3f, -1, true, 0.0f},
      {"flag set", 0.3f, 1, true, 0.0f},           {"drawn", 0.3f, 0, false, 0.3f},
      {"flag alone", 0.3f, 1, true, 0.3f},         {"flag cleared", 0.3f, 0, false, 0.3f},
      {"same value again", 0.3f, -1, false, 0.3f}, {"beyond max", 639.0f, -1, true, 0.3f},
  };
  for (const Step& s : steps) {
    c.setValue(s.value);
    if (s.dirtyArg >= 0) c.setDirty(s.dirtyArg == 1);
    EXPECT_EQ(c.isDirty(), s.dirty) << s.what;
    EXPECT_EQ(c.getOldValue(), s.old) << s.what;
  }
}

class DirtyFrameTest : public FrameTest {};

TEST_F(DirtyFrameTest, AContainerMarkedDirtyRepaintsWholeWithoutMarkingItsChildren) {
  Log log;
  auto* page = add(new CViewContainer(CRect(0, 0, 200, 100)));
  auto* a = new Probe(CRect(10, 10, 30, 30), "a", log);
  auto* b = new Probe(CRect(50, 10, 70, 30), "b", log);
  page->addView(a);
  page->addView(b);
  frame->idle();
  log.clear();
  page->setDirty(true);
  EXPECT_FALSE(a->isDirty());
  EXPECT_FALSE(b->isDirty());
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a", "draw b"}));
  EXPECT_FALSE(page->isDirty());
}

TEST_F(DirtyFrameTest, IdleRedrawsTheDirtyControlsOnly) {
  class Counting : public CControl {
   public:
    using CControl::CControl;
    void draw(CDrawContext*) override {
      ++draws;
      setDirty(false);
    }
    int draws = 0;
  };
  auto* changed = add(new Counting(CRect(10, 10, 20, 20)));
  auto* still = add(new Counting(CRect(30, 10, 40, 20)));
  frame->idle();
  changed->setValue(0.7f);
  frame->idle();
  EXPECT_EQ(changed->draws, 2);
  EXPECT_EQ(still->draws, 1);
  EXPECT_FALSE(changed->isDirty()) << "drawing cleared it";
  EXPECT_EQ(frame->getPaintPassCount(), 2u);
  frame->idle();
  EXPECT_EQ(frame->getPaintPassCount(), 2u) << "nothing dirty: no paint pass";
  changed->setDirty(true);
  frame->idle();
  EXPECT_EQ(changed->draws, 3);
}

// ---------------------------------------------------------------- paint pass

class PaintTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    a = add(new Probe(CRect(10, 10, 50, 50), "a", log, kRedCColor));
    b = add(new Probe(CRect(40, 40, 80, 80), "b", log, kGreenCColor));
    c = add(new Probe(CRect(100, 100, 120, 120), "c", log, kBlueCColor));
    frame->idle();
    log.clear();
  }
  Log log;
  Probe* a = nullptr;
  Probe* b = nullptr;
  Probe* c = nullptr;
};

TEST_F(PaintTest, DrawsEveryViewMeetingTheInvalidAreaOnceInCreationOrder) {
  a->invalid();
  a->invalid();
  b->invalid();
  a->setDirty(true);
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a", "draw b"}));
  EXPECT_EQ(frame->getPixels().pixel(45, 45), kGreenCColor) << "the later view lies on top";
  EXPECT_EQ(frame->getPixels().pixel(15, 15), kRedCColor);
}

TEST_F(PaintTest, ClipsEachViewToItsRectangleWithinTheInvalidArea) {
  frame->invalidRect(CRect(45, 45, 48, 48));  // inside the overlap only
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a", "draw b"}));
  EXPECT_EQ(a->lastClip, CRect(45, 45, 48, 48));
  EXPECT_EQ(b->lastClip, CRect(45, 45, 48, 48));
  log.clear();
  a->invalidRect(CRect(10, 10, 20, 20));  // a's own corner: b is not touched
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a"}));
  EXPECT_EQ(a->lastClip, CRect(10, 10, 20, 20));
}

// A view added below another is drawn before it and found under it; below
// a view that is no child, it goes on top.
TEST_F(PaintTest, AViewAddedBelowAnotherLiesUnderIt) {
  auto* d = new Probe(CRect(30, 30, 60, 60), "d", log, kWhiteCColor);
  ASSERT_TRUE(frame->addView(d, b));
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a", "draw d", "draw b"}));
  EXPECT_EQ(frame->getPixels().pixel(35, 35), kWhiteCColor) << "over the earlier view";
  EXPECT_EQ(frame->getPixels().pixel(45, 45), kGreenCColor) << "under the later one";
  EXPECT_EQ(frame->getViewAt(CPoint(45, 45)), b);
  EXPECT_EQ(frame->getViewAt(CPoint(35, 35)), d);
  auto* outside = new Probe(CRect(0, 0, 1, 1), "outside", log);
  auto* e = new Probe(CRect(110, 110, 130, 130), "e", log, kWhiteCColor);
  EXPECT_TRUE(frame->addView(e, outside));
  EXPECT_EQ(frame->getView(frame->getNbViews() - 1), e);
  outside->forget();
}

// Overlapping views are repainted together, so a view under another that
// changes shows through nowhere.
TEST_F(PaintTest, AViewUnderAnotherIsCoveredAgainAfterItsOwnRedraw) {
  a->invalid();
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a", "draw b"}));
  EXPECT_EQ(frame->getPixels().pixel(45, 45), kGreenCColor);
  EXPECT_EQ(window().screen().pixel(45, 45), kGreenCColor) << "the pass reached the screen";
}

// The window shows what a paint pass drew, the invalid area only; an expose
// paints what is pending first and shows the area asked for.
TEST_F(PaintTest, ThePassPresentsItsAreaAndAnExposeShowsTheCurrentPicture) {
  const int presents = window().presentCount();
  a->invalidRect(CRect(12.5, 12.5, 20, 20));
  frame->idle();
  EXPECT_EQ(window().presentCount(), presents + 1);
  EXPECT_EQ(window().lastPresented(), (PixelRect{12, 12, 20, 20}));
  c->invalid();
  window().expose(PixelRect{0, 0, 5, 5});
  EXPECT_EQ(log, (Log{"draw a", "draw c"}));
  EXPECT_EQ(window().lastPresented(), (PixelRect{0, 0, 5, 5}));
  EXPECT_EQ(frame->getInvalidArea(), PixelRect{});
  EXPECT_TRUE(window().screen() == frame->getPixels()) << "every pass reached the screen";
}

// Rectangles asked for join what they overlap or lie flush against; others
// stay parts of their own, up to a few.
TEST(PixelRegion, RectanglesJoinWhatTheyOverlapOrLieFlushAgainst) {
  using Parts = std::vector<PixelRect>;
  const struct {
    const char* what;
    Parts added;
    Parts parts;
  } cases[] = {
      {"apart", {{0, 0, 10, 10}, {20, 0, 30, 10}}, {{0, 0, 10, 10}, {20, 0, 30, 10}}},
      {"overlapping: their bounds", {{0, 0, 10, 10}, {5, 5, 15, 15}}, {{0, 0, 15, 15}}},
      {"flush along a whole edge", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 20, 10}}},
      {"touching at a corner only", {{0, 0, 10, 10}, {10, 10, 20, 20}}, {{0, 0, 10, 10}, {10, 10, 20, 20}}},
      {"a join that reaches a third", {{0, 0, 10, 10}, {30, 0, 40, 10}, {5, 0, 35, 5}}, {{0, 0, 40, 10}}},
      {"inside another", {{0, 0, 10, 10}, {2, 2, 4, 4}}, {{0, 0, 10, 10}}},
      {"empty rectangles add nothing", {{0, 0, 0, 10}, {5, 5, 5, 5}}, {}},
  };
  for (const auto& c : cases) {
    PixelRegion region;
    for (const PixelRect& r : c.added) region.add(r);
    EXPECT_EQ(region.parts(), c.parts) << c.what;
  }
  // Past the most parts the two whose bounds waste least are joined.
  PixelRegion many;
  for (int i = 0; i <= static_cast<int>(PixelRegion::kMaxParts); ++i)
    many.add(PixelRect{i * 20, 0, i * 20 + 5, 5});
  EXPECT_EQ(many.parts().size(), PixelRegion::kMaxParts);
  EXPECT_EQ(many.area(), 5 * 5 * static_cast<long>(PixelRegion::kMaxParts + 1) + 15 * 5);
  EXPECT_EQ(many.bounds(), (PixelRect{0, 0, static_cast<int>(PixelRegion::kMaxParts) * 20 + 5, 5}));
}

// Two changes far apart are painted as two parts, each view once, and the
// window is sent those parts and nothing else.
TEST_F(PaintTest, ChangesApartArePaintedAndSentAsPartsOfTheirOwn) {
  const long sent = window().presentedPixels();
  a->invalidRect(CRect(10, 10, 20, 20));
  c->invalid();
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a", "draw c"}));
  EXPECT_EQ(window().lastPresentedRegion().parts(),
            (std::vector<PixelRect>{{10, 10, 20, 20}, {100, 100, 120, 120}}));
  EXPECT_EQ(window().presentedPixels() - sent, 10 * 10 + 20 * 20);
  EXPECT_TRUE(window().screen() == frame->getPixels());
}

// A view that two parts of a pass meet is drawn once (a lamp steps down once
// per pass): the parts become one, clipped as one.
TEST_F(PaintTest, AViewThatTwoPartsMeetIsDrawnOnce) {
  b->invalidRect(CRect(41, 41, 44, 44));  // a and b overlap there
  b->invalidRect(CRect(75, 75, 78, 78));  // b alone
  frame->idle();
  EXPECT_EQ(log, (Log{"draw a", "draw b"}));
  EXPECT_EQ(b->lastClip, CRect(41, 41, 78, 78));
  EXPECT_EQ(window().lastPresentedRegion().parts(), (std::vector<PixelRect>{{41, 41, 78, 78}}));
}

TEST_F(PaintTest, AViewInvalidatedWhileDrawingWaitsForTheNextPass) {
  class Restless : public Probe {
   public:
    using Probe::Probe;
    void draw(CDrawContext* context) override {
      Probe::draw(context);
      invalid();
    }
  };
  Log own;
  auto* restless = add(new Restless(CRect(150, 10, 160, 20), "r", own));
  frame->idle();
  EXPECT_EQ(restless->draws, 1);
  frame->idle();
  EXPECT_EQ(restless->draws, 2);
}

TEST_F(DirtyFrameTest, ContainersPlaceTheirChildrenAndTheirBackgroundClipped) {
  CBitmap* frameArt = bitmapOf(gradientPixels(200, 150));
  CBitmap* pageArt = bitmapOf(stripPixels(200, 150, 1));  // taller than the page
  CBitmap* knobArt = bitmapOf(stripPixels(10, 10, 3));
  frame->setBackground(frameArt);
  auto* page = add(new CViewContainer(CRect(20, 30, 180, 110), frame, pageArt));
  auto* knob = new CAnimKnob(CRect(5, 5, 15, 15), nullptr, 1, 3, 10, knobArt);
  knob->setValue(1.0f);
  page->addView(knob);
  frameArt->forget();
  pageArt->forget();
  knobArt->forget();
  frame->idle();
  const PixelBuffer& p = frame->getPixels();
  EXPECT_EQ(p.pixel(30, 40), stripColor(2)) << "a child of the page at page (5,5) is frame (25,35)";
  EXPECT_EQ(p.pixel(24, 34), stripColor(0)) << "the page picture";
  EXPECT_EQ(p.pixel(100, 120), frameArt->getPixel(100, 120)) << "below the page: the frame's picture";
  const BitmapDrawing* blit = recorder.lastBitmapInto(PixelRect{25, 35, 35, 45});
  ASSERT_NE(blit, nullptr);
  EXPECT_EQ(blit->source, CPoint(0, 20));
  EXPECT_EQ(blit->view, knob);
}

// ---------------------------------------------------------------- mouse dispatch

class MouseTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    // A page away from the frame's corner, so that parent coordinates show.
    page = add(new CViewContainer(CRect(10, 20, 190, 140)));
    a = new Probe(CRect(0, 0, 40, 40), "a", log);
    b = new Probe(CRect(30, 30, 70, 70), "b", log);
    page->addView(a);
    page->addView(b);
  }
  Log log;
  CViewContainer* page = nullptr;
  Probe* a = nullptr;
  Probe* b = nullptr;
};

TEST_F(MouseTest, TheResultOfThePressDecidesWhoGetsTheMovesAndTheRelease) {
  struct Case {
    CMouseEventResult result;
    Log expected;
  };
  const Case cases[] = {
      {kMouseEventHandled, {"entered a", "down a 5,5 2", "moved a 150,100 2", "up a 160,110 2", "exited a"}},
      {kMouseDownEventHandledButDontNeedMovedOrUpEvents, {"entered a", "down a 5,5 2", "exited a"}},
      {kMouseEventNotHandled, {"entered a", "down a 5,5 2", "exited a"}},
  };
  for (const Case& c : cases) {
    log.clear();
    a->downResult = c.result;
    window().mouseDown(CPoint(15, 25), kLButton);
    window().mouseMove(CPoint(160, 120), kLButton);  // far outside a
    window().mouseUp(CPoint(170, 130), kLButton);
    EXPECT_EQ(log, c.expected) << c.result;
    window().mouseMove(CPoint(195, 145));
    window().mouseLeave();
    window().advanceTime(1000);
  }
}

TEST_F(MouseTest, APressGoesToTheTopmostViewUnderThePointer) {
  window().click(CPoint(45, 55));  // page (35,35): a and b overlap, b is later
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[1], "down b 35,35 2");
  log.clear();
  b->setMouseEnabled(false);
  window().advanceTime(1000);
  window().click(CPoint(46, 56));
  EXPECT_NE(std::find(log.begin(), log.end(), "down a 36,36 2"), log.end());
}

TEST_F(MouseTest, HoverSendsEnteredExitedAndMovesWithoutButtons) {
  window().mouseMove(CPoint(15, 25), kShift);
  window().mouseMove(CPoint(70, 80), kShift);
  window().mouseMove(CPoint(195, 145));
  window().mouseMove(CPoint(20, 30), kLButton | kControl);  // a button held, pressed elsewhere
  window().mouseLeave();
  EXPECT_EQ(log, (Log{"entered a", "moved a 5,5 16", "exited a", "entered b", "moved b 60,60 16", "exited b",
                      "entered a", "moved a 10,10 32", "exited a"}));
}

TEST_F(MouseTest, ACapturedDragSendsNoEnteredOrExitedAndTheReleaseRechecksTheHover) {
  window().mouseMove(CPoint(15, 25));
  log.clear();
  window().mouseDown(CPoint(15, 25), kLButton);
  window().mouseMove(CPoint(75, 85), kLButton);  // over b only
  window().mouseLeave();
  window().mouseDown(CPoint(75, 85), kRButton);  // a second button belongs to the drag
  window().mouseUp(CPoint(75, 85), kRButton);
  window().mouseUp(CPoint(75, 85), kLButton);
  EXPECT_EQ(log, (Log{"down a 5,5 2", "moved a 65,65 2", "up a 65,65 2", "exited a", "entered b"}));
}

TEST_F(MouseTest, HoverSurvivesAPress) {
  window().mouseMove(CPoint(15, 25));
  window().click(CPoint(16, 26));
  window().mouseMove(CPoint(17, 27));
  EXPECT_EQ(std::count(log.begin(), log.end(), "entered a"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "exited a"), 0);
}

TEST_F(MouseTest, AViewRemovedDuringADragNoLongerReceivesIt) {
  window().mouseDown(CPoint(15, 25), kLButton);
  EXPECT_EQ(frame->getMouseCaptureView(), a);
  page->removeView(a, true);
  EXPECT_EQ(frame->getMouseCaptureView(), nullptr);
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
  log.clear();
  window().mouseMove(CPoint(50, 60), kLButton);
  window().mouseUp(CPoint(50, 60), kLButton);
  EXPECT_EQ(log, (Log{"entered b", "moved b 40,40 0"}));
}

TEST_F(MouseTest, TheWheelGoesToTheTopmostViewUnderThePointer) {
  window().wheel(CPoint(45, 55), 1.0f, kShift);
  window().wheel(CPoint(15, 25), -1.0f);
  EXPECT_EQ(log, (Log{"wheel b 35,35 1 16", "wheel a 5,5 -1 0"}));
  EXPECT_FALSE(frame->onWheel(CPoint(195, 145), 1.0f, 0));
}

TEST_F(MouseTest, ThePointerIsKnownAlsoOutsideTheWindow) {
  window().setPointer(CPoint(-30, 500));
  CPoint where;
  EXPECT_TRUE(frame->getCurrentMouseLocation(where));
  EXPECT_EQ(where, CPoint(-30, 500));
}

// The second press of a button within the interval and 4 pixels of the first
// is a double click; a third press starts a new pair.
TEST_F(MouseTest, DoubleClicksAreMadeFromPressTimesAndPlaces) {
  struct Press {
    std::uint64_t time;
    CPoint at;
    CButtonState button;
    bool doubleClick;
  };
  struct Case {
    const char* what;
    std::uint32_t interval;
    std::vector<Press> presses;
  };
  const CPoint p(150, 130);  // over nothing: the frame answers for itself
  const Case cases[] = {
      {"within the interval", 400, {{0, p, kLButton, false}, {400, p, kLButton, true}}},
      {"too late", 400, {{0, p, kLButton, false}, {401, p, kLButton, false}}},
      {"4 px away", 400, {{0, p, kLButton, false}, {100, CPoint(154, 126), kLButton, true}}},
      {"5 px away", 400, {{0, p, kLButton, false}, {100, CPoint(155, 130), kLButton, false}}},
      {"another button", 400, {{0, p, kLButton, false}, {100, p, kRButton, false}}},
      {"a third press",
       400,
       {{0, p, kLButton, false},
        {100, p, kLButton, true},
        {200, p, kLButton, false},
        {300, p, kLButton, true}}},
      {"a short interval", 50, {{0, p, kLButton, false}, {60, p, kLButton, false}, {100, p, kLButton, true}}},
  };
  // A view over the whole frame reports the bits it is given.
  auto* catcher = add(new Probe(CRect(140, 120, 200, 150), "c", log));
  catcher->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  for (const Case& c : cases) {
    frame->setDoubleClickInterval(c.interval);
    std::uint64_t base = window().now() + 100000;
    for (const Press& press : c.presses) {
      window().setTime(base + press.time);
      log.clear();
      window().mouseDown(press.at, press.button | kShift);
      window().mouseUp(press.at, press.button);
      const CButtonState bits = press.button | kShift | (press.doubleClick ? kDoubleClick : 0);
      const std::string expected = "down c " + pointText(press.at) + " " + std::to_string(bits);
      EXPECT_NE(std::find(log.begin(), log.end(), expected), log.end()) << c.what << " at " << press.time;
    }
  }
  EXPECT_EQ(frame->getDoubleClickInterval(), 50u);
}

// ---------------------------------------------------------------- text focus

class FocusProbe : public CView {
 public:
  FocusProbe(const char* name, Log& log) : CView(CRect(0, 0, 5, 5)), name_(name), log_(log) {}
  void takeFocus() override { log_.push_back("take " + name_ + focusText()); }
  void looseFocus() override { log_.push_back("loose " + name_ + focusText()); }

 private:
  std::string focusText() const {
    CView* f = getFrame() ? getFrame()->getFocusView() : nullptr;
    return f ? " (focus " + std::string(f == this ? "self" : "other") + ")" : " (focus none)";
  }
  std::string name_;
  Log& log_;
};

TEST_F(DirtyFrameTest, TheNewFocusIsCurrentBeforeTheOldOneLosesIt) {
  Log log;
  auto* a = add(new FocusProbe("a", log));
  auto* b = add(new FocusProbe("b", log));
  frame->setFocusView(a);
  frame->setFocusView(a);
  frame->setFocusView(b);
  frame->setFocusView(nullptr);
  EXPECT_EQ(log, (Log{"take a (focus self)", "loose a (focus other)", "take b (focus self)",
                      "loose b (focus none)"}));
}

// A field that leaves its page when it loses the focus, as the editors' value
// entry does.
class LeavingField : public CTextEdit {
 public:
  LeavingField(CViewContainer* page, Log& log)
      : CTextEdit(CRect(10, 10, 60, 25), nullptr, 58), page_(page), log_(log) {}
  void looseFocus() override {
    CTextEdit::looseFocus();
    log_.push_back(std::string("loose, attached ") + (page_->isChild(this) ? "yes" : "no"));
    page_->removeView(this, false);
  }

 private:
  CViewContainer* page_;
  Log& log_;
};

TEST_F(DirtyFrameTest, AFieldRemovingItselfOnFocusLossDoesNotReenter) {
  Log log;
  auto* page = add(new CViewContainer(CRect(0, 0, 200, 150)));
  auto* field = new LeavingField(page, log);
  ASSERT_TRUE(page->addView(field));
  frame->setFocusView(field);
  EXPECT_FALSE(page->addView(field)) << "a field still attached is not added twice";
  frame->setFocusView(nullptr);
  EXPECT_EQ(log, (Log{"loose, attached yes"}));
  EXPECT_FALSE(page->isChild(field));
  EXPECT_EQ(frame->getFocusView(), nullptr);
  // Added again and removed while it has the focus: it loses it first, once.
  log.clear();
  ASSERT_TRUE(page->addView(field));
  frame->setFocusView(field);
  EXPECT_FALSE(page->removeView(field, false)) << "the field left during its own focus loss";
  EXPECT_EQ(log, (Log{"loose, attached yes"}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
  field->forget();
}

TEST_F(DirtyFrameTest, RemovingAPageTakesTheFocusFromAViewInside) {
  Log log;
  auto* page = add(new CViewContainer(CRect(0, 0, 200, 150)));
  auto* probe = new FocusProbe("p", log);
  page->addView(probe);
  frame->setFocusView(probe);
  frame->removeView(page, false);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(log, (Log{"take p (focus self)", "loose p (focus none)"}));
  page->forget();
}

TEST_F(DirtyFrameTest, APressElsewhereEndsTheEditingBeforeItIsDelivered) {
  Log log;
  auto* field = add(new CTextEdit(CRect(10, 10, 90, 26), &listener, 59, "Init"));
  auto* other = add(new Probe(CRect(100, 10, 150, 40), "o", log));
  (void)other;
  window().click(CPoint(20, 15));
  ASSERT_TRUE(field->isEditing());
  EXPECT_EQ(window().keyboardFocusRequests(), 1);
  window().advanceTime(1000);
  window().click(CPoint(20, 15));  // into the field itself, left of the text: still editing
  EXPECT_TRUE(field->isEditing());
  EXPECT_EQ(field->getCaret(), 0u);
  window().type("X");
  window().pressKey(VKEY_END);
  window().type("Y");
  window().click(CPoint(110, 20));
  EXPECT_FALSE(field->isEditing());
  ASSERT_EQ(listener.changes.size(), 1u);
  EXPECT_STREQ(field->getText(), "XInitY");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "entered o");
}

TEST_F(DirtyFrameTest, AnotherWindowTakingTheKeyboardEndsTheEditingAsTyped) {
  auto* field = add(new CTextEdit(CRect(10, 10, 90, 26), &listener, 59, "Init"));
  window().click(CPoint(20, 15));
  ASSERT_TRUE(field->isEditing());
  EXPECT_TRUE(window().holdsKeyboard());
  window().type("X");
  window().loseKeyboardFocus();
  EXPECT_FALSE(field->isEditing());
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_STREQ(field->getText(), "InitX");
  EXPECT_EQ(listener.changes.size(), 1u);
  window().click(CPoint(20, 15));
  window().pressKey(VKEY_ESCAPE);
  EXPECT_FALSE(window().holdsKeyboard()) << "every end of the editing gives the keyboard back";
}

// ---------------------------------------------------------------- lifetime

TEST(FrameLifetime, ClosingLeavesNoObjectWindowOrTimerBehind) {
  const long objects = liveObjectCount();
  const long windows = livePlatformWindowCount();
  LogEditor editor;
  auto* frame = new CFrame(CRect(0, 0, 100, 80), nullptr, &editor);
  CBitmap* art = bitmapOf(stripPixels(10, 10, 2));
  auto* page = new CViewContainer(CRect(0, 0, 100, 80), frame, art);
  page->addView(new COnOffButton(CRect(0, 0, 10, 10), nullptr, 1, art));
  auto* field = new CTextEdit(CRect(20, 20, 60, 30), nullptr, 2, "x");
  page->addView(field);
  frame->addView(page);
  art->forget();
  frame->setFocusView(field);
  static int ticks = 0;
  ASSERT_NE(frame->getPlatformWindow()->setTimer(
                0, 50, [](void*, TimerId) { ++ticks; }, nullptr),
            0u);
  frame->idle();
  EXPECT_GT(liveObjectCount(), objects);
  EXPECT_EQ(livePlatformWindowCount(), windows + 1);
  frame->close();
  EXPECT_EQ(liveObjectCount(), objects);
  EXPECT_EQ(livePlatformWindowCount(), windows);
}

}  // namespace
