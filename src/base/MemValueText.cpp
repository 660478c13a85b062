#include "base/MemValueText.h"

#include <charconv>

#include "base/AsciiText.h"
#include "base/DateTime.h"

namespace {

std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xC0 && lead < 0xE0) return 2;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  return 1;
}

bool ReadNumber(std::string_view& s, std::size_t digits, int& value) {
  if (s.size() < digits) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + digits, value);
  if (ec != std::errc() || end != s.data() + digits || s[0] == '-' || s[0] == '+') return false;
  s.remove_prefix(digits);
  return true;
}

bool ReadChar(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

}  // namespace

bool TryParseInt32(std::string_view text, std::int32_t& value) {
  text = TrimSpacesAndTabs(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseBoolean(std::string_view s, bool& value) {
  if (SameTextAscii(s, "True") || s == "1") {
    value = true;
  } else if (SameTextAscii(s, "False") || s == "0") {
    value = false;
  } else {
    return false;
  }
  return true;
}

bool ParseIsoTime(std::string_view s, double& value) {
  const bool negative = ReadChar(s, '-');
  int h = 0, m = 0, sec = 0;
  const std::size_t hourDigits = s.find(':');
  if (hourDigits == std::string_view::npos || hourDigits == 0) return false;
  if (!ReadNumber(s, hourDigits, h) || !ReadChar(s, ':') || !ReadNumber(s, 2, m) || !ReadChar(s, ':') ||
      !ReadNumber(s, 2, sec) || !s.empty() || m > 59 || sec > 59)
    return false;
  value = EncodeTime(h, m, sec) * (negative ? -1 : 1);
  return true;
}

bool ParseIsoDateTime(std::string_view s, double& value) {
  int y = 0, mo = 0, d = 0;
  if (!ReadNumber(s, 4, y) || !ReadChar(s, '-') || !ReadNumber(s, 2, mo) || !ReadChar(s, '-') ||
      !ReadNumber(s, 2, d) || !TryEncodeDate(y, mo, d, value))
    return false;
  if (s.empty()) return true;
  if (!ReadChar(s, 'T') && !ReadChar(s, ' ')) return false;
  double time = 0;
  if (s.empty() || s.front() == '-' || !ParseIsoTime(s, time) || time >= 1) return false;
  value += time;
  return true;
}

bool ParseFieldText(TFieldType type, std::string_view text, TFieldValue& out) {
  out.Null = false;
  if (type == TFieldType::String) {
    out.Text.assign(text);
    return true;
  }
  const std::string_view trimmed = TrimSpacesAndTabs(text);
  if (trimmed.empty()) {
    out.Null = true;
    return true;
  }
  switch (type) {
    case TFieldType::Integer: return TryParseInt32(trimmed, out.Int);
    case TFieldType::Boolean: return ParseBoolean(trimmed, out.Bool);
    case TFieldType::DateTime: return ParseIsoDateTime(trimmed, out.Float);
    case TFieldType::Time: return ParseIsoTime(trimmed, out.Float);
    case TFieldType::String: break;
  }
  return false;
}

std::string_view CutToSize(std::string_view text, int size) {
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  if (size <= 0 || text.size() <= static_cast<std::size_t>(size)) return text;
  std::size_t cut = static_cast<std::size_t>(size);
  auto continuation = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
  std::size_t lead = cut;
  while (lead > 0 && cut - lead < 3 && continuation(lead)) --lead;
  if (lead < cut && lead + Utf8Length(static_cast<unsigned char>(text[lead])) > cut) cut = lead;
  return text.substr(0, cut);
}

const char* FieldTypeName(TFieldType type) {
  switch (type) {
    case TFieldType::String: return "text";
    case TFieldType::Integer: return "integer";
    case TFieldType::Boolean: return "boolean";
    case TFieldType::DateTime: return "date-time";
    case TFieldType::Time: return "time";
  }
  return "value";
}
