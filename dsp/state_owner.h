// One owner at a time of an engine's processing state (rings and their
// positions, detectors, filter records, work buffers, meter state): the audio
// thread for each chunk, or the thread of a suspend, resume or rate change
// for one operation. Neither waits for the other. What another thread cannot
// do at once it leaves as request bits, which the next owner carries out.
#pragma once

#include <atomic>

class StateOwner {
 public:
  // Takes the state without waiting; false while someone else holds it.
  bool take() { return !busy_.exchange(true, std::memory_order_acquire); }
  void release() { busy_.store(false, std::memory_order_release); }

  void request(unsigned requests) { pending_.fetch_or(requests); }
  // The requests left so far, now the caller's to carry out.
  unsigned takeRequests() { return pending_.exchange(0); }

  // Carries out the requests at once when the state is free (carryOut
  // receives them), else leaves them for its owner.
  template <typename CarryOut>
  void runOrRequest(unsigned requests, CarryOut carryOut) {
    if (!take()) {
      request(requests);
      return;
    }
    carryOut(requests);
    release();
  }

 private:
  std::atomic<bool> busy_{false};
  std::atomic<unsigned> pending_{0};
};
