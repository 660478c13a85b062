#include "platform/ui/QtRunHost.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

#include "platform/Clock.h"

TQtRunHost::TQtRunHost(QProgressBar* progressBar) : FProgressBar(progressBar) {}

void TQtRunHost::SetProgressRange(std::int64_t minimum, std::int64_t maximum) {
  FMinimum = minimum;
  FMaximum = std::max(minimum, maximum);
  FShift = 0;
  FOffset = 0;
  if (FMinimum < INT_MIN || FMaximum > INT_MAX) {
    // Too wide for the bar: count from the minimum and halve until the span fits.
    FOffset = FMinimum;
    const std::uint64_t span = static_cast<std::uint64_t>(FMaximum) - static_cast<std::uint64_t>(FMinimum);
    while ((span >> FShift) > static_cast<std::uint64_t>(INT_MAX)) ++FShift;
  }
  if (FProgressBar) FProgressBar->setRange(ToBar(FMinimum), ToBar(FMaximum));
}

void TQtRunHost::SetProgressPosition(std::int64_t position) {
  if (FProgressBar) FProgressBar->setValue(ToBar(std::clamp(position, FMinimum, FMaximum)));
}

void TQtRunHost::ProcessPendingEvents() { QCoreApplication::processEvents(); }

std::uint64_t TQtRunHost::TickCount() { return MonotonicMilliseconds(); }

int TQtRunHost::ToBar(std::int64_t value) const {
  // Unsigned, so that the full int64 span cannot overflow; values in int range pass unchanged.
  const std::uint64_t fromOffset = static_cast<std::uint64_t>(value) - static_cast<std::uint64_t>(FOffset);
  return static_cast<int>(fromOffset >> FShift);
}
