// The audio path takes no memory from the heap: processing in every mode,
// FAT state and metering path, with automation arriving between blocks as a
// host sends it on its audio thread. This executable replaces the global
// allocation functions (and, with glibc outside the sanitizers, malloc and
// its family) to count what the audio thread asks for while a test watches.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "tests/products/ostrelvanheim2_rig.h"

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

// What a host sends between blocks on its audio thread: switches that request
// ring clears and resets, the crossovers, FineTune, the routing and the meters.
constexpr rig::Setting kAutomation[] = {
    {26, 1.0f}, {4, 0.9f},  {10, 0.3f}, {11, 0.8f}, {24, 0.0f}, {57, 0.4f}, {1, 0.0f},  {43, 0.8f},
    {26, 0.0f}, {6, 0.9f},  {7, 0.1f},  {13, 0.2f}, {24, 1.0f}, {57, 0.0f}, {1, 1.0f},  {44, 0.3f},
    {27, 1.0f}, {28, 0.0f}, {29, 1.0f}, {21, 0.0f}, {22, 1.0f}, {47, 0.6f}, {23, 0.5f}, {0, 1.0f},
};

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

  for (float rate : {44100.0f, 96000.0f, 192000.0f}) {
    for (const rig::Mode& mode : rig::allModes()) {
      for (float fat : {0.0f, 1.0f}) {
        for (int editorOpen : {0, 1}) {
          rig::Rig r(rate);
          AEffect* e = r.fx().getAeffect();
          r.set(mode.settings);
          r.set({{26, fat}, {28, 1.0f}, {29, 1.0f}});
          r.engine().editorIsOpen = editorOpen;
          e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
          long count = 0;
          {
            AllocationWatch watch;
            for (int block = 0; block < 8; ++block) {
              e->processReplacing(e, fin, fout, kFrames);
              e->processDoubleReplacing(e, din, dOut, kFrames);
              // Automation, then the mode again so that every block runs the mode under test.
              for (int k = 0; k < 3; ++k) {
                const rig::Setting& s = kAutomation[(3 * block + k) % std::size(kAutomation)];
                r.fx().setParameter(s.index, s.value);
              }
              for (const rig::Setting& s : mode.settings) r.fx().setParameter(s.index, s.value);
              r.fx().setParameter(26, fat);
            }
            count = watch.count();
          }
          EXPECT_EQ(count, 0) << mode.name << " FAT " << fat << " at " << rate << " editor " << editorOpen;
        }
      }
    }
  }
}

}  // namespace
