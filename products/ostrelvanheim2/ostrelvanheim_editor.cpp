#include "products/ostrelvanheim2/ostrelvanheim_editor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dsp/metering.h"
#include "presets/preset_effect.h"

using namespace jyxui;

namespace {

using enum EditorControlKind;

// The front page leaves the last rows of its picture to the preset strip; the
// back page's picture runs two rows below the page.
constexpr CCoord kFrontPageTrim = 16;
constexpr CCoord kBackPageTrim = 2;
// The level meters' range: a level may exceed it, the strip goes on to 2.17.
constexpr float kMeterMax = 1.44f;
// The needle meters' range, their Control-click value, and their needle and
// lamp at open (both at rest until the first idle).
constexpr float kNeedleMax = 2.0f;
constexpr float kNeedleDefault = 0.0001f;
constexpr float kNeedleStart = 0.00001f;
constexpr float kNeedleLampStart = 0.001f;
// Hover checks over no control (or a meter, page switch or lamp) before the
// counter blanks; the hover readout runs on every ninth idle.
constexpr int32_t kHoverChecksBeforeBlank = 10;
constexpr int32_t kIdlesBetweenHoverChecks = 8;

CRect rectOf(const EditorArea& a) { return CRect(a.left, a.top, a.right, a.bottom); }
CColor colorOf(const EditorColor& c) { return MakeCColor(c.red, c.green, c.blue, c.alpha); }

// A bitmap of the skin, or null when it is missing (its control is then left out).
CBitmap* loadBitmap(const CResourceDescription& description) {
  auto* bitmap = new CBitmap(description);
  if (bitmap->isLoaded()) return bitmap;
  bitmap->forget();
  return nullptr;
}
CBitmap* loadBitmap(int32_t number) {
  return number > 0 ? loadBitmap(CResourceDescription(number)) : nullptr;
}

CParamDisplayValueToStringProc converterOf(ReadoutText text) {
  switch (text) {
    case ReadoutText::Milliseconds: return &msStringConvert;
    case ReadoutText::Samples: return &samplesStringConvert;
    case ReadoutText::Decibels: return &dBStringConvert;
    case ReadoutText::DecibelsFS: return &dBFSStringConvert;
    case ReadoutText::Ratio: return &ratioStringConvert;
    case ReadoutText::Integer: return &intStringConvert;
    case ReadoutText::Percent: return &percentStringConvert;
  }
  return &intStringConvert;
}

bool contains(std::span<const std::int32_t> indices, VstInt32 index) {
  return std::find(indices.begin(), indices.end(), index) != indices.end();
}

const ValueEntryRule* entryRuleOf(std::span<const ValueEntryRule> rules, int32_t tag) {
  for (const ValueEntryRule& r : rules)
    if (r.tag == tag) return &r;
  return nullptr;
}

// The inverse of a parameter's display: the 0..1 value of a typed value v,
// with f the fine-tune factor. Not a number where the text has none to give.
double enteredValue(const ValueEntryRule& rule, float v, float f) {
  const double x = v;
  switch (rule.law) {
    case EntryLaw::Decibels: return (x + rule.a * f) / (2.0 * rule.a * f);
    case EntryLaw::RootDecibels: {
      const double g = std::sqrt(static_cast<double>(f));
      return (x + rule.a * g) / (2.0 * rule.a * g);
    }
    case EntryLaw::Percent: return x / 100.0;
    case EntryLaw::Log16: return std::log(x / rule.a) / std::log(16.0);
  }
  return 0.0;
}

// The left control of a pair comes first in the tables, the right one next.
template <typename Control>
Control* keepLeftThenRight(std::array<Control*, 2>& pair, Control* control) {
  pair[pair[0] ? 1 : 0] = control;
  return control;
}

// Meters, page switches and lamps show no value of their own on the counter.
bool countsTowardsBlank(EditorControlKind kind) {
  return kind == LevelMeter || kind == PageSwitch || kind == ClipLamp || kind == NeedleMeter;
}

bool isKnob(EditorControlKind kind) { return kind == Knob || kind == ColumnKnob || kind == PlainKnob; }

}  // namespace

