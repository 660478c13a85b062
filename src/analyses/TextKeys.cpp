#include "analyses/TextKeys.h"

#include <algorithm>
#include <cstdint>
#include <functional>

int CompareTextNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(FoldCase(a[i]));
    const auto y = static_cast<unsigned char>(FoldCase(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::size_t TNoCaseHash::operator()(std::string_view text) const noexcept {
  // FNV-1a over the folded bytes.
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(FoldCase(c));
    hash *= 1099511628211ull;
  }
  return static_cast<std::size_t>(hash);
}

std::size_t TExactHash::operator()(std::string_view text) const noexcept {
  return std::hash<std::string_view>{}(text);
}
