#include "analyses/CountedStrings.h"

#include <algorithm>
#include <limits>

void TCountedStrings::Add(std::string_view text) {
  bool added = false;
  std::int32_t& count = FCounts.Get(text, 1, added);
  // Counts are 32 bits wide; they stop at the largest value rather than wrap.
  if (!added && count < std::numeric_limits<std::int32_t>::max()) ++count;
}

std::int32_t& TCountedStrings::Cell(std::string_view text) {
  bool added = false;
  return FCounts.Get(text, 0, added);
}

std::int32_t* TCountedStrings::Find(std::string_view text) { return FCounts.Find(text); }

std::int32_t TCountedStrings::CountOf(std::string_view text) const {
  const std::int32_t* count = FCounts.Find(text);
  return count == nullptr ? 0 : *count;
}

std::vector<TCountedStrings::TEntry> TCountedStrings::Sorted() const {
  std::vector<TEntry> entries;
  entries.reserve(FCounts.Size());
  for (std::size_t i = 0; i < FCounts.Size(); ++i) entries.push_back({&FCounts.At(i).Text, FCounts.At(i).Value});
  std::sort(entries.begin(), entries.end(),
            [](const TEntry& a, const TEntry& b) { return CompareFolded(*a.Text, *b.Text) < 0; });
  return entries;
}
