#include "platform/Clock.h"

#include <chrono>
#include <ctime>

#include "base/DateTime.h"

double NowLocal() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  double date = 0;
  TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
  return date + EncodeTime(local.tm_hour, local.tm_min, local.tm_sec);
}

std::uint64_t MonotonicMilliseconds() {
  const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count());
}
