#include "base/DateTime.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr long long DaysTo1970 = 25569;  // 1970-01-01 as a day number

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Two decimal digits of a value from 0 to 99.
char* PutTwoDigits(char* at, long long value) {
  at[0] = static_cast<char>('0' + value / 10);
  at[1] = static_cast<char>('0' + value % 10);
  return at + 2;
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, double& result) {
  static const int daysIn[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const int last = daysIn[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
  if (day > last) return false;
  result = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + DaysTo1970);
  return true;
}

double EncodeTime(int hour, int minute, int second) {
  return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

TCivilDateTime DecodeDateTime(double dateTime) {
  // Whole seconds first, so that 23:59:59.7 rounds into the next day consistently.
  const long long totalSeconds = std::llround(dateTime * 86400.0);
  long long days = totalSeconds / 86400;
  long long secs = totalSeconds % 86400;
  if (secs < 0) {
    secs += 86400;
    --days;
  }
  TCivilDateTime c;
  CivilFromDays(days - DaysTo1970, c.Year, c.Month, c.Day);
  c.Hour = static_cast<int>(secs / 3600);
  c.Minute = static_cast<int>(secs / 60 % 60);
  c.Second = static_cast<int>(secs % 60);
  return c;
}

int HourOfDay(double dateTime) {
  long long secs = std::llround(dateTime * 86400.0) % 86400;
  if (secs < 0) secs += 86400;
  return static_cast<int>(secs / 3600);
}

int DayOfTheWeek(double dateTime) {
  // Day 0 (1899-12-30) was a Saturday (ISO 6).
  long long day = static_cast<long long>(std::floor(dateTime));
  long long iso = (day + 5) % 7;
  if (iso < 0) iso += 7;
  return static_cast<int>(iso) + 1;
}

std::string IsoDateTime(double dateTime) {
  std::string text;
  AppendIsoDateTime(text, dateTime);
  return text;
}

// Years of four digits are written directly, without the cost of a formatted print: reports
// write two dates for every request of a visitor path.
void AppendIsoDateTime(std::string& out, double dateTime) {
  const TCivilDateTime c = DecodeDateTime(dateTime);
  char buffer[48];
  if (c.Year < 0 || c.Year > 9999) {
    const int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", c.Year, c.Month, c.Day,
                                     c.Hour, c.Minute, c.Second);
    out.append(buffer, static_cast<std::size_t>(length));
    return;
  }
  char* at = PutTwoDigits(PutTwoDigits(buffer, c.Year / 100), c.Year % 100);
  const int parts[] = {c.Month, c.Day, c.Hour, c.Minute, c.Second};
  const char separators[] = {'-', '-', 'T', ':', ':'};
  for (int i = 0; i < 5; ++i) {
    *at++ = separators[i];
    at = PutTwoDigits(at, parts[i]);
  }
  out.append(buffer, static_cast<std::size_t>(at - buffer));
}

std::string IsoTime(double span) {
  std::string text;
  AppendIsoTime(text, span);
  return text;
}

void AppendIsoTime(std::string& out, double span) {
  long long seconds = std::llround(span * 86400.0);
  const bool negative = seconds < 0;
  if (negative) seconds = -seconds;
  char buffer[48];
  if (seconds >= 100 * 3600) {
    const int length = std::snprintf(buffer, sizeof buffer, "%s%02lld:%02lld:%02lld", negative ? "-" : "",
                                     seconds / 3600, seconds / 60 % 60, seconds % 60);
    out.append(buffer, static_cast<std::size_t>(length));
    return;
  }
  char* at = buffer;
  if (negative) *at++ = '-';
  at = PutTwoDigits(at, seconds / 3600);
  *at++ = ':';
  at = PutTwoDigits(at, seconds / 60 % 60);
  *at++ = ':';
  at = PutTwoDigits(at, seconds % 60);
  out.append(buffer, static_cast<std::size_t>(at - buffer));
}
