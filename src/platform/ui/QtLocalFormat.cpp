#include "platform/ui/QtLocalFormat.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <charconv>
#include <cmath>

#include "base/DateTime.h"

namespace {

// Beyond these days QDate and the calendar conversion part ways (years 1 to 9999).
constexpr double FirstDay = -693593.0;
constexpr double LastDay = 2958466.0;

}  // namespace

std::string TQtLocalFormat::FormatDateTime(double dateTime) {
  if (!std::isfinite(dateTime) || dateTime < FirstDay || dateTime >= LastDay) return FormatFloat(dateTime);
  const TCivilDateTime c = DecodeDateTime(dateTime);
  const QLocale locale;
  QString text = locale.toString(QDate(c.Year, c.Month, c.Day), QLocale::ShortFormat);
  if (c.Hour != 0 || c.Minute != 0 || c.Second != 0) {
    const QString timeFormat = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
    text += QLatin1Char(' ') + locale.toString(QTime(c.Hour, c.Minute, c.Second), timeFormat);
  }
  return text.toStdString();
}

std::string TQtLocalFormat::FormatFloat(double value) {
  // std::to_chars ignores the C locale, which QCoreApplication sets from the environment.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  const QString text = QString::fromLatin1(buffer, result.ptr - buffer);
  return QString(text).replace(QLatin1Char('.'), QLocale().decimalPoint()).toStdString();
}

QString TQtLocalFormat::TimeFormatWithoutZone(const QString& format) {
  // Drops every unquoted run of 't' together with the blanks before it ("HH:mm:ss t").
  QString result;
  bool quoted = false;
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar ch = format[i];
    if (ch == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || ch != QLatin1Char('t')) {
      result += ch;
      continue;
    }
    while (i + 1 < format.size() && format[i + 1] == QLatin1Char('t')) ++i;
    while (result.endsWith(QLatin1Char(' '))) result.chop(1);
  }
  return result.trimmed();
}
