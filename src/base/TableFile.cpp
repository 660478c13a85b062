#include "base/TableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "base/AsciiText.h"
#include "base/DateTime.h"
#include "base/FileError.h"
#include "base/MemTable.h"
#include "base/MemValueText.h"
#include "base/ReplaceFile.h"

namespace {

using TFileValue = std::optional<std::string>;  // nullopt: the field gets no value

// ---- reading ----

std::string ReadWholeFile(const std::string& path) {
  // Not blocking, so that a named pipe cannot hold the program; only a plain file is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw EQelFileError("cannot open file " + path + ": " + std::strerror(errno));
  struct stat info {};
  std::string refused;
  if (::fstat(fd, &info) != 0)
    refused = std::strerror(errno);
  else if (S_ISDIR(info.st_mode))
    refused = std::strerror(EISDIR);
  else if (!S_ISREG(info.st_mode))
    refused = "it is a device or a pipe, not a plain file";
  if (!refused.empty()) {
    ::close(fd);
    throw EQelFileError("cannot open file " + path + ": " + refused);
  }
  std::string content;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      throw EQelFileError("cannot read file " + path + ": " + std::strerror(error));
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return content;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Lines of the file: CR, LF and NUL end a line and a run of them counts as one line end.
// Line ends before the first line are passed over too, so that a leading blank line does not
// take the place of the header and turn the real header into a record. numbers gets the
// 1-based number of each line as an editor counts them (CR LF, LF and CR each end one).
std::vector<std::string_view> SplitLines(std::string_view content, std::vector<std::int64_t>& numbers) {
  std::vector<std::string_view> lines;
  std::size_t i = 0;
  std::int64_t number = 1;
  for (;;) {
    for (; i < content.size() && IsLineEnd(content[i]); ++i)
      if (content[i] == '\n' || (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n'))) ++number;
    if (i == content.size()) break;
    const std::size_t start = i;
    while (i < content.size() && !IsLineEnd(content[i])) ++i;
    lines.push_back(content.substr(start, i - start));
    numbers.push_back(number);
  }
  return lines;
}

// Splits a line into at most maxCount values. A quoted value that misses its closing
// apostrophe takes the rest of the line.
void SplitValues(std::string_view line, std::size_t maxCount, std::vector<TFileValue>& values) {
  values.clear();
  std::size_t i = 0;
  while (i < line.size() && values.size() < maxCount) {
    if (line[i] == ';') {
      values.emplace_back();
      ++i;
      continue;
    }
    std::string text;
    if (line[i] == '\'') {
      for (++i; i < line.size(); ++i) {
        if (line[i] == '\'') {
          if (i + 1 < line.size() && line[i + 1] == '\'') {
            ++i;
          } else {
            ++i;  // the closing apostrophe; the character after it is passed over unread
            break;
          }
        }
        text += line[i];
      }
      ++i;
    } else {
      std::size_t end = line.find(';', i);
      if (end == std::string_view::npos) end = line.size();
      text.assign(line.substr(i, end - i));
      i = end + 1;
    }
    values.emplace_back(std::move(text));
  }
}

std::string FirstValue(std::string_view line) {
  std::vector<TFileValue> values;
  SplitValues(line, 1, values);
  return values.empty() || !values[0] ? std::string() : *values[0];
}

// A definition block written by other tools ("@@FILE VERSION@@" ... "@@TABLEDEF END@@") is
// skipped: the table's own fields are what counts. Returns the index of the header line.
std::size_t HeaderLine(const std::vector<std::string_view>& lines) {
  if (lines.empty() || FirstValue(lines[0]) != "@@FILE VERSION@@") return 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (FirstValue(lines[i]) == "@@TABLEDEF END@@") return i + 1;
  }
  return lines.size();
}

int MatchField(const TMemTable& table, std::string_view name) {
  const auto& fields = table.Fields();
  for (std::size_t f = 0; f < fields.size(); ++f)
    if (SameTextAscii(fields[f].Name, name)) return static_cast<int>(f);
  return -1;
}

// Undoes the writer's escapes. A "%" before any other character, or last, stays as it is.
std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 1 < text.size()) {
      switch (text[i + 1]) {
        case '%': c = '%'; ++i; break;
        case 'c': c = '\r'; ++i; break;
        case 'n': c = '\n'; ++i; break;
        case '0': c = '\0'; ++i; break;
        default: break;
      }
    }
    out.push_back(c);
  }
  return out;
}

