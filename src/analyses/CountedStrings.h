#pragma once
// Counting of text values without regard to letter case, letters beyond ASCII included (see
// TextCompare.h): one entry per value, holding the spelling met first. Counting a known value
// builds no string.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analyses/TextCompare.h"

class TCountedStrings {
public:
  struct TEntry {
    const std::string* Text;
    std::int32_t Count;
  };

  // Adds 1 to the value's count, or takes the value with count 1.
  void Add(std::string_view text);
  void Clear() { FCounts = {}; }  // also gives the memory back
  bool Empty() const { return FCounts.empty(); }
  std::size_t Size() const { return FCounts.size(); }
  std::int32_t CountOf(std::string_view text) const;  // 0 when never added

  // The entries ascending by text, letter case ignored. Valid until the next change.
  std::vector<TEntry> Sorted() const;

private:
  std::unordered_map<std::string, std::int32_t, TFoldedHash, TFoldedEqual> FCounts;
};
