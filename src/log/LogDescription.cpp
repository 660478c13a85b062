#include "log/LogDescription.h"

#include <bit>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "base/AsciiText.h"
#include "log/W2SearchPat.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


namespace {

const std::initializer_list<const char*>& W3CNames(int slot) {
  static const std::initializer_list<const char*> names[TLogDescription::SlotCount] = {
      {"c-ip"},
      {"date", "time"},
      {"cs-Method", "cs-uri-stem", "cs-version"},
      {"sc-status"},
      {"sc-bytes"},
      // The referrer of a W3C line is its cs(Referer) field; the query of the request
      // (cs-uri-query) names no search engine.
      {"cs(Referer)"},
      {"cs(User-Agent)"},
      {"?"},
  };
  return names[slot];
}

// line.find(c, from), without the call of the library's scan: most delimiters stand within a
// few characters, where its setting up costs more than the search.
std::size_t ScanForChar(std::string_view line, char c, std::size_t from) {
  std::size_t i = from;
#if defined(__SSE2__)
  const __m128i pattern = _mm_set1_epi8(c);
  for (; i + 16 <= line.size(); i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i));
    if (const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(block, pattern)); hits != 0)
      return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(hits)));
  }
#endif
  static_assert(std::endian::native == std::endian::little, "the first byte found is the lowest");
  constexpr std::uint64_t Ones = 0x0101010101010101ull;
  constexpr std::uint64_t Highs = 0x8080808080808080ull;
  const std::uint64_t pattern8 = Ones * static_cast<unsigned char>(c);
  for (; i + 8 <= line.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, line.data() + i, sizeof word);
    const std::uint64_t x = word ^ pattern8;
    // The lowest byte of x that is zero sets the lowest bit here (little-endian order).
    if (const std::uint64_t zero = (x - Ones) & ~x & Highs; zero != 0)
      return i + static_cast<std::size_t>(std::countr_zero(zero) / 8);
  }
  for (; i < line.size(); ++i)
    if (line[i] == c) return i;
  return line.npos;
}

// The opening character of a field mostly follows the previous one's closing at once, and
// most closing ones stand within sixteen bytes: those are found without a call.
inline std::size_t FindChar(std::string_view line, char c, std::size_t from) {
  if (from < line.size() && line[from] == c) return from;
#if defined(__SSE2__)
  if (from + 16 <= line.size()) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + from));
    if (const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))); hits != 0)
      return from + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(hits)));
    return ScanForChar(line, c, from + 16);
  }
#endif
  return ScanForChar(line, c, from);
}

int FindRecord(const std::vector<TLogFieldDef>& fields, std::string_view name) {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (SameTextAscii(fields[i].Name, name)) return static_cast<int>(i);
  return -1;
}

}  // namespace

TLogDescription::TLogDescription(std::vector<TLogFieldDef> fields, bool w3c)
    : FFields(std::move(fields)), FChecks(FFields.size(), TCheck::None), FW3C(w3c) {
  for (int slot = 0; slot < SlotCount; ++slot) {
    FKindRecord[slot] = FindRecord(FFields, FieldKindName(static_cast<TFieldKind>(slot)));
    for (const char* name : W3CNames(slot))
      if (const int record = FindRecord(FFields, name); record >= 0) FW3CRecords[slot].push_back(record);
  }
  if (FW3C) return;
  for (std::size_t i = 0; i < FFields.size(); ++i) {
    const std::string& name = FFields[i].Name;
    if (SameTextAscii(name, FieldKindName(TFieldKind::Date)))
      FChecks[i] = TCheck::Date;
    else if (SameTextAscii(name, FieldKindName(TFieldKind::StatusCode)) ||
             SameTextAscii(name, FieldKindName(TFieldKind::Bytes)))
      FChecks[i] = TCheck::Number;
  }
}

bool TLogDescription::Split(std::string_view line, std::vector<TFieldSpan>& spans) const {
  spans.clear();
  const int length = static_cast<int>(line.size());
  int pos = 0;
  bool failed = false;
  std::size_t record = 0;
  if (FFields.empty()) return pos == length;

  std::string_view token = TDSearchPattern::NextToken(pos, line, FFields[0].Left, FFields[0].Right);
  while (record < FFields.size() && length >= pos) {
    // Filled in place: a span built aside and copied in costs more than all its checks.
    TFieldSpan& span = spans.emplace_back();
    span.Offset = static_cast<std::uint32_t>(token.data() - line.data());
    span.Length = static_cast<std::uint32_t>(token.size());
    if (FChecks[record] == TCheck::Date) {
      if (!FDates.TryParse(token, span.Date)) {
        failed = true;
        break;
      }
      span.IsDate = true;
    } else if (FChecks[record] == TCheck::Number) {
      if (token == "-") {
        span.Length = 0;
      } else if (TryParseInteger(token, span.Number)) {
        span.IsNumber = true;
      } else {
        failed = true;
        break;
      }
    }
    ++record;
    const TLogFieldDef& next = FFields[record < FFields.size() ? record : FFields.size() - 1];
    token = TDSearchPattern::NextToken(pos, line, next.Left, next.Right);
  }
  if (failed) spans.pop_back();  // the field that failed its check is not one of the line's
  const int end = length + (FFields.back().Right != ' ' ? 1 : 0);
  return record == FFields.size() && !failed && pos == end;
}

std::string_view TDSearchPattern::NextToken(int& pos, std::string_view line, char left, char right) {
  // Positions count from 1; pos is the last character consumed.
  const int length = static_cast<int>(line.size());
  if (pos > 0) {
    if (left != ' ') ++pos;  // past the closing character of the previous field
    const std::size_t found = pos - 1 < length ? FindChar(line, left, static_cast<std::size_t>(pos - 1)) : line.npos;
    if (found == line.npos) return line.substr(line.size());
    pos = static_cast<int>(found) + 1;
  }
  const std::size_t closing = pos < length ? FindChar(line, right, static_cast<std::size_t>(pos)) : line.npos;
  int d = 0;
  if (closing != line.npos)
    d = static_cast<int>(closing) + 1;
  else if (pos > 0)
    d = length;
  std::string_view token = line.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(d - pos));
  if (!token.empty() && token.back() == right) token.remove_suffix(1);
  pos = d;
  return token;
}
