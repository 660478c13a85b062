#include "base/StringPool.h"

#include <cstring>
#include <functional>

std::uint32_t TStringPool::Intern(std::string_view text) {
  if (FSlots.empty()) Rehash(64);
  std::size_t slot = Slot(text);
  if (FSlots[slot] != 0) return FSlots[slot] - 1;
  if ((FTexts.size() + 1) * 2 > FSlots.size()) {
    Rehash(FSlots.size() * 2);
    slot = Slot(text);
  }
  FTexts.push_back({Keep(text), static_cast<std::uint32_t>(text.size())});
  FSlots[slot] = static_cast<std::uint32_t>(FTexts.size());
  return static_cast<std::uint32_t>(FTexts.size() - 1);
}

bool TStringPool::Find(std::string_view text, std::uint32_t& id) const {
  if (FSlots.empty()) return false;
  const std::size_t slot = Slot(text);
  if (FSlots[slot] == 0) return false;
  id = FSlots[slot] - 1;
  return true;
}

void TStringPool::Clear() {
  FTexts = {};
  FSlots = {};
  std::vector<std::unique_ptr<char[]>>().swap(FChunks);
  FFree = nullptr;
  FFreeLeft = 0;
  FChunkBytes = 0;
}

std::size_t TStringPool::MemoryUsage() const {
  return FTexts.capacity() * sizeof(TText) + FSlots.capacity() * sizeof(std::uint32_t) + FChunkBytes;
}

// The slot holding text, or the free slot where it belongs.
std::size_t TStringPool::Slot(std::string_view text) const {
  const std::size_t mask = FSlots.size() - 1;
  std::size_t i = std::hash<std::string_view>{}(text) & mask;
  while (FSlots[i] != 0 && Text(FSlots[i] - 1) != text) i = (i + 1) & mask;
  return i;
}

void TStringPool::Rehash(std::size_t slotCount) {
  FSlots.assign(slotCount, 0);
  const std::size_t mask = slotCount - 1;
  for (std::uint32_t id = 0; id < FTexts.size(); ++id) {
    std::size_t i = std::hash<std::string_view>{}(Text(id)) & mask;
    while (FSlots[i] != 0) i = (i + 1) & mask;
    FSlots[i] = id + 1;
  }
}

// Copies a text into the chunks; text may itself lie in a chunk, which never moves. Long
// texts get a block of their own so that chunks waste little.
const char* TStringPool::Keep(std::string_view text) {
  if (text.empty()) return "";
  if (text.size() > ChunkSize / 4) {
    FChunks.push_back(std::make_unique<char[]>(text.size()));
    FChunkBytes += text.size();
    std::memcpy(FChunks.back().get(), text.data(), text.size());
    return FChunks.back().get();
  }
  if (FFreeLeft < text.size()) {
    FChunks.push_back(std::make_unique<char[]>(ChunkSize));
    FChunkBytes += ChunkSize;
    FFree = FChunks.back().get();
    FFreeLeft = ChunkSize;
  }
  char* at = FFree;
  std::memcpy(at, text.data(), text.size());
  FFree += text.size();
  FFreeLeft -= text.size();
  return at;
}
