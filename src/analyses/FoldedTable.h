#pragma once
// Values keyed by text without regard to letter case (TextCompare.h's folding), in one flat
// open-addressing slot array over entries that never move: a lookup costs one hash of the
// text and, mostly, one comparison, and builds no string. References to values stay valid
// until Clear.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "analyses/TextCompare.h"

template <typename TValue>
class TFoldedTable {
public:
  struct TEntry {
    std::string Text;  // the spelling met first
    TValue Value;
    std::size_t Hash;
  };

  TValue* Find(std::string_view text) {
    const std::size_t hash = HashFolded(text);
    const std::uint32_t index = Lookup(text, hash);
    return index == 0 ? nullptr : &FEntries[index - 1].Value;
  }
  const TValue* Find(std::string_view text) const { return const_cast<TFoldedTable*>(this)->Find(text); }

  // The value of text, added with initial when absent; `added` tells which.
  TValue& Get(std::string_view text, const TValue& initial, bool& added) {
    const std::size_t hash = HashFolded(text);
    if (const std::uint32_t index = Lookup(text, hash); index != 0) {
      added = false;
      return FEntries[index - 1].Value;
    }
    added = true;
    if ((FEntries.size() + 1) * 2 > FSlots.size()) Grow();
    FEntries.push_back({std::string(text), initial, hash});
    Place(hash, static_cast<std::uint32_t>(FEntries.size()));
    return FEntries.back().Value;
  }

  std::size_t Size() const { return FEntries.size(); }
  bool Empty() const { return FEntries.empty(); }
  const std::deque<TEntry>& Entries() const { return FEntries; }
  // Also gives the memory back.
  void Clear() {
    FEntries = {};
    FSlots = {};
  }

private:
  // Entry number (index + 1) of text, 0 when absent.
  std::uint32_t Lookup(std::string_view text, std::size_t hash) const {
    if (FSlots.empty()) return 0;
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const std::uint32_t index = FSlots[slot];
      if (index == 0) return 0;
      const TEntry& entry = FEntries[index - 1];
      if (entry.Hash == hash && EqualFolded(entry.Text, text)) return index;
    }
  }

  void Place(std::size_t hash, std::uint32_t index) {
    const std::size_t mask = FSlots.size() - 1;
    std::size_t slot = hash & mask;
    while (FSlots[slot] != 0) slot = (slot + 1) & mask;
    FSlots[slot] = index;
  }

  void Grow() {
    FSlots.assign(FSlots.empty() ? 64 : FSlots.size() * 2, 0);
    for (std::size_t i = 0; i < FEntries.size(); ++i) Place(FEntries[i].Hash, static_cast<std::uint32_t>(i + 1));
  }

  std::deque<TEntry> FEntries;
  std::vector<std::uint32_t> FSlots;  // entry number; 0 marks a free slot
};
