// The audio path takes no memory from the heap: every product, processing in
// every mode, path (FAT off and on where there is FAT) and metering state, with automation arriving between
// blocks as a host sends it on its audio thread; nor does an open editor window when a host's other
// threads reach it. This executable replaces the global allocation functions
// (and, with glibc outside the sanitizers, malloc and its family) to count what the audio thread asks for
// while a test watches.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "products/ostrelvanheim2/ostrelvanheim.h"
#include "tests/robustness/robust_products.h"
#include "ui/testing/png.h"
#include "ui/testing/test_resources.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define JYX_ALLOCATION_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define JYX_ALLOCATION_TEST_ASAN 1
#endif
#if defined(__GLIBC__) && !defined(JYX_ALLOCATION_TEST_ASAN)
#define JYX_COUNT_MALLOC 1
#else
#define JYX_COUNT_MALLOC 0
#endif
#ifdef _WIN32
#include <malloc.h>
#define JYX_REPLACEMENT
#else
// The build hides symbols by default; the replacements must be the ones the
// shared libraries (libstdc++, a sanitizer runtime) find too.
#define JYX_REPLACEMENT __attribute__((visibility("default")))
#endif

namespace {

std::atomic<long> gAllocations{0};
thread_local bool tWatching = false;

void noteAllocation() {
  if (tWatching) gAllocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

#if JYX_COUNT_MALLOC
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);

JYX_REPLACEMENT void* malloc(std::size_t size) {
  noteAllocation();
  return __libc_malloc(size);
}
JYX_REPLACEMENT void* calloc(std::size_t count, std::size_t size) {
  noteAllocation();
  return __libc_calloc(count, size);
}
JYX_REPLACEMENT void* realloc(void* p, std::size_t size) {
  noteAllocation();
  return __libc_realloc(p, size);
}
JYX_REPLACEMENT void* memalign(std::size_t alignment, std::size_t size) {
  noteAllocation();
  return __libc_memalign(alignment, size);
}
JYX_REPLACEMENT void* aligned_alloc(std::size_t alignment, std::size_t size) {
  noteAllocation();
  return __libc_memalign(alignment, size);
}
JYX_REPLACEMENT int posix_memalign(void** p, std::size_t alignment, std::size_t size) {
  noteAllocation();
  *p = __libc_memalign(alignment, size);
  return *p ? 0 : 12;  // ENOMEM
}
JYX_REPLACEMENT void free(void* p) { __libc_free(p); }
}
#endif

namespace {

void* allocate(std::size_t size) {
  noteAllocation();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
  noteAllocation();
  const auto a = static_cast<std::size_t>(alignment);
  void* p = nullptr;
#ifdef _WIN32
  p = _aligned_malloc(size ? size : 1, a);
#else
  if (posix_memalign(&p, a < sizeof(void*) ? sizeof(void*) : a, size ? size : 1) != 0) p = nullptr;
#endif
  if (!p) throw std::bad_alloc();
  return p;
}

void releaseAligned(void* p) {
#ifdef _WIN32
  _aligned_free(p);
#else
  std::free(p);
#endif
}

}  // namespace

JYX_REPLACEMENT void* operator new(std::size_t size) { return allocate(size); }
JYX_REPLACEMENT void* operator new[](std::size_t size) { return allocate(size); }
JYX_REPLACEMENT void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
JYX_REPLACEMENT void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
JYX_REPLACEMENT void* operator new(std::size_t size, std::align_val_t a) { return allocateAligned(size, a); }
JYX_REPLACEMENT void* operator new[](std::size_t size, std::align_val_t a) {
  return allocateAligned(size, a);
}
JYX_REPLACEMENT void operator delete(void* p) noexcept { std::free(p); }
JYX_REPLACEMENT void operator delete[](void* p) noexcept { std::free(p); }
JYX_REPLACEMENT void operator delete(void* p, std::size_t) noexcept { std::free(p); }
JYX_REPLACEMENT void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
JYX_REPLACEMENT void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
JYX_REPLACEMENT void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
JYX_REPLACEMENT void operator delete(void* p, std::align_val_t) noexcept { releaseAligned(p); }
JYX_REPLACEMENT void operator delete[](void* p, std::align_val_t) noexcept { releaseAligned(p); }
JYX_REPLACEMENT void operator delete(void* p, std::size_t, std::align_val_t) noexcept { releaseAligned(p); }
JYX_REPLACEMENT void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { releaseAligned(p); }

namespace {

// Counts the allocations of this thread while it lives.
class AllocationWatch {
 public:
  AllocationWatch() : start_(gAllocations.load()) { tWatching = true; }
  ~AllocationWatch() { tWatching = false; }
  long count() const { return gAllocations.load() - start_; }

