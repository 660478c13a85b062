#include "log/LogDate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "base/AsciiText.h"
#include "base/DateTime.h"
#include "log/W2SearchPat.h"

namespace {

constexpr std::string_view MonthNames = "jan,feb,mar,apr,may,jun,jul,aug,sep,oct,nov,dec";
constexpr std::size_t DatePositionLimit = 127;  // the separators must lie within this many characters

// Decimal digits only (leading zeros allowed); no date or time part needs more than 9999.
bool TryParseDigits(std::string_view text, int& result) {
  if (text.empty()) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 99999) return false;
  }
  result = value;
  return true;
}

// The month by the position of its three letters in MonthNames; 0 when they do not occur.
int MonthNumber(std::string_view letters) {
  const char lower[3] = {LowerAscii(letters[0]), LowerAscii(letters[1]), LowerAscii(letters[2])};
  const std::size_t p = MonthNames.find(std::string_view(lower, 3));
  return p == std::string_view::npos ? 0 : static_cast<int>((p + 1 + 3) / 4);
}

// Decimal places of a second (".363") as a fraction of a day.
bool TryParseSecondFraction(std::string_view digits, double& result) {
  if (digits.empty() || digits.size() > 9) return false;
  int value = 0;
  if (!TryParseDigits(digits, value)) return false;
  result = value / std::pow(10.0, static_cast<double>(digits.size())) / 86400.0;
  return true;
}

// "hh:mm:ss", "hh:mm:ss.fff" or "hh:mm" as a fraction of a day.
bool TryParseTimeOfDay(std::string_view text, double& result) {
  // "hh:mm:ss", the form of nearly every log, is read directly; it gives what the general
  // reading below gives.
  if (text.size() == 8 && text[2] == ':' && text[5] == ':') {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (isDigit(text[0]) && isDigit(text[1]) && isDigit(text[3]) && isDigit(text[4]) && isDigit(text[6]) &&
        isDigit(text[7])) {
      const int hours = (text[0] - '0') * 10 + (text[1] - '0');
      const int minutes = (text[3] - '0') * 10 + (text[4] - '0');
      const int seconds = (text[6] - '0') * 10 + (text[7] - '0');
      if (hours > 23 || minutes > 59 || seconds > 59) return false;
      result = EncodeTime(hours, minutes, seconds);
      return true;
    }
  }
  double fraction = 0;
  if (const std::size_t dot = text.find('.'); dot != std::string_view::npos) {
    if (std::count(text.begin(), text.end(), ':') != 2 || dot < text.rfind(':') ||
        !TryParseSecondFraction(text.substr(dot + 1), fraction))
      return false;
    text = text.substr(0, dot);
  }
  int parts[3] = {0, 0, 0};
  int count = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = text.find(':', start);
    const std::string_view part = text.substr(start, colon == std::string_view::npos ? colon : colon - start);
    if (count == 3 || !TryParseDigits(part, parts[count])) return false;
    ++count;
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  if (count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
  result = EncodeTime(parts[0], parts[1], parts[2]) + fraction;
  return true;
}

// Position of the first c at or after from, only within the first DatePositionLimit characters.
std::size_t FindNear(std::string_view text, char c, std::size_t from = 0) {
  const std::size_t p = text.substr(0, DatePositionLimit).find(c, from);
  return p;
}

bool TryParseZoneOffset(std::string_view text, double& offset) {
  if (text.size() < 5) return false;
  const std::string_view zone = text.substr(text.size() - 5);
  int hours = 0, minutes = 0;
  if (!TryParseDigits(zone.substr(1, 2), hours) || !TryParseDigits(zone.substr(3, 2), minutes)) return false;
  if (hours > 23 || minutes > 59) return false;
  offset = EncodeTime(hours, minutes, 0);
  if (zone[0] == '+') offset = -offset;
  return true;
}

// The parts of a log date: the day (before the first ':'), the time of day and the zone.
struct TLogDateParts {
  double Date = 0, Time = 0, Offset = 0;
  std::size_t Slashes[2] = {0, 0};
  std::size_t Colon = 0;
};

bool TryParseLogDateParts(std::string_view text, TLogDateParts& parts) {
  const std::size_t a = FindNear(text, '/');
  if (a == std::string_view::npos) return false;
  const std::size_t b = FindNear(text, '/', a + 1);
  if (b == std::string_view::npos || b - a < 4) return false;  // the month letters lie between

  int day = 0, year = 0;
  if (!TryParseDigits(text.substr(0, a), day)) return false;
  if (text.size() < b + 5 || !TryParseDigits(text.substr(b + 1, 4), year)) return false;
  if (!TryEncodeDate(year, MonthNumber(text.substr(a + 1, 3)), day, parts.Date)) return false;

  const std::size_t c = FindNear(text, ':');
  const std::size_t d = FindNear(text, ' ');
  if (c == std::string_view::npos || d == std::string_view::npos || d <= c) return false;
  if (!TryParseTimeOfDay(text.substr(c + 1, d - c - 1), parts.Time)) return false;
  if (!TryParseZoneOffset(text, parts.Offset)) return false;
  parts.Slashes[0] = a;
  parts.Slashes[1] = b;
  parts.Colon = c;
  return true;
}

}  // namespace