// The pictures of one open, each decoded once however many controls show it;
// the controls keep their own references, the set lets its own go at the end.
class OstrelvanheimEditor::OpenBitmaps {
 public:
  OpenBitmaps() = default;
  OpenBitmaps(const OpenBitmaps&) = delete;
  OpenBitmaps& operator=(const OpenBitmaps&) = delete;
  ~OpenBitmaps() {
    for (const Entry& e : entries_)
      if (e.bitmap) e.bitmap->forget();
  }
  // Null when the skin lacks it.
  CBitmap* get(int32_t number) {
    for (const Entry& e : entries_)
      if (!e.name && e.number == number) return e.bitmap;
    entries_.push_back({number, nullptr, loadBitmap(number)});
    return entries_.back().bitmap;
  }
  CBitmap* get(const char* name) {
    if (!name) return nullptr;
    for (const Entry& e : entries_)
      if (e.name && std::strcmp(e.name, name) == 0) return e.bitmap;
    entries_.push_back({0, name, loadBitmap(CResourceDescription(name))});
    return entries_.back().bitmap;
  }

 private:
  struct Entry {
    int32_t number;
    const char* name;  // null: known by number
    CBitmap* bitmap;
  };
  std::vector<Entry> entries_;
};

OstrelvanheimEditor::OstrelvanheimEditor(CPresetSystemEffect* effect, EditorEffect* source,
                                         const OstrelvanheimEditorTraits& traits)
    : CMyPresetSystemEditor(effect), source_(source), traits_(traits) {
  if (source_) source_->setEditorIsOpen(false);
  rect = ERect{0, 0, static_cast<VstInt16>(traits_.height), static_cast<VstInt16>(traits_.width)};
}

OstrelvanheimEditor::~OstrelvanheimEditor() {
  if (!frame) return;
  // The effect is going away: what the closing window reports reaches nothing.
  windowThread.store(std::thread::id{});
  source_ = nullptr;
  effect = nullptr;
  CMyPresetSystemEditor::close();
  closeWindow();
}

// ---------------------------------------------------------------- window

bool OstrelvanheimEditor::open(void* parent) {
  // A window already open stays as it is.
  if (frame || !effect || !source_) return false;
  AEffEditor::open(parent);
  windowThread.store(std::this_thread::get_id());
  // The controls start from the effect's values: nothing asked before counts.
  pendingWork.store(0);
  pendingSwaps.store(0);
  for (std::atomic<std::uint64_t>& bits : pendingIndices) bits.store(0);

  CBitmap* frontPicture = loadBitmap(traits_.frontBitmap);
  if (!frontPicture) {
    windowThread.store(std::thread::id{});
    AEffEditor::close();
    return false;
  }
  const CCoord width = frontPicture->getWidth();
  const CCoord height = frontPicture->getHeight();
  frame = new MyFrame(CRect(rect.left, rect.top, rect.left + width, rect.top + height), parent, this);
  frame->setBackground(frontPicture);
  frontPage = new CViewContainer(CRect(0, 0, width, height - kFrontPageTrim), frame, frontPicture);
  frontPicture->forget();
  if (CBitmap* backPicture = loadBitmap(traits_.backBitmap)) {
    backPage = new CViewContainer(
        CRect(0, 0, backPicture->getWidth(), backPicture->getHeight() - kBackPageTrim), frame, backPicture);
    backPicture->forget();
  }
  {
    OpenBitmaps bitmaps;
    if (!buildPage(traits_.front, frontPage, frontViews, bitmaps)) {
      abandonOpen();
      return false;
    }
    if (backPage) buildPage(traits_.back, backPage, backViews, bitmaps);
  }

  frame->addView(frontPage);
  shownPage = frontPage;
  hiddenPage = backPage;
  if (traits_.stripOpensLast) {
    setKnobModeFrom(effect->getParameter(traits_.knobModeIndex));
    CMyPresetSystemEditor::open(parent);
  } else {
    CMyPresetSystemEditor::open(parent);
    setKnobModeFrom(effect->getParameter(traits_.knobModeIndex));
  }
  source_->setEditorIsOpen(true);
  return true;
}

