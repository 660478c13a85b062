#include "analyses/CountedList.h"

#include <algorithm>

std::int32_t& TCountedStrList::Cell(std::string_view name) {
  auto it = FCounts.find(name);
  if (it == FCounts.end()) it = FCounts.emplace(std::string(name), 0).first;
  return it->second;
}

const std::int32_t* TCountedStrList::Find(std::string_view name) const {
  const auto it = FCounts.find(name);
  return it == FCounts.end() ? nullptr : &it->second;
}

std::int32_t* TCountedStrList::Find(std::string_view name) {
  const auto it = FCounts.find(name);
  return it == FCounts.end() ? nullptr : &it->second;
}

std::vector<TCountedStrList::TEntry> TCountedStrList::Sorted() const {
  std::vector<TEntry> entries;
  entries.reserve(FCounts.size());
  for (const auto& [text, count] : FCounts) entries.emplace_back(text, count);
  std::sort(entries.begin(), entries.end(),
            [](const TEntry& a, const TEntry& b) { return CompareTextNoCase(a.first, b.first) < 0; });
  return entries;
}
