#pragma once
// The host of a run in the window: its progress bar, its event loop, the monotonic clock.
#include <QPointer>
#include <QProgressBar>

#include "platform/RunHost.h"

class TQtRunHost : public IRunHost {
public:
  explicit TQtRunHost(QProgressBar* progressBar = nullptr);

  void SetProgressBar(QProgressBar* progressBar) { FProgressBar = progressBar; }
  QProgressBar* ProgressBar() const { return FProgressBar; }

  // Ranges beyond what the bar's int can hold are scaled down; positions follow.
  void SetProgressRange(std::int64_t minimum, std::int64_t maximum) override;
  void SetProgressPosition(std::int64_t position) override;
  void ProcessPendingEvents() override;
  // Milliseconds since the machine started (CLOCK_MONOTONIC).
  std::uint64_t TickCount() override;

private:
  int ToBar(std::int64_t value) const;

  QPointer<QProgressBar> FProgressBar;
  std::int64_t FMinimum = 0;
  std::int64_t FMaximum = 0;
  int FShift = 0;  // bar values are (value - FOffset) >> FShift
  std::int64_t FOffset = 0;
};
