#pragma once
// Local formatting of dates, times and decimal numbers.
#include <string>

class ILocalFormat {
public:
  virtual ~ILocalFormat() = default;
  // Short date, a blank and the long time; the time is left out at exactly midnight.
  virtual std::string FormatDateTime(double dateTime) = 0;
  // Shortest decimal form, up to 15 significant digits, the user's decimal separator.
  virtual std::string FormatFloat(double value) = 0;
};
