#pragma once
// Interned texts: one copy per distinct text, kept in chunks that never move (so views of
// them stay valid until Clear), found through an open-addressing hash of ids.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TStringPool {
public:
  std::uint32_t Intern(std::string_view text);
  bool Find(std::string_view text, std::uint32_t& id) const;
  std::string_view Text(std::uint32_t id) const { return {FTexts[id].Data, FTexts[id].Size}; }
  void Clear();
  std::size_t MemoryUsage() const;

private:
  struct TText {
    const char* Data;
    std::uint32_t Size;
  };
  static constexpr std::size_t ChunkSize = 64 * 1024;

  std::size_t Slot(std::string_view text) const;
  void Rehash(std::size_t slotCount);
  const char* Keep(std::string_view text);

  std::vector<TText> FTexts;
  std::vector<std::uint32_t> FSlots;  // id + 1; 0 marks a free slot
  std::vector<std::unique_ptr<char[]>> FChunks;
  char* FFree = nullptr;
  std::size_t FFreeLeft = 0;
  std::size_t FChunkBytes = 0;
};
