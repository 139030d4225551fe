// Cost of JYX Ostrelvanheim2's editor window on an offscreen frame with the
// real skin: opening it (every picture decoded, every control built, the
// first paint of the whole window) and closing it again; and one idle call
// with the front page shown while the meters move, as the host's idle and the
// window's timer run it (the requests of other threads, the paint pass of
// what changed, meters, lamps, the hover readout). Reports what each idle
// redrew, then the targets and whether they hold.
//
// Run it on one core, e.g.: taskset -c 2 build/linux/tools/bench/editor_bench
// The effect's settings go to a temporary folder, so the user's settings are
// neither read nor written.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "products/ostrelvanheim2/editor_layout.h"
#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tools/bench/bench_support.h"
#include "ui/backend/offscreen.h"
#include "ui/testing/draw_recorder.h"

namespace {

std::map<std::string, double> gMeanNs;

void openAndClose(benchmark::State& state) {
  Ostrelvanheim fx(&bench::hostCallback, ostrelvanheim2::kProduct);
  OstrelvanheimEditor* ed = fx.productEditor();
  for (auto _ : state) {
    ed->open(nullptr);
    ed->idle();  // the first paint of the whole window
    state.PauseTiming();
    ed->close();
    state.ResumeTiming();
  }
}

// Counts what one paint pass draws.
class DrawCount : public jyxui::testkit::DrawRecorder {
 public:
  void reset() {
    bitmaps.clear();
    strings.clear();
    rects.clear();
    lines.clear();
  }
  long pixels() const {
    long n = 0;
    for (const auto& b : bitmaps) {
      const jyxui::PixelRect r = b.dest.intersected(b.clip);
      if (r.width() > 0 && r.height() > 0) n += static_cast<long>(r.width()) * r.height();
    }
    return n;
  }
};

void idleWithMovingMeters(benchmark::State& state, bool moving) {
  Ostrelvanheim fx(&bench::hostCallback, ostrelvanheim2::kProduct);
  fx.setParameter(21, 1.0f);  // output level meters
  OstrelvanheimEditor* ed = fx.productEditor();
  ed->open(nullptr);
  jyxui::CFrame* frame = ed->getFrame();
  jyxui::OffscreenWindow* window = jyxui::OffscreenWindow::of(frame);
  // The pointer rests on the Drive knob, as a user's would.
  const EditorArea& drive = findTagged(ostrelvanheim2::editor::kFront, 4)->rect;
  window->setPointer(jyxui::CPoint((drive.left + drive.right) / 2.0, (drive.top + drive.bottom) / 2.0));
  for (int i = 0; i < 20; ++i) ed->idle();
  DrawCount drawn;
  frame->setDrawObserver(&drawn);
  long idles = 0, blits = 0, pixels = 0;
  double phase = 0;
  for (auto _ : state) {
    if (moving) {
      // What the audio thread hands over between two idles.
      phase += 0.37;
      fx.engine().meterLevels[0] = static_cast<float>(0.5 + 0.4 * std::sin(phase));
      fx.engine().meterLevels[1] = static_cast<float>(0.5 + 0.4 * std::cos(phase));
    }
    window->advanceTime(20);
    ed->idle();
    ++idles;
    blits += static_cast<long>(drawn.bitmaps.size());
    pixels += drawn.pixels();
    drawn.reset();
  }
  frame->setDrawObserver(nullptr);
  ed->close();
  state.counters["blits_per_idle"] = static_cast<double>(blits) / static_cast<double>(idles ? idles : 1);
  state.counters["pixels_per_idle"] = static_cast<double>(pixels) / static_cast<double>(idles ? idles : 1);
}

class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration || r.aggregate_name == "mean")
        gMeanNs[r.run_name.function_name] =
            r.GetAdjustedRealTime() * (r.time_unit == benchmark::kMillisecond   ? 1e6
                                       : r.time_unit == benchmark::kMicrosecond ? 1e3
                                                                                : 1.0);
    ConsoleReporter::ReportRuns(runs);
  }
};

void printTarget(const char* what, const char* name, double limitNs) {
  const auto found = gMeanNs.find(name);
  if (found == gMeanNs.end()) {
    std::printf("  %-60s under %.3f ms: not run\n", what, limitNs / 1e6);
    return;
  }
  std::printf("  %-60s under %.3f ms, measured %.3f ms: %s\n", what, limitNs / 1e6, found->second / 1e6,
              found->second < limitNs ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  bench::SettingsFolder settings("jyx-editor-bench");
  if (!settings.ok()) {
    std::fprintf(stderr, "editor_bench: cannot create a temporary settings folder\n");
    return 1;
  }
  benchmark::RegisterBenchmark("open_and_first_paint", openAndClose)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("idle_meters_moving", [](benchmark::State& s) {
    idleWithMovingMeters(s, true);
  })->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("idle_meters_still", [](benchmark::State& s) {
    idleWithMovingMeters(s, false);
  })->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("JYX Ostrelvanheim2's editor on an offscreen frame with its skin, 450 x 460 pixels.\n");
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nTargets:\n");
  printTarget("opening the editor (pictures, controls, first paint)", "open_and_first_paint", 100e6);
  printTarget("an idle call, front page, meters moving", "idle_meters_moving", 1e6);
  benchmark::Shutdown();
  return 0;
}
