#include "base/TextFunctions.h"

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

bool ReplaceAllWithin(std::string_view text, std::string_view search, std::string_view replace,
                      std::size_t maxLength, std::string& out) {
  out.clear();
  if (search.empty()) {
    out = text;
    return true;
  }
  if (Loops(search, replace)) return false;
  // One pass from the left: the output never holds search, so the first occurrence in the
  // whole text is the one that ends first, at the output's end. A replacement goes back in
  // front of the input, where it may complete a new occurrence with its neighbours.
  out.reserve(text.size());
  std::string pending;  // input to be read before the rest of text, last character first
  std::size_t next = 0;
  // A replacement shorter than search shrinks the text, and one that does not cascade happens
  // once per occurrence; so more replacements than characters mean a cascade that rebuilds
  // its own search text, which may not end or may double the text at every step.
  std::size_t budget = text.size() + 1;
  const bool grows = replace.size() > search.size();
  // Text characters still to take one by one after a replacement. Once the output ends in
  // search.size() - 1 characters taken from text as they stand there, the next occurrence is
  // the first one text holds from there on, and everything up to its last character is taken
  // at once.
  std::size_t single = 0;
  while (!pending.empty() || next < text.size()) {
    if (pending.empty()) {
      if (single == 0) {
        const std::size_t found = text.find(search, next - std::min(next, search.size() - 1));
        const std::size_t last = found == std::string_view::npos ? text.size() : found + search.size() - 1;
        out.append(text.substr(next, last - next));
        next = last;
        if (next == text.size()) break;
      }
      out.push_back(text[next++]);
      if (single > 0) --single;
    } else {
      out.push_back(pending.back());
      pending.pop_back();
    }
    if (out.size() < search.size() || std::string_view(out).substr(out.size() - search.size()) != search) continue;
    if (budget-- == 0) return false;
    out.resize(out.size() - search.size());
    pending.append(replace.rbegin(), replace.rend());
    if (grows && out.size() + pending.size() + (text.size() - next) > maxLength) return false;
    single = search.size() - 1;
  }
  return true;
}

std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replace) {
  std::string out;
  if (!ReplaceAllWithin(text, search, replace, text.size() + MaxReplacementGrowth, out)) return std::string(text);
  return out;
}

std::string ApplyReplaceTable(std::string_view text, const std::vector<TReplaceRow>& rows, std::vector<bool>* stopped) {
  const std::size_t maxLength = text.size() + MaxReplacementGrowth;
  std::string result(text);
  std::string replaced;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const TReplaceRow& row = rows[r];
    if (row.Search.empty()) {
      result = DecodeEscapes(result, row.HexChar);
    } else if (ReplaceAllWithin(DecodeEscapes(result, row.HexChar), row.Search, row.Replace, maxLength, replaced)) {
      result.swap(replaced);
    } else if (stopped) {
      if (stopped->size() < rows.size()) stopped->resize(rows.size());
      (*stopped)[r] = true;
    }
  }
  return result;
}