// A window that cannot be had as a whole: the pages and what was built on
// them go, the frame closes, metering stays off.
void OstrelvanheimEditor::abandonOpen() {
  windowThread.store(std::thread::id{});
  if (frontPage) frontPage->forget();  // never attached to the frame
  hiddenPage = backPage;
  closeWindow();
}

bool OstrelvanheimEditor::buildPage(std::span<const EditorControl> rows, CViewContainer* page, Views& views,
                                    OpenBitmaps& bitmaps) {
  views.assign(rows.size(), nullptr);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const EditorControl& row = rows[i];
    // A product may leave the readout of a knob's value out with its knob.
    if (traits_.readoutsGoWithTheirKnobs && row.kind == Readout && row.source == ReadoutSource::PlainValue) {
      bool knobMissing = false;
      for (std::size_t k = 0; k < i; ++k)
        if (isKnob(rows[k].kind) && rows[k].tag == row.valueIndex) knobMissing = !views[k];
      if (knobMissing) continue;
    }
    CView* view = build(row, page, bitmaps);
    // No window without its needle meters.
    if (!view && row.kind == NeedleMeter) return false;
    views[i] = view;
    // The value field waits outside the page until a value is typed.
    if (view && row.kind != ValueField) page->addView(view);
  }
  return true;
}

CView* OstrelvanheimEditor::build(const EditorControl& row, CViewContainer* page, OpenBitmaps& bitmaps) {
  const CRect r = rectOf(row.rect);
  switch (row.kind) {
    case Readout: {
      // Over a copy of the page's picture taken at its back offset.
      auto* display = new CBackDisplay(r, page->getBackground());
      display->setBackOffset(CPoint(row.backOffset.x, row.backOffset.y));
      display->setHoriAlign(kCenterText);
      display->setFont(kNormalFontVerySmall);
      display->setFontColor(colorOf(row.textColor));
      display->setValue(readoutValue(row));
      display->setStringConvert(converterOf(row.text));
      return display;
    }
    case ClickArea: return new CClickRect(r, this, row.tag);
    case PageSwitch: return new CViewContainerSwitch(r, this, row.tag);
    case Label: return new CLabel2(r, row.label);
    case ValueField: {
      valueEntryField = new CMyTextEdit(r, this, row.tag, "", nullptr);
      valueEntryField->setBackColor(colorOf(row.backColor));
      valueEntryField->setFrameColor(colorOf(row.backColor));
      valueEntryField->setFontColor(colorOf(row.textColor));
      valueEntryField->setFont(kNormalFont);
      return valueEntryField;
    }
    default: break;
  }

  CBitmap* bitmap = bitmaps.get(row.bitmap);
  if (!bitmap) return nullptr;
  const int32_t images = std::max(row.images, 1);
  const CCoord imageHeight = bitmap->getHeight() / images;
  CControl* control = nullptr;
  switch (row.kind) {
    case OnOffButton: control = new CMyOnOffButton(r, this, row.tag, bitmap); break;
    case ThreeWaySwitch:
      control = new CMyVerticalSwitch(r, this, row.tag, images, imageHeight, images, bitmap);
      break;
    case ChannelButton: control = channelButton = new CMyLRUDButton(r, this, row.tag, bitmap); break;
    case Knob: control = new CAnimKnob2(r, this, row.tag, images, imageHeight, bitmap); break;
    case ColumnKnob:
      control = new CAnimKnob3(r, this, row.tag, images, row.columnWidth, r.getHeight(), bitmap);
      break;
    case PlainKnob: control = new CAnimKnob(r, this, row.tag, images, imageHeight, bitmap); break;
    case KnobModeSwitch:
      control = new CVerticalSwitch(r, this, row.tag, images, imageHeight, images, bitmap);
      break;
    case LevelMeter: {
      CBitmap* scale = bitmaps.get(row.scaleBitmap);
      if (!scale) break;  // a meter needs both scales
      auto* meter = new CMovieMeter(r, this, row.tag, images, static_cast<int32_t>(imageHeight), bitmap,
                                    scale, CPoint(0, 0), source_->getMeterScaleMode());
      meter->setMin(0);
      meter->setMax(kMeterMax);
      control = keepLeftThenRight(meters, meter);
      break;
    }
    case ClipLamp:
      control = keepLeftThenRight(
          lamps,
          new CMovieLED(r, this, row.tag, images, static_cast<int32_t>(imageHeight), bitmap, CPoint(0, 0)));
      break;
    case NeedleMeter: control = buildNeedleMeter(row, bitmaps); break;
    case Counter:
      control = counter =
          new CCounter(r, this, row.tag, row.initialValue, row.counterMode, row.rect.left, row.rect.top,
                       static_cast<int32_t>(bitmap->getWidth()), static_cast<int32_t>(imageHeight), bitmap);
      break;
    default: break;
  }
  if (control) startControl(row, *control);
  return control;
}

