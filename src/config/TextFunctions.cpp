#include "config/TextFunctions.h"

#include "config/WSGlobal.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Loops(std::string_view search, std::string_view replace) {
  return !search.empty() && replace.find(search) != std::string_view::npos;
}

}  // namespace

std::string DecodeEscapes(std::string_view text, std::string_view onlyChar) {
  std::string result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t a = text.find('%', i);
    if (a == std::string_view::npos) break;
    result.append(text.substr(i, a - i));
    const std::string_view escape = text.substr(a, 3);  // "%" and up to two characters
    i = a + escape.size();
    const int high = escape.size() == 3 ? HexValue(escape[1]) : -1;
    const int low = escape.size() == 3 ? HexValue(escape[2]) : -1;
    if (high < 0 || low < 0) {
      result.append(escape);
      continue;
    }
    const char ch = static_cast<char>(high * 16 + low);
    if (!onlyChar.empty() && (onlyChar.size() != 1 || onlyChar[0] != ch))
      result.append(escape);
    else
      result.push_back(ch);
  }
  result.append(text.substr(i));
  return result;
}

std::string DecodeAllEscapes(std::string_view text) { return DecodeEscapes(text, {}); }

std::string ReplaceFirst(std::string_view text, std::string_view search, std::string_view replace) {
  std::string result(text);
  const std::size_t p = search.empty() ? std::string::npos : result.find(search);
  if (p != std::string::npos) result.replace(p, search.size(), replace);
  return result;
}

std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replace) {
  std::string result(text);
  if (search.empty() || Loops(search, replace)) return result;
  // Each pass finds the first occurrence in the whole text; text before the last replacement,
  // less search's length, held none, so the search can resume there.
  std::size_t from = 0;
  for (;;) {
    const std::size_t p = result.find(search, from);
    if (p == std::string::npos) break;
    result.replace(p, search.size(), replace);
    from = p >= search.size() - 1 ? p - (search.size() - 1) : 0;
  }
  return result;
}

std::string ApplyReplaceTable(std::string_view text, const std::vector<TReplaceRow>& rows) {
  std::string result(text);
  for (const TReplaceRow& row : rows) {
    if (Loops(row.Search, row.Replace)) continue;
    result = ReplaceAll(DecodeEscapes(result, row.HexChar), row.Search, row.Replace);
  }
  return result;
}
