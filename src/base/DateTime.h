#pragma once
// Date-time values: days since 30 December 1899 00:00 as a double, the fraction being the
// time of day. Calendar conversions without any locale or time-zone lookup.
#include <cstdint>
#include <string>

struct TCivilDateTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0;
};

// False for an impossible date (31 February, month 13, year 0).
bool TryEncodeDate(int year, int month, int day, double& result);
double EncodeTime(int hour, int minute, int second);  // fraction of a day
// The nearest whole second of a date-time, split into its parts.
TCivilDateTime DecodeDateTime(double dateTime);
// DecodeDateTime(dateTime).Hour, without working out the date.
int HourOfDay(double dateTime);
// ISO day of the week: Monday 1 ... Sunday 7.
int DayOfTheWeek(double dateTime);
// "YYYY-MM-DDTHH:MM:SS", to the nearest second.
std::string IsoDateTime(double dateTime);
void AppendIsoDateTime(std::string& out, double dateTime);
// "HH:MM:SS" of a span below one day, to the nearest second.
std::string IsoTime(double span);
void AppendIsoTime(std::string& out, double span);