// Null unless the face, the overlay and the lamp are all there.
CControl* OstrelvanheimEditor::buildNeedleMeter(const EditorControl& row, OpenBitmaps& bitmaps) {
  const NeedleMeterLayout* n = row.needle;
  if (!n) return nullptr;
  CBitmap* face = bitmaps.get(row.bitmap);
  CBitmap* overlay = bitmaps.get(n->overlayName);
  CBitmap* lampStrip = bitmaps.get(n->lampBitmap);
  if (!face || !overlay || !lampStrip) return nullptr;
  auto point = [](const EditorPoint& p) { return CPoint(p.x, p.y); };
  auto* meter =
      new COldVuMeter(rectOf(row.rect), this, row.tag, face, overlay, point(n->lampAt), point(n->overlayAt),
                      lampStrip, point(n->pivot), n->innerRadius, n->outerRadius, n->further1, n->further2);
  meter->setMin(0);
  meter->setMax(kNeedleMax);
  meter->setDefaultValue(kNeedleDefault);
  meter->setLamp(kNeedleLampStart);
  meter->setValue(kNeedleStart);
  return keepLeftThenRight(needles, meter);
}

void OstrelvanheimEditor::startControl(const EditorControl& row, CControl& control) {
  switch (row.kind) {
    case OnOffButton:
    case ThreeWaySwitch:
    case ChannelButton:
    case KnobModeSwitch: control.setValue(source_->getControlValue(row.tag)); break;
    case Knob:
    case ColumnKnob:
    case PlainKnob:
      control.setValue(source_->getControlValue(row.tag));
      control.setDefaultValue(row.defaultValue);
      if (row.wheelStep > 0) control.setWheelInc(row.wheelStep);
      break;
    default: break;
  }
}

void OstrelvanheimEditor::close() {
  windowThread.store(std::thread::id{});
  if (traits_.stripOpensLast) {
    if (source_) source_->setEditorIsOpen(false);
    hoverCount = 0;
    CMyPresetSystemEditor::close();
  } else {
    CMyPresetSystemEditor::close();
    if (source_) source_->setEditorIsOpen(false);
    hoverCount = 0;
  }
  closeWindow();
}

void OstrelvanheimEditor::closeWindow() {
  // The value field outside its page is the editor's to release; in the page
  // it goes with the page.
  if (valueEntryField && !valueEntryField->getParentView()) valueEntryField->forget();
  valueEntryField = nullptr;
  frontViews.clear();
  backViews.clear();
  meters = {};
  lamps = {};
  needles = {};
  counter = nullptr;
  channelButton = nullptr;
  lastHoveredView = nullptr;
  frontPage = backPage = nullptr;
  // Not attached to the frame: nothing else holds it.
  if (hiddenPage) hiddenPage->forget();
  shownPage = hiddenPage = nullptr;
  AEffGUIEditor::close();
}

template <typename Action>
void OstrelvanheimEditor::forEachBuilt(Action action) const {
  for (std::size_t i = 0; i < frontViews.size(); ++i) action(traits_.front[i], frontViews[i]);
  for (std::size_t i = 0; i < backViews.size(); ++i) action(traits_.back[i], backViews[i]);
}

CView* OstrelvanheimEditor::viewOf(const EditorControl* row) const {
  CView* found = nullptr;
  forEachBuilt([&](const EditorControl& r, CView* view) {
    if (&r == row) found = view;
  });
  return found;
}

const EditorControl* OstrelvanheimEditor::rowOf(const CView* view) const {
  const EditorControl* found = nullptr;
  if (view)
    forEachBuilt([&](const EditorControl& r, CView* v) {
      if (v == view) found = &r;
    });
  return found;
}

