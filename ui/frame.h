// The frame: the root container of an editor window. It owns the platform
// window (through the back end), the picture the window shows, and the
// editor's event handling: mouse dispatch with capture and hover, the text
// focus, the wheel and keys, and one paint pass per idle.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/backend/platform_window.h"
#include "ui/draw_context.h"
#include "ui/view.h"

namespace jyxui {

class VSTGUIEditorInterface;

// Two presses of the same button close in time and place make a double click;
// a third press starts over.
class DoubleClickDetector {
 public:
  static constexpr std::uint32_t kDefaultIntervalMs = 400;
  static constexpr CCoord kDistance = 4;

  // True when this press completes a double click.
  bool press(const CPoint& where, CButtonState button, std::uint64_t timeMs);
  void setInterval(std::uint32_t ms) { interval_ = ms; }
  std::uint32_t interval() const { return interval_; }

 private:
  std::uint32_t interval_ = kDefaultIntervalMs;
  bool armed_ = false;
  CButtonState button_ = 0;
  CPoint where_;
  std::uint64_t time_ = 0;
};

class CFrame : public CViewContainer, private IPlatformWindowClient {
 public:
  // Creates the platform window as a child of systemWindow (an X11 Window id
  // or an HWND) at the rectangle's position; without a system window the frame
  // lives offscreen. The frame's own coordinates start at (0,0).
  CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor);

  // Ends text editing, removes and releases every view, destroys the window
  // (its timers with it) and releases the frame: the frame is gone afterwards.
  void close();
  // Processes pending window events, invalidates the dirty views and runs
  // one paint pass over everything invalidated since the last one.
  void idle();
  // A paint pass now, without processing events.
  void updateScreen();

  int32_t getKnobMode() const;
  void beginEdit(int32_t index);
  void endEdit(int32_t index);
  VSTGUIEditorInterface* getEditor() const { return pEditor; }
  void* getSystemWindow() const { return systemWindow_; }
  IPlatformWindow* getPlatformWindow() const { return window_.get(); }

  // The text focus: the new view is current before the old one loses the
  // focus and the new one takes it, so a focus change never re-enters.
  void setFocusView(CView* view);
  CView* getFocusView() const { return pFocusView; }

  // The pointer in frame coordinates, also outside the window.
  bool getCurrentMouseLocation(CPoint& where) const;

  // ---- event entry points (the platform window and tests) ----
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  // The pointer left the window.
  CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& keyCode) override;
  int32_t onKeyUp(VstKeyCode& keyCode) override;

  // ---- painting ----
  void invalid() override;
  void invalidRect(const CRect& rect) override;
  void invalidateFrameRect(const CRect& rect);
  const PixelBuffer& getPixels() const { return pixels_; }
  // What is waiting for the next paint pass (empty when nothing): its bounds
  // and its parts. A pass paints and sends to the window the parts alone.
  PixelRect getInvalidArea() const { return invalidRegion_.bounds(); }
  const PixelRegion& getInvalidRegion() const { return invalidRegion_; }
  void setDrawObserver(DrawObserver* observer) { observer_ = observer; }
  // Paint passes run so far.
  std::uint64_t getPaintPassCount() const { return paintPasses_; }

  void setDoubleClickInterval(std::uint32_t ms) { doubleClick_.setInterval(ms); }
  std::uint32_t getDoubleClickInterval() const { return doubleClick_.interval(); }
  CView* getMouseCaptureView() const { return mouseCapture_; }
  CView* getMouseOverView() const { return mouseOver_; }

  // Called by a container before it lets a view go: the view loses the focus,
  // the capture and the hover it holds, itself or through a child.
  void viewWillBeRemoved(CView* view);

  CPoint childOrigin() const override { return CPoint(0, 0); }
  bool isTypeOf(const char* name) const override;

 protected:
  ~CFrame() override;

 private:
  // IPlatformWindowClient
  void platformMouseDown(const CPoint& where, CButtonState buttons, std::uint64_t timeMs) override;
  void platformMouseUp(const CPoint& where, CButtonState buttons) override;
  void platformMouseMoved(const CPoint& where, CButtonState buttons) override;
  void platformMouseExited() override;
  void platformWheel(const CPoint& where, float distance, CButtonState modifiers) override;
  bool platformKeyDown(const VstKeyCode& key) override;
  bool platformKeyUp(const VstKeyCode& key) override;
  void platformKeyboardFocusLost() override;
  void platformExposed(const PixelRect& area) override;
  const PixelBuffer& platformPixels() const override { return pixels_; }

  // The deepest visible, mouse-enabled view under the point (frame coordinates).
  CView* mouseTargetAt(const CPoint& where) const;
  void updateMouseOver(const CPoint& where, CButtonState buttons);
  void paint();
  // A view that meets two parts of a pass would be drawn twice in it (a
  // lamp would step down twice): the parts each view meets become one.
  void joinPartsSharingAView(PixelRegion& region) const;
  bool touches(const CView* held, const CView* removed) const;

  VSTGUIEditorInterface* pEditor;
  void* systemWindow_;
  std::unique_ptr<IPlatformWindow> window_;
  PixelBuffer pixels_;
  PixelRegion invalidRegion_;
  DrawObserver* observer_ = nullptr;
  std::uint64_t paintPasses_ = 0;
  CView* pFocusView = nullptr;
  CView* mouseCapture_ = nullptr;
  CButtonState captureButton_ = 0;  // the button whose press started the capture
  CView* mouseOver_ = nullptr;
  CPoint lastPointer_;
  DoubleClickDetector doubleClick_;
  bool closed_ = false;
  bool pumping_ = false;
  bool painting_ = false;
};

}  // namespace jyxui
