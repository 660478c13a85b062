#pragma once
// Values keyed by text without regard to letter case (TextCompare.h's folding), in one flat
// open-addressing slot array over records that never move: a lookup costs one hash of the
// text and, mostly, one comparison, and builds no string. Each slot keeps its record's place
// and part of its hash, so that other records met on the way are passed over without being
// read; a record holds its text right behind it, so that a hit reads one place in memory
// besides its slot. References to values stay valid until Clear.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "analyses/TextCompare.h"

template <typename TValue>
class TFoldedTable {
public:
  // An entry as handed out: the spelling met first, and the value.
  struct TEntry {
    std::string_view Text;
    const TValue& Value;
  };

  TValue* Find(std::string_view text) {
    TRecord* record = Lookup(text, HashFolded(text));
    return record == nullptr ? nullptr : &record->Value;
  }
  const TValue* Find(std::string_view text) const { return const_cast<TFoldedTable*>(this)->Find(text); }

  // The value of text, added with initial when absent; `added` tells which.
  TValue& Get(std::string_view text, const TValue& initial, bool& added) {
    const std::size_t hash = HashFolded(text);
    if (TRecord* record = Lookup(text, hash); record != nullptr) {
      added = false;
      return record->Value;
    }
    added = true;
    if ((FRecords.size() + 1) * 2 > FSlots.size()) Grow();
    TRecord* record = NewRecord(text, initial, hash);
    FRecords.push_back(record);
    Place(record);
    return record->Value;
  }

  std::size_t Size() const { return FRecords.size(); }
  bool Empty() const { return FRecords.empty(); }
  // The entries in the order they were added.
  TEntry At(std::size_t index) const { return {FRecords[index]->Text(), FRecords[index]->Value}; }
  // Also gives the memory back.
  void Clear() {
    FBlocks = decltype(FBlocks)();
    FRecords = decltype(FRecords)();
    FSlots = decltype(FSlots)();
    FFree = 0;
  }

private:
  struct TRecord {
    TValue Value;
    std::size_t Hash;
    std::size_t Length;
    // The text's bytes follow the record.
    std::string_view Text() const { return {reinterpret_cast<const char*>(this + 1), Length}; }
  };
  static constexpr std::size_t BlockSize = 64 * 1024;

  // A free slot has no record.
  struct TSlot {
    TRecord* Record = nullptr;
    std::uint32_t Tag = 0;  // the high half of the record's hash
  };
  static std::uint32_t TagOf(std::size_t hash) { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32); }

  TRecord* Lookup(std::string_view text, std::size_t hash) {
    if (FSlots.empty()) return nullptr;
    const std::size_t mask = FSlots.size() - 1;
    const std::uint32_t tag = TagOf(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const TSlot& s = FSlots[slot];
      if (s.Record == nullptr) return nullptr;
      if (s.Tag == tag && s.Record->Hash == hash && EqualFolded(s.Record->Text(), text)) return s.Record;
    }
  }

  // Records are laid out one after the other in blocks that are never moved.
  TRecord* NewRecord(std::string_view text, const TValue& value, std::size_t hash) {
    constexpr std::size_t align = alignof(TRecord);
    const std::size_t size = (sizeof(TRecord) + text.size() + align - 1) / align * align;
    if (size > FFree) {
      FBlocks.push_back(std::make_unique_for_overwrite<TBlockUnit[]>((std::max(size, BlockSize) + sizeof(TBlockUnit) - 1) / sizeof(TBlockUnit)));
      FNext = reinterpret_cast<char*>(FBlocks.back().get());
      FFree = std::max(size, BlockSize);
    }
    auto* record = new (FNext) TRecord{value, hash, text.size()};
    if (!text.empty()) std::memcpy(record + 1, text.data(), text.size());
    FNext += size;
    FFree -= size;
    return record;
  }

  void Place(TRecord* record) {
    const std::size_t mask = FSlots.size() - 1;
    std::size_t slot = record->Hash & mask;
    while (FSlots[slot].Record != nullptr) slot = (slot + 1) & mask;
    FSlots[slot] = {record, TagOf(record->Hash)};
  }

  void Grow() {
    FSlots.assign(FSlots.empty() ? 64 : FSlots.size() * 2, TSlot{});
    for (TRecord* record : FRecords) Place(record);
  }

  // Blocks are arrays of a unit aligned as records are.
  struct alignas(TRecord) TBlockUnit {
    char Bytes[alignof(TRecord)];
  };
  std::vector<std::unique_ptr<TBlockUnit[]>> FBlocks;
  char* FNext = nullptr;
  std::size_t FFree = 0;
  std::vector<TRecord*> FRecords;  // in the order added
  std::vector<TSlot> FSlots;
};