bool TryParseLogDate(std::string_view text, double& result) {
  TLogDateParts parts;
  if (!TryParseLogDateParts(text, parts)) return false;
  result = parts.Date + parts.Time + parts.Offset;
  return true;
}

// A text that begins like the last one up to its first ':' has the same slashes, colon and
// day, and no blank before the colon; with the same last five characters it has the same
// zone. Only its time of day is left to read, and the blank that ends it. The day's parts
// must lie before the colon, as they do in every real log date, for the slashes to be known.
bool TLogDateReader::TryParse(std::string_view text, double& result) {
  if (!FText.empty()) {
    if (text == FText) {
      result = FResult;
      return true;
    }
    const std::size_t c = FColon;
    if (text.size() > c && text.size() >= 5 && text.compare(0, c + 1, std::string_view(FText).substr(0, c + 1)) == 0 &&
        text.substr(text.size() - 5) == std::string_view(FText).substr(FText.size() - 5)) {
      const std::size_t d = FindNear(text, ' ');
      double time = 0;
      if (d == std::string_view::npos || d <= c || !TryParseTimeOfDay(text.substr(c + 1, d - c - 1), time)) return false;
      result = FDay + time + FOffset;
      Remember(text, result);
      return true;
    }
  }
  TLogDateParts parts;
  if (!TryParseLogDateParts(text, parts)) return false;
  result = parts.Date + parts.Time + parts.Offset;
  FText.clear();
  // A date whose slashes or year stand behind its colon is read afresh every time.
  if (parts.Slashes[1] + 5 <= parts.Colon) {
    FColon = parts.Colon;
    FDay = parts.Date;
    FOffset = parts.Offset;
    Remember(text, result);
  }
  return true;
}

void TLogDateReader::Remember(std::string_view text, double result) {
  FText.assign(text);
  FResult = result;
}

bool TryParseW3CDateTime(std::string_view text, double& result) {
  const std::size_t space = text.find(' ');
  std::string_view datePart = text.substr(0, space);
  std::string_view timePart = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  if (timePart.empty() && datePart.find('-') == std::string_view::npos) std::swap(datePart, timePart);

  double date = 0, time = 0;
  if (!datePart.empty()) {
    const std::size_t m = datePart.find('-');
    const std::size_t d = m == std::string_view::npos ? m : datePart.find('-', m + 1);
    int year = 0, month = 0, day = 0;
    if (d == std::string_view::npos || !TryParseDigits(datePart.substr(0, m), year) ||
        !TryParseDigits(datePart.substr(m + 1, d - m - 1), month) || !TryParseDigits(datePart.substr(d + 1), day) ||
        !TryEncodeDate(year, month, day, date))
      return false;
  }
  if (space != std::string_view::npos && timePart.empty()) return false;
  if (!timePart.empty() && !TryParseTimeOfDay(timePart, time)) return false;
  if (datePart.empty() && timePart.empty()) return false;
  result = date + time;
  return true;
}

bool TryParseInteger(std::string_view text, std::int64_t& result) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
  return error == std::errc() && end == text.data() + text.size();
}

void AppendDateText(std::string& out, double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, error == std::errc() ? end : buffer);
}

bool TryReadDateText(std::string_view text, double& result) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

double TDSearchPattern::ParseLogDate(std::string_view text) {
  double result = 0;
  if (!TryParseLogDate(text, result))
    throw EConvertError("'" + std::string(text) + "' is not a valid log date");
  return result;
}

bool TDSearchPattern::IsLogDate(std::string_view text) {
  double result = 0;
  return TryParseLogDate(text, result);
}