// ---------------------------------------------------------------- refresh

void OstrelvanheimEditor::setParameter(VstInt32 index, float value) {
  if (index < 0 || index > traits_.highestIndex || index >= kIndexSlots) return;
  if (onWindowThread()) {
    followParameter(index, value);
    return;
  }
  // Another thread: a request, nothing more.
  if (isPageSwitch(index)) {
    pendingSwaps.fetch_add(1, std::memory_order_release);
    return;
  }
  const auto slot = static_cast<std::size_t>(index);
  pendingValues[slot].store(value, std::memory_order_relaxed);
  pendingOrder[slot].store(requestCount.fetch_add(1, std::memory_order_relaxed), std::memory_order_relaxed);
  pendingIndices[static_cast<std::size_t>(index) / 64].fetch_or(std::uint64_t{1} << (index % 64),
                                                                std::memory_order_release);
}

void OstrelvanheimEditor::updateDelayDisplays() {
  if (onWindowThread())
    refreshDelayReadouts();
  else
    pendingWork.fetch_or(kDelayDisplays, std::memory_order_release);
}

void OstrelvanheimEditor::resetMeters() {
  if (onWindowThread())
    resetMetersNow();
  else
    pendingWork.fetch_or(kResetMeters, std::memory_order_release);
}

bool OstrelvanheimEditor::onWindowThread() const {
  return std::this_thread::get_id() == windowThread.load(std::memory_order_relaxed);
}

bool OstrelvanheimEditor::isPageSwitch(VstInt32 index) const {
  return findControl(traits_.front, PageSwitch, index) || findControl(traits_.back, PageSwitch, index);
}

void OstrelvanheimEditor::carryOutRequests() {
  if (!frame) return;
  const unsigned work = pendingWork.exchange(0, std::memory_order_acquire);
  if (work & kResetMeters) resetMetersNow();
  if (work & kDelayDisplays) refreshDelayReadouts();
  // Each index asked for, with its place in the order of the requests, taken
  // once: another thread may ask again meanwhile (then again at the next idle).
  struct Request {
    VstInt32 index;
    std::uint64_t order;
  };
  std::array<Request, kIndexSlots> requests;
  std::size_t count = 0;
  for (std::size_t word = 0; word < pendingIndices.size(); ++word) {
    for (std::uint64_t bits = pendingIndices[word].exchange(0, std::memory_order_acquire); bits != 0;
         bits &= bits - 1) {
      const std::size_t slot = word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
      requests[count++] = {static_cast<VstInt32>(slot), pendingOrder[slot].load(std::memory_order_relaxed)};
    }
  }
  // In the order the changes came, so that the counter ends on the knob
  // changed last, as it does on this thread.
  std::sort(requests.begin(), requests.begin() + static_cast<std::ptrdiff_t>(count),
            [](const Request& a, const Request& b) { return a.order < b.order; });
  for (std::size_t i = 0; i < count; ++i) {
    const VstInt32 index = requests[i].index;
    followParameter(index, pendingValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed));
  }
  // Each request flips the pages once.
  if (pendingSwaps.exchange(0, std::memory_order_acquire) % 2 == 1) swapPages();
}

// What the controls show after a change of the index: the effect's value on
// its controls, the plain value on the counter (front knobs) and readouts.
void OstrelvanheimEditor::followParameter(VstInt32 index, float value) {
  if (!frame || !effect || !source_ || index < 0 || index > traits_.highestIndex) return;
  bool lampsDone = false;
  forEachBuilt([&](const EditorControl& row, CView* view) {
    if (row.kind == Readout) {
      if (view && row.source == ReadoutSource::PlainValue && row.valueIndex == index)
        static_cast<CParamDisplay*>(view)->setValue(source_->getParameterPlainValue(index));
      return;
    }
    if (row.tag != index) return;
    auto* control = static_cast<CControl*>(view);
    switch (row.kind) {
      case OnOffButton:
      case ThreeWaySwitch:
      case ChannelButton:
        if (control) control->setValue(source_->getControlValue(index));
        break;
      case Knob:
      case ColumnKnob:
      case PlainKnob:
        if (control) control->setValue(source_->getControlValue(index));
        if (row.counterMode >= 0 && counter)
          counter->setValueAndMode(source_->getParameterPlainValue(index), row.counterMode);
        break;
      case KnobModeSwitch:
        if (control) control->setValue(value);
        setKnobModeFrom(value);
        break;
      case LevelMeter:
        if (control) static_cast<CMovieMeter*>(control)->setMode(source_->getMeterScaleMode());
        break;
      case ClipLamp:
        if (!lampsDone) resetLamps();
        lampsDone = true;
        break;
      case PageSwitch: swapPages(); break;
      default: break;
    }
  });
  if (channelButton && contains(traits_.channelIndices, index))
    channelButton->setValue(source_->getControlValue(channelButton->getTag()));
  if (contains(traits_.delayIndices, index)) refreshDelayReadouts();
}

