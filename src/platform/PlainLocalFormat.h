#pragma once
// Locale-free formatting for tools and tests: 2000-10-10 20:55:36, "." as decimal point.
#include "platform/LocalFormat.h"

class TPlainLocalFormat : public ILocalFormat {
public:
  std::string FormatDateTime(double dateTime) override;
  std::string FormatFloat(double value) override;
};
