#include "analyses/CountedStrings.h"

#include <algorithm>
#include <limits>

void TCountedStrings::Add(std::string_view text) {
  auto it = FCounts.find(text);
  if (it == FCounts.end()) {
    FCounts.emplace(std::string(text), 1);
    return;
  }
  // Counts are 32 bits wide; they stop at the largest value rather than wrap.
  if (it->second < std::numeric_limits<std::int32_t>::max()) ++it->second;
}

std::int32_t TCountedStrings::CountOf(std::string_view text) const {
  auto it = FCounts.find(text);
  return it == FCounts.end() ? 0 : it->second;
}

std::vector<TCountedStrings::TEntry> TCountedStrings::Sorted() const {
  std::vector<TEntry> entries;
  entries.reserve(FCounts.size());
  for (const auto& [text, count] : FCounts) entries.push_back({&text, count});
  std::sort(entries.begin(), entries.end(),
            [](const TEntry& a, const TEntry& b) { return CompareFolded(*a.Text, *b.Text) < 0; });
  return entries;
}
