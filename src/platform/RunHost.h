#pragma once
// What a run needs from the window that hosts it: a progress bar, a way to let the window
// process pending events, and a millisecond tick counter.
#include <cstdint>

class IRunHost {
public:
  virtual ~IRunHost() = default;
  virtual void SetProgressRange(std::int64_t minimum, std::int64_t maximum) = 0;
  virtual void SetProgressPosition(std::int64_t position) = 0;
  virtual void ProcessPendingEvents() = 0;
  virtual std::uint64_t TickCount() = 0;  // milliseconds of a monotonic clock
};
