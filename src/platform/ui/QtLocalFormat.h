#pragma once
// Dates, times and decimal numbers in the user's locale (QLocale's default at each call).
#include <QString>

#include "platform/LocalFormat.h"

class TQtLocalFormat : public ILocalFormat {
public:
  std::string FormatDateTime(double dateTime) override;
  std::string FormatFloat(double value) override;

  // A time format without its time-zone part: the values carry no zone.
  static QString TimeFormatWithoutZone(const QString& format);
};
