#pragma once
// Counting of text values without regard to letter case, letters beyond ASCII included (see
// TextCompare.h): one entry per value, holding the spelling met first, with a signed 32-bit
// count. Counting a known value builds no string.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analyses/FoldedTable.h"

class TCountedStrings {
public:
  struct TEntry {
    std::string_view Text;
    std::int32_t Count;
  };

  // Adds 1 to the value's count, or takes the value with count 1.
  void Add(std::string_view text);
  // The count of text, inserted with 0 when absent. The reference stays valid until Clear, so
  // callers may keep it to count again without a lookup.
  std::int32_t& Cell(std::string_view text);
  // The count of text, or nullptr when the list does not hold it.
  std::int32_t* Find(std::string_view text);
  void Clear() { FCounts.Clear(); }  // also gives the memory back
  bool Empty() const { return FCounts.Empty(); }
  std::size_t Size() const { return FCounts.Size(); }
  std::int32_t CountOf(std::string_view text) const;  // 0 when never added

  // The entries ascending by text, letter case ignored. Valid until the next change.
  std::vector<TEntry> Sorted() const;

private:
  TFoldedTable<std::int32_t> FCounts;
};
