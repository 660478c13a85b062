#include "log/BackgroundJob.h"

TBackgroundJob::~TBackgroundJob() {
  Cancel();
  Wait();
}

void TBackgroundJob::Start(TWork work) {
  Cancel();
  Wait();
  FCancel = false;
  FError = nullptr;
  FRunning = true;
  FThread = std::thread([this, work = std::move(work)] {
    try {
      work(FCancel);
    } catch (...) {
      FError = std::current_exception();
    }
    FRunning = false;
  });
}

void TBackgroundJob::Wait() {
  if (FThread.joinable()) FThread.join();
}

std::exception_ptr TBackgroundJob::TakeError() {
  if (FRunning) return nullptr;
  Wait();
  return std::exchange(FError, nullptr);
}
