#include "analyses/CountedStrings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "base/AsciiText.h"

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

namespace {

// The first bytes of a text as a key whose order never contradicts CompareFolded's: ASCII
// letters folded, the end of the text as zeros, and from the first byte beyond ASCII (whose
// units all follow every ASCII one) 0xFF bytes. Equal keys leave the order to CompareFolded.
struct TSortKey {
  std::array<std::uint64_t, 3> Words{};
  std::uint32_t Index = 0;

  TSortKey(std::string_view text, std::uint32_t index) : Index(index) {
    std::array<unsigned char, sizeof Words> bytes{};
    for (std::size_t i = 0; i < bytes.size() && i < text.size(); ++i) {
      if (static_cast<unsigned char>(text[i]) >= 0x80) {
        std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.end(), 0xFF);
        break;
      }
      bytes[i] = static_cast<unsigned char>(LowerAscii(text[i]));
    }
    for (std::size_t w = 0; w < Words.size(); ++w)
      for (std::size_t b = 0; b < 8; ++b) Words[w] = Words[w] << 8 | bytes[w * 8 + b];
  }
};

}  // namespace

std::vector<TCountedStrings::TEntry> TCountedStrings::Sorted() const {
  // Sorting keys held in line compares most pairs without reading their texts.
  std::vector<TSortKey> keys;
  keys.reserve(FCounts.Size());
  for (std::size_t i = 0; i < FCounts.Size(); ++i) keys.emplace_back(FCounts.At(i).Text, static_cast<std::uint32_t>(i));
  std::sort(keys.begin(), keys.end(), [this](const TSortKey& a, const TSortKey& b) {
    if (a.Words != b.Words) return a.Words < b.Words;
    return CompareFolded(FCounts.At(a.Index).Text, FCounts.At(b.Index).Text) < 0;
  });
  std::vector<TEntry> entries;
  entries.reserve(keys.size());
  for (const TSortKey& key : keys) entries.push_back({FCounts.At(key.Index).Text, FCounts.At(key.Index).Value});
  return entries;
}
