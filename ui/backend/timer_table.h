// The timers of one window for back ends without timers of their own (X11,
// offscreen): checked on every pump, each runs at most once per pump, and
// they die with the table.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "ui/backend/platform_window.h"

namespace jyxui {

class TimerTable {
 public:
  TimerId set(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user, std::uint64_t now);
  bool kill(TimerId id);
  std::size_t size() const { return timers_.size(); }
  // Runs every timer whose period has passed since it last ran. False when
  // the owner died during a callback (alive went false): the table is gone
  // and the caller must return at once.
  bool runDue(std::uint64_t now, const std::shared_ptr<const bool>& alive);
  // The time the next timer falls due; UINT64_MAX without timers.
  std::uint64_t nextDue() const;

 private:
  struct Timer {
    std::uint32_t period;
    TimerProc proc;
    void* user;
    std::uint64_t last;
  };
  std::map<TimerId, Timer> timers_;
  TimerId nextId_ = 1;
};

}  // namespace jyxui
