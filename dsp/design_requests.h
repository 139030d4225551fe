#pragma once

#include <atomic>

// Designs that more than one thread may ask for at once. One design runs at a
// time; a request that meets a design in progress leaves itself to it, which
// designs once more from the owner's fields before it ends. Nobody waits.
class DesignRequests {
 public:
  template <typename Design>
  void run(Design design) {
    requests_.fetch_add(1);
    while (!designing_.exchange(true)) {
      const unsigned served = requests_.load();
      design();
      designing_.store(false);
      // A request that arrived meanwhile found this design in progress and
      // left itself to it.
      if (requests_.load() == served) break;
    }
  }

 private:
  std::atomic<unsigned> requests_{0};
  std::atomic<bool> designing_{false};
};