void OstrelvanheimEditor::setKnobModeFrom(float value) {
  AEffGUIEditor::setKnobMode(value < 0.5f ? kCircularMode : kLinearMode);
}

float OstrelvanheimEditor::readoutValue(const EditorControl& row) {
  switch (row.source) {
    case ReadoutSource::DelayMs: return source_->getDelayMs();
    case ReadoutSource::DelaySamples: return source_->getDelaySamples();
    case ReadoutSource::PlainValue: return source_->getParameterPlainValue(row.valueIndex);
  }
  return 0;
}

void OstrelvanheimEditor::refreshDelayReadouts() {
  if (!source_) return;
  forEachBuilt([&](const EditorControl& row, CView* view) {
    if (!view || row.kind != Readout || row.source == ReadoutSource::PlainValue) return;
    auto* display = static_cast<CParamDisplay*>(view);
    display->setValue(readoutValue(row));
    display->setDirty();
  });
}

void OstrelvanheimEditor::resetMetersNow() {
  if (!source_) return;
  // The gain-reduction meters rest at 1 (no reduction), the level meters at 0.
  const float rest = meterSourceOf(source_->getMetersValue()) == 1 ? 1.0f : 0.0f;
  for (CMovieMeter* meter : meters)
    if (meter) meter->setValue(rest);
  for (COldVuMeter* needle : needles)
    if (needle) needle->setValue(rest);
  for (CMovieLED* lamp : lamps)
    if (lamp) lamp->setValue(0);
}

void OstrelvanheimEditor::resetLamps() {
  for (CMovieLED* lamp : lamps) {
    if (!lamp) continue;
    lamp->reset();
    lamp->invalid();
  }
  for (COldVuMeter* needle : needles)
    if (needle) needle->resetLamp();
}

void OstrelvanheimEditor::swapPages() {
  if (!frame || !hiddenPage || !shownPage) return;
  CViewContainer* previous = shownPage;
  // In the shown page's place, below the preset strip: a front page may
  // reach into the strip's row, and the strip must stay whole above it.
  frame->addView(hiddenPage, previous);
  shownPage = hiddenPage;
  hiddenPage = previous;
  frame->removeView(previous, false);
}

// ---------------------------------------------------------------- idle

void OstrelvanheimEditor::idle() {
  carryOutRequests();
  CMyPresetSystemEditor::idle();
  if (!frame || !frontPage || shownPage != frontPage || !source_) return;
  showMeters();
  if (idleTicks < kIdlesBetweenHoverChecks) {
    ++idleTicks;
    return;
  }
  idleTicks = 0;
  hoverReadout();
}

void OstrelvanheimEditor::showMeters() {
  for (int c = 0; c < 2; ++c) {
    const float level = source_->editorMeterLevel(c);
    // Taken only while the front page shows them: an over meanwhile waits.
    const float over = source_->takeEditorOverFlag(c);
    if (meters[c]) meters[c]->setValue(level);
    if (needles[c]) needles[c]->setLevels(level, over);
    // A lamp that holds its dim image keeps it without a redraw until the next over.
    if (CMovieLED* lamp = lamps[c]; lamp && (over != 0 || lamp->getOldValue() > CMovieLED::kHoldLevel))
      lamp->setValue(over);
  }
}

