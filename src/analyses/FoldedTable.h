#pragma once
// Values keyed by text without regard to letter case (TextCompare.h's folding), in one flat
// open-addressing slot array over entries that never move: a lookup costs one hash of the
// text and, mostly, one comparison, and builds no string. Each slot keeps part of its entry's
// hash, so that other entries met on the way are passed over without being read. References
// to values stay valid until Clear.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analyses/TextCompare.h"

template <typename TValue>
class TFoldedTable {
public:
  struct TEntry {
    std::string Text;  // the spelling met first
    TValue Value{};
    std::size_t Hash = 0;
  };

  TValue* Find(std::string_view text) {
    const std::size_t hash = HashFolded(text);
    const std::uint32_t number = Lookup(text, hash);
    return number == 0 ? nullptr : &Entry(number - 1).Value;
  }
  const TValue* Find(std::string_view text) const { return const_cast<TFoldedTable*>(this)->Find(text); }

  // The value of text, added with initial when absent; `added` tells which.
  TValue& Get(std::string_view text, const TValue& initial, bool& added) {
    const std::size_t hash = HashFolded(text);
    if (const std::uint32_t number = Lookup(text, hash); number != 0) {
      added = false;
      return Entry(number - 1).Value;
    }
    added = true;
    if ((FSize + 1) * 2 > FSlots.size()) Grow();
    if (FSize % ChunkSize == 0) FChunks.push_back(std::make_unique<TEntry[]>(ChunkSize));
    TEntry& entry = Entry(FSize);
    entry.Text.assign(text);
    entry.Value = initial;
    entry.Hash = hash;
    ++FSize;
    Place(hash, static_cast<std::uint32_t>(FSize));
    return entry.Value;
  }

  std::size_t Size() const { return FSize; }
  bool Empty() const { return FSize == 0; }
  // The entries in the order they were added.
  const TEntry& At(std::size_t index) const { return FChunks[index / ChunkSize][index % ChunkSize]; }
  // Also gives the memory back.
  void Clear() {
    FChunks = decltype(FChunks)();
    FSlots = decltype(FSlots)();
    FSize = 0;
  }

private:
  static constexpr std::size_t ChunkSize = 256;

  // Entry number (index + 1) and the high half of its hash; number 0 marks a free slot.
  struct TSlot {
    std::uint32_t Number = 0;
    std::uint32_t Tag = 0;
  };
  static std::uint32_t TagOf(std::size_t hash) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32); }

  TEntry& Entry(std::size_t index) { return FChunks[index / ChunkSize][index % ChunkSize]; }

  // Entry number of text, 0 when absent.
  std::uint32_t Lookup(std::string_view text, std::size_t hash) {
    if (FSlots.empty()) return 0;
    const std::size_t mask = FSlots.size() - 1;
    const std::uint32_t tag = TagOf(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const TSlot& s = FSlots[slot];
      if (s.Number == 0) return 0;
      if (s.Tag != tag) continue;
      const TEntry& entry = Entry(s.Number - 1);
      if (entry.Hash == hash && EqualFolded(entry.Text, text)) return s.Number;
    }
  }

  void Place(std::size_t hash, std::uint32_t number) {
    const std::size_t mask = FSlots.size() - 1;
    std::size_t slot = hash & mask;
    while (FSlots[slot].Number != 0) slot = (slot + 1) & mask;
    FSlots[slot] = {number, TagOf(hash)};
  }

  void Grow() {
    FSlots.assign(FSlots.empty() ? 64 : FSlots.size() * 2, TSlot{});
    for (std::size_t i = 0; i < FSize; ++i) Place(Entry(i).Hash, static_cast<std::uint32_t>(i + 1));
  }

  std::vector<std::unique_ptr<TEntry[]>> FChunks;  // ChunkSize entries each; they never move
  std::vector<TSlot> FSlots;
  std::size_t FSize = 0;
};