// Dates and times as the writer puts them: "dd/mm/yyyy hh:mm:ss" and "hh:mm:ss".
bool ReadDigits(std::string_view& s, std::size_t count, int& value) {
  if (s.size() < count) return false;
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    value = value * 10 + (s[i] - '0');
  }
  s.remove_prefix(count);
  return true;
}

bool ReadSeparator(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

bool ParseFileTime(std::string_view& s, double& value) {
  int h = 0, m = 0, sec = 0;
  if (!ReadDigits(s, 2, h) || !ReadSeparator(s, ':') || !ReadDigits(s, 2, m) || !ReadSeparator(s, ':') ||
      !ReadDigits(s, 2, sec) || m > 59 || sec > 59)
    return false;
  value = EncodeTime(h, m, sec);
  return true;
}

// A time field holds a span, which may be negative or last a day or longer:
// "-hhh:mm:ss" with two or more digits of hours, as the writer puts it.
bool ParseFileSpan(std::string_view s, double& value) {
  const bool negative = ReadSeparator(s, '-');
  constexpr std::size_t MaxHourDigits = 6;  // a century of hours, far from overflow
  const std::size_t hourDigits = s.find(':');
  int h = 0, m = 0, sec = 0;
  if (hourDigits < 2 || hourDigits > MaxHourDigits || !ReadDigits(s, hourDigits, h) || !ReadSeparator(s, ':') ||
      !ReadDigits(s, 2, m) || !ReadSeparator(s, ':') || !ReadDigits(s, 2, sec) || !s.empty() || m > 59 || sec > 59)
    return false;
  value = EncodeTime(h, m, sec) * (negative ? -1 : 1);
  return true;
}

bool ParseFileDateTime(std::string_view s, double& value) {
  int d = 0, m = 0, y = 0;
  if (!ReadDigits(s, 2, d) || !ReadSeparator(s, '/') || !ReadDigits(s, 2, m) || !ReadSeparator(s, '/') ||
      !ReadDigits(s, 4, y) || !TryEncodeDate(y, m, d, value))
    return false;
  if (s.empty()) return true;
  double time = 0;
  if (!ReadSeparator(s, ' ') || !ParseFileTime(s, time) || !s.empty() || time >= 1) return false;
  value += time;
  return true;
}

[[noreturn]] void FailValue(const TMemTable& table, int field, const std::string& value, const char* kind,
                            const std::string& path) {
  throw ETableFileError("'" + value + "' is not a valid " + kind + " value for field '" +
                        table.Fields()[static_cast<std::size_t>(field)].Name + "' in file " + path);
}

void StoreValue(TMemTable& table, int field, const TFileValue& value, const std::string& path) {
  if (!value) {
    table.ClearField(field);
    return;
  }
  const std::string& text = *value;
  switch (table.Fields()[static_cast<std::size_t>(field)].Type) {
    case TFieldType::String:
      table.SetString(field, Unescape(text));  // cut at a NUL and to the field's size
      return;
    case TFieldType::Boolean:
      table.SetBoolean(field, text == "True");
      return;
    case TFieldType::Integer: {
      std::int32_t n = 0;
      if (text.empty()) {
        table.ClearField(field);
      } else if (TryParseInt32(text, n)) {
        table.SetInteger(field, n);
      } else {
        FailValue(table, field, text, "integer", path);
      }
      return;
    }
    case TFieldType::DateTime:
    case TFieldType::Time: {
      const bool isTime = table.Fields()[static_cast<std::size_t>(field)].Type == TFieldType::Time;
      double d = 0;
      if (text.empty()) {
        table.ClearField(field);
      } else if (isTime ? ParseFileSpan(text, d) : ParseFileDateTime(text, d)) {
        table.SetDateTime(field, d);
      } else {
        FailValue(table, field, text, isTime ? "time" : "date-time", path);
      }
      return;
    }
  }
}

// Observers hear one reset when the load ends, also when it fails.
class TControlsDisabled {
public:
  explicit TControlsDisabled(TMemTable& table) : FTable(table) { FTable.DisableControls(); }
  ~TControlsDisabled() { FTable.EnableControls(); }
  TControlsDisabled(const TControlsDisabled&) = delete;
  TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
  TMemTable& FTable;
};

// ---- writing ----

// Encloses a value in apostrophes, doubling those inside; string values also get their
// "%", CR, LF and NUL escaped so that a record stays on one line.
void AppendQuoted(std::string& out, std::string_view text, bool escape) {
  out.push_back('\'');
  for (const char c : text) {
    if (c == '\'') {
      out += "''";
    } else if (escape && c == '%') {
      out += "%%";
    } else if (escape && c == '\r') {
      out += "%c";
    } else if (escape && c == '\n') {
      out += "%n";
    } else if (escape && c == '\0') {
      out += "%0";
    } else {
      out.push_back(c);
    }
  }
  out.push_back('\'');
}

std::string FileDateTime(double value) {
  const TCivilDateTime c = DecodeDateTime(value);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d %02d:%02d:%02d", c.Day, c.Month, c.Year, c.Hour, c.Minute,
                c.Second);
  return buffer;
}

