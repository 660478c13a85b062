#include "base/AsciiText.h"

#include <algorithm>

std::string LowerAscii(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = LowerAscii(c);
  return lowered;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool LessTextAscii(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
  });
}

bool ContainsLoweredAscii(std::string_view text, std::string_view loweredPattern) {
  if (loweredPattern.empty() || loweredPattern.size() > text.size()) return false;
  const char first = loweredPattern[0];
  const std::size_t last = text.size() - loweredPattern.size();
  for (std::size_t i = 0; i <= last; ++i) {
    if (LowerAscii(text[i]) != first) continue;
    std::size_t j = 1;
    while (j < loweredPattern.size() && LowerAscii(text[i + j]) == loweredPattern[j]) ++j;
    if (j == loweredPattern.size()) return true;
  }
  return false;
}

namespace {

template <class TIsTrimmed>
std::string_view Trim(std::string_view text, TIsTrimmed isTrimmed) {
  while (!text.empty() && isTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && isTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string_view TrimSpaceAndControls(std::string_view text) {
  return Trim(text, [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
  return Trim(text, [](char c) { return c == ' ' || c == '\t'; });
}
