#pragma once
// Reading the dates and numbers of log lines without exceptions or allocation; the parser's
// ParseLogDate and GetDateTime build on these.
#include <cstdint>
#include <string>
#include <string_view>

// A log date "10/Oct/2000:13:55:36 -0700" as a UTC date-time value; false when the text is
// not one (see TDSearchPattern::ParseLogDate).
bool TryParseLogDate(std::string_view text, double& result);

// TryParseLogDate for the dates of consecutive lines. Lines come mostly in time order, so
// a date mostly repeats the one before it, or its day and zone: those parts are not read again.
class TLogDateReader {
public:
  bool TryParse(std::string_view text, double& result);

private:
  void Remember(std::string_view text, double result);

  std::string FText;  // the last date read, empty when there is none
  std::size_t FColon = 0;  // where its time of day begins, after the first ':'
  double FDay = 0;
  double FOffset = 0;
  double FResult = 0;
};

// A W3C "yyyy-mm-dd hh:mm:ss" taken as written; either half may stand alone, seconds may be
// left out or carry decimal places.
bool TryParseW3CDateTime(std::string_view text, double& result);

// A decimal integer with an optional sign, in 64-bit range.
bool TryParseInteger(std::string_view text, std::int64_t& result);

// The text form in which split lines hold a parsed date: the shortest decimal that reads
// back to exactly the same double.
void AppendDateText(std::string& out, double value);
bool TryReadDateText(std::string_view text, double& result);
