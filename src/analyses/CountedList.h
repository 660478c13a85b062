#pragma once
// A counted string list: texts compared without regard to letter case, each carrying a signed
// 32-bit count. A text that differs from a held one only in letter case shares its entry, which
// keeps the spelling met first. Held in a hash map; Sorted gives the list's alphabetical order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analyses/TextKeys.h"

class TCountedStrList {
public:
  using TEntry = std::pair<std::string_view, std::int32_t>;

  // The count of name, inserted with 0 when absent. The reference stays valid until Clear, so
  // callers may keep it to count again without a lookup.
  std::int32_t& Cell(std::string_view name);
  // Adds 1 to the count of name, inserting it with count 1 when absent.
  void CountName(std::string_view name) { ++Cell(name); }
  // The count of name, or nullptr when the list does not hold it.
  const std::int32_t* Find(std::string_view name) const;
  std::int32_t* Find(std::string_view name);

  std::size_t Count() const { return FCounts.size(); }
  void Clear() { FCounts.clear(); }
  // Every entry, texts ascending without regard to letter case. Views stay valid until Clear.
  std::vector<TEntry> Sorted() const;

private:
  std::unordered_map<std::string, std::int32_t, TNoCaseHash, TNoCaseEqual> FCounts;
};