void OstrelvanheimEditor::hoverReadout() {
  CView* view = nullptr;
  if (frontPage) {
    CPoint where;
    frame->getCurrentMouseLocation(where);
    view = frontPage->getViewAt(where);
  }
  const EditorControl* row = rowOf(view);
  if (!view || (row && countsTowardsBlank(row->kind))) {
    lastHoveredView = view;
    blankCounterAfterHover();
    return;
  }
  // Over a control: the count towards blanking starts again.
  hoverCount = 0;
  if (view == lastHoveredView) return;
  lastHoveredView = view;
  auto* control = dynamic_cast<CControl*>(view);
  if (control) followParameter(control->getTag(), control->getValue());
}

void OstrelvanheimEditor::blankCounterAfterHover() {
  if (++hoverCount <= kHoverChecksBeforeBlank) return;
  if (counter) counter->setValueAndMode(0, 0);
  hoverCount = 0;
}

// ---------------------------------------------------------------- controls to effect

void OstrelvanheimEditor::valueChanged(CControl* control) {
  CMyPresetSystemEditor::valueChanged(control);
  if (!control || !effect) return;
  const int32_t tag = control->getTag();
  const float value = control->getValue();
  if (const EditorControl* row = rowOf(control)) {
    switch (row->kind) {
      case ClipLamp:
        resetLamps();
        control->invalid();
        return;
      case ClickArea:
        if (source_) source_->refreshHook();
        return;
      case NeedleMeter:
        // Both lamps out; the clicked meter's level is kept, within the
        // parameter's range, without telling the host.
        resetLamps();
        effect->setParameter(tag, std::clamp(value, 0.0f, 1.0f));
        return;
      case ChannelButton: channelModeGesture(tag, value); return;
      default: break;
    }
  }
  if (contains(traits_.unautomatedTags, tag)) {
    effect->setParameter(tag, value);
    if (traits_.redrawUnautomated) control->invalid();
  } else if (tag >= 0 && tag < effect->getAeffect()->numParams) {
    effect->setParameterAutomated(tag, value);
  } else {
    effect->setParameter(tag, value);
  }
}

// The channel button sets its own editor-only index, which sets the
// stereo-mode and left/right parameters; the host records those two as one
// gesture.
void OstrelvanheimEditor::channelModeGesture(int32_t tag, float value) {
  effect->setParameter(tag, value);
  const auto [first, second] = traits_.channelIndices;
  if (frame) {
    frame->beginEdit(first);
    frame->beginEdit(second);
  }
  effect->setParameterAutomated(first, effect->getParameter(first));
  effect->setParameterAutomated(second, effect->getParameter(second));
  if (frame) {
    frame->endEdit(first);
    frame->endEdit(second);
  }
}

// ---------------------------------------------------------------- typed values

void OstrelvanheimEditor::openValueEntry(int32_t tag) {
  if (!frame || !frontPage || shownPage != frontPage || !source_ || !valueEntryField) return;
  char text[32] = "";
  if (const ValueEntryRule* rule = entryRuleOf(traits_.valueEntries, tag))
    std::snprintf(text, sizeof text, "%.*f", rule->decimals,
                  static_cast<double>(source_->getParameterPlainValue(tag)));
  if (!valueEntryField->getParentView()) frontPage->addView(valueEntryField);
  valueEntryField->setText(text);
  valueEntryField->beginEdit();
  frame->setFocusView(valueEntryField);
  valueEntryField->activateForTag(tag);
}

void OstrelvanheimEditor::valueEntered(int32_t tag, const char* text) {
  if (frontPage && valueEntryField) frontPage->removeView(valueEntryField, false);
  // A focus loss without an entry (-1), or any tag without a law, sets nothing.
  const ValueEntryRule* rule = entryRuleOf(traits_.valueEntries, tag);
  if (!rule || !effect || !source_) return;
  const auto typed = static_cast<float>(std::atof(text ? text : ""));
  const float fineTune =
      traits_.fineTuneIndex >= 0 ? source_->getParameterPlainValue(traits_.fineTuneIndex) : 1.0f;
  const double value = enteredValue(*rule, typed, fineTune);
  // No number to give (a logarithm of 0 or less, NaN typed) counts as 0.
  effect->setParameter(tag, static_cast<float>(value >= 0.0 ? std::min(value, 1.0) : 0.0));
  if (frontPage) frontPage->setDirty();
}
