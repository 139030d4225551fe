#include "ui/backend/timer_table.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace jyxui {

TimerId TimerTable::set(TimerId id, std::uint32_t periodMs, TimerProc proc, void* user, std::uint64_t now) {
  if (!proc) return 0;
  if (id == 0) {
    while (timers_.count(nextId_) || nextId_ == 0) ++nextId_;
    id = nextId_++;
  }
  timers_[id] = Timer{std::max<std::uint32_t>(periodMs, 1), proc, user, now};
  return id;
}

bool TimerTable::kill(TimerId id) { return timers_.erase(id) > 0; }

bool TimerTable::runDue(std::uint64_t now, const std::shared_ptr<const bool>& alive) {
  std::vector<TimerId> due;
  for (const auto& [id, t] : timers_)
    if (now >= t.last && now - t.last >= t.period) due.push_back(id);
  for (TimerId id : due) {
    // A callback before this one may have killed or replaced it.
    auto found = timers_.find(id);
    if (found == timers_.end() || now - found->second.last < found->second.period) continue;
    found->second.last = now;
    const TimerProc proc = found->second.proc;
    void* user = found->second.user;
    proc(user, id);
    if (!*alive) return false;
  }
  return true;
}

std::uint64_t TimerTable::nextDue() const {
  std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
  for (const auto& [id, t] : timers_) next = std::min(next, t.last + t.period);
  return next;
}

}  // namespace jyxui