void AppendValue(std::string& out, const TMemTable& table, int row, int field) {
  switch (table.Fields()[static_cast<std::size_t>(field)].Type) {
    case TFieldType::String: AppendQuoted(out, table.AsStringViewAt(row, field), true); break;
    case TFieldType::Integer: AppendQuoted(out, std::to_string(table.AsIntegerAt(row, field)), false); break;
    case TFieldType::Boolean: AppendQuoted(out, table.AsBooleanAt(row, field) ? "True" : "False", false); break;
    case TFieldType::DateTime: AppendQuoted(out, FileDateTime(table.AsDateTimeAt(row, field)), false); break;
    // The whole span: a time of day would lose the days of a longer one, and its sign.
    case TFieldType::Time: AppendQuoted(out, IsoTime(table.AsDateTimeAt(row, field)), false); break;
  }
}

std::string TableText(const TMemTable& table) {
  std::string out;
  const int fieldCount = table.FieldCount();
  for (int f = 0; f < fieldCount; ++f) {
    if (f > 0) out.push_back(';');
    AppendQuoted(out, table.Fields()[static_cast<std::size_t>(f)].Name, false);
  }
  out += "\r\n";
  const int rows = table.RecordCount();
  for (int row = 0; row < rows; ++row) {
    for (int f = 0; f < fieldCount; ++f) {
      if (f > 0) out.push_back(';');
      if (!table.IsNullAt(row, f)) AppendValue(out, table, row, f);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace

void SaveTableFile(TMemTable& table, const std::string& path) {
  if (!table.Active()) throw ETableFileError("cannot save the closed table '" + table.Name() + "' to file " + path);
  table.Post();
  ReplaceFileContents(path, TableText(table));
}

void LoadTableFile(TMemTable& table, const std::string& path, TTableFileLayout* layout) {
  if (!table.Active()) throw ETableFileError("cannot load file " + path + " into the closed table '" + table.Name() + "'");
  const std::string content = ReadWholeFile(path);
  std::vector<std::int64_t> numbers;
  const std::vector<std::string_view> lines = SplitLines(content, numbers);
  const std::size_t header = HeaderLine(lines);
  if (header >= lines.size()) return;

  std::vector<TFileValue> values;
  SplitValues(lines[header], std::numeric_limits<std::size_t>::max(), values);
  if (layout) layout->HeaderLine = numbers[header];
  std::vector<int> columns;  // field of each header value, -1: column skipped
  for (const TFileValue& name : values) {
    columns.push_back(name ? MatchField(table, *name) : -1);
    if (layout && columns.back() >= 0) layout->HeaderFields.push_back(columns.back());
  }

  // Records read before a bad value stay in the table.
  TControlsDisabled quiet(table);
  for (std::size_t line = header + 1; line < lines.size(); ++line) {
    SplitValues(lines[line], columns.size(), values);
    table.Append();
    try {
      for (std::size_t k = 0; k < values.size(); ++k) {
        if (columns[k] >= 0) StoreValue(table, columns[k], values[k], path);
      }
    } catch (...) {
      table.Cancel();
      throw;
    }
    table.Post();
    if (layout) layout->RecordLines.push_back(numbers[line]);
  }
}
