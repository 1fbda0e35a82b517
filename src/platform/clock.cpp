#include "platform/clock.h"

#include "platform/system_clock.h"

namespace tarvik::platform {
namespace {

class SystemClock : public Clock {
 public:
  DataHora Now() const override { return SystemLocalNow(); }
};

const SystemClock kSystemClock;
const Clock* clock_in_use = &kSystemClock;

}  // namespace

DataHora LocalNow() { return clock_in_use->Now(); }

ScopedTestClock::ScopedTestClock(DataHora now) : now_(now), previous_(clock_in_use) {
  clock_in_use = this;
}

ScopedTestClock::~ScopedTestClock() { clock_in_use = previous_; }

}  // namespace tarvik::platform
