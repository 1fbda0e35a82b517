#ifndef TARVIK_PLATFORM_CLOCK_H_
#define TARVIK_PLATFORM_CLOCK_H_

#include "base/data_hora.h"

namespace tarvik::platform {

// The source of "now" in local time. Production reads the system clock;
// tests install a fixed one with `ScopedTestClock`.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual DataHora Now() const = 0;
};

// Current local date and time from the clock in use.
DataHora LocalNow();

// Installs itself as the clock in use for its lifetime (tests only).
class ScopedTestClock : public Clock {
 public:
  explicit ScopedTestClock(DataHora now);
  ~ScopedTestClock() override;
  ScopedTestClock(const ScopedTestClock&) = delete;
  ScopedTestClock& operator=(const ScopedTestClock&) = delete;

  DataHora Now() const override { return now_; }
  void Set(const DataHora& now) { now_ = now; }

 private:
  DataHora now_;
  const Clock* previous_;
};

}  // namespace tarvik::platform

#endif  // TARVIK_PLATFORM_CLOCK_H_
