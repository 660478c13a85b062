#pragma once
// One piece of work on a thread of its own, with a flag that asks it to stop early. The owner
// looks at Running() (from a timer, say) and takes the error once the work has ended; the
// destructor asks the work to stop and waits for it.
#include <atomic>
#include <exception>
#include <functional>
#include <thread>
#include <utility>

class TBackgroundJob {
public:
  using TWork = std::function<void(const std::atomic<bool>& cancel)>;

  TBackgroundJob() = default;
  ~TBackgroundJob();
  TBackgroundJob(const TBackgroundJob&) = delete;
  TBackgroundJob& operator=(const TBackgroundJob&) = delete;

  // Work still under way is stopped and waited for first.
  void Start(TWork work);
  void Cancel() { FCancel = true; }
  // Waits for the work to end (at once when there is none).
  void Wait();
  bool Running() const { return FRunning.load(); }
  // What the work raised, once it has ended; taken only once.
  std::exception_ptr TakeError();

private:
  std::thread FThread;
  std::atomic<bool> FCancel{false};
  std::atomic<bool> FRunning{false};
  std::exception_ptr FError;  // written by the thread before FRunning turns false
};