 private:
  long start_;
};

class AudioPathAllocation : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

TEST_F(AudioPathAllocation, TheWatchSeesAnAllocation) {
  void* (*volatile allocateRaw)(std::size_t) = ::operator new;
  long seen = 0;
  {
    AllocationWatch watch;
    void* p = allocateRaw(64);
    seen = watch.count();
    ::operator delete(p);
  }
  EXPECT_EQ(seen, JYX_COUNT_MALLOC + 1) << "the replaced allocation functions are not the ones in use";
#if JYX_COUNT_MALLOC
  void* (*volatile mallocRaw)(std::size_t) = std::malloc;
  AllocationWatch watch;
  void* p = mallocRaw(64);
  EXPECT_EQ(watch.count(), 1);
  std::free(p);
#endif
}

TEST_F(AudioPathAllocation, ProcessingAndAutomationTakeNothingFromTheHeap) {
  constexpr int kFrames = 512;
  std::vector<float> fl[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
  std::vector<double> dl[2] = {std::vector<double>(kFrames), std::vector<double>(kFrames)};
  for (int c = 0; c < 2; ++c) {
    const rig::Signal noise = rig::noise(kFrames, 100 + static_cast<std::uint64_t>(c), 0.9);
    for (int i = 0; i < kFrames; ++i) {
      fl[c][static_cast<std::size_t>(i)] = static_cast<float>(noise[static_cast<std::size_t>(i)]);
      dl[c][static_cast<std::size_t>(i)] = noise[static_cast<std::size_t>(i)];
    }
  }
  std::vector<float> fo[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
  std::vector<double> dout[2] = {std::vector<double>(kFrames), std::vector<double>(kFrames)};
  float* fin[2] = {fl[0].data(), fl[1].data()};
  float* fout[2] = {fo[0].data(), fo[1].data()};
  double* din[2] = {dl[0].data(), dl[1].data()};
  double* dOut[2] = {dout[0].data(), dout[1].data()};

  for (const robust::Product& product : robust::products()) {
    for (float rate : {44100.0f, 96000.0f, 192000.0f}) {
      for (const rig::Mode& mode : product.modes) {
        for (const robust::Path& path : product.paths) {
          for (int editorOpen : {0, 1}) {
            std::unique_ptr<CPresetSystemEffect> fx = robust::make(product, rate);
            AEffect* e = fx->getAeffect();
            robust::set(*fx, mode.settings);
            robust::set(*fx, path.settings);
            robust::set(*fx, product.busiest);
            product.setEditorOpen(*fx, editorOpen);
            e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
            const std::vector<rig::Setting>& automation = product.automation;
            long count = 0;
            {
              AllocationWatch watch;
              for (int block = 0; block < 8; ++block) {
                e->processReplacing(e, fin, fout, kFrames);
                e->processDoubleReplacing(e, din, dOut, kFrames);
                // Automation, then the mode again so that every block runs the mode under test.
                for (int k = 0; k < 3; ++k) {
                  const rig::Setting& s =
                      automation[(3 * static_cast<std::size_t>(block) + k) % automation.size()];
                  fx->setParameter(s.index, s.value);
                }
                robust::set(*fx, mode.settings);
                robust::set(*fx, path.settings);
              }
              count = watch.count();
            }
            EXPECT_EQ(count, 0) << product.name << " " << mode.name << path.name << " at " << rate
                                << " editor " << editorOpen;
          }
        }
      }
    }
  }
}

// Automation from the audio thread, a suspend and resume and a new program
// name from elsewhere reach the editor of an open window: each leaves its
// request for the window's thread without touching the heap.
TEST_F(AudioPathAllocation, AnOpenEditorTakesNothingFromTheHeapForOtherThreads) {
  using namespace jyxui;
  testkit::installResources({{19000, "", testkit::encodePng(PixelBuffer(450, 460))},
                             {19002, "", testkit::encodePng(PixelBuffer(450, 445))}});
  auto fx = std::make_unique<Ostrelvanheim>(&rig::hostCallback, ostrelvanheim2::kProduct);
  OstrelvanheimEditor* editor = fx->productEditor();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->open(nullptr));
  AEffect* e = fx->getAeffect();
  long count = -1;
  std::thread([&] {
    AllocationWatch watch;
    for (VstInt32 i = 0; i < 60; ++i) fx->setParameter(i, 0.25f);
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    char name[] = "From another thread";
    e->dispatcher(e, effSetProgramName, 0, 0, name, 0.0f);
    count = watch.count();
  }).join();
  EXPECT_EQ(count, 0);
  editor->idle();
  editor->close();
  fx.reset();
  testkit::clearResources();
}

}  // namespace
