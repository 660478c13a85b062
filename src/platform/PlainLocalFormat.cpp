#include "platform/PlainLocalFormat.h"

#include <cstdio>

#include "base/DateTime.h"

std::string TPlainLocalFormat::FormatDateTime(double dateTime) {
  const std::string iso = IsoDateTime(dateTime);
  if (iso.compare(11, 8, "00:00:00") == 0) return iso.substr(0, 10);
  return iso.substr(0, 10) + ' ' + iso.substr(11);
}

std::string TPlainLocalFormat::FormatFloat(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}
