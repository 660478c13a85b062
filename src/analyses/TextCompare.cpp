#include "analyses/TextCompare.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "base/AsciiText.h"

namespace {

static_assert(std::endian::native == std::endian::little, "a word's first byte is its lowest");

constexpr std::uint64_t HighBits = 0x8080808080808080ull;
constexpr std::uint64_t EveryByte = 0x0101010101010101ull;

std::uint64_t Load8(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The `count` (below 8) bytes at p in the low bytes of a word, the others zero.
std::uint64_t LoadPart(const char* p, std::size_t count) {
  // Byte by byte: a copy of a varying length would be a call.
  std::uint64_t word = 0;
  for (std::size_t i = count; i-- > 0;) word = word << 8 | static_cast<unsigned char>(p[i]);
  return word;
}

// Whether texts of equal size hold the same bytes; short ones, as most are, without a call.
bool SameBytes(std::string_view a, std::string_view b) {
  const std::size_t size = a.size();
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8)
    if (Load8(a.data() + i) != Load8(b.data() + i)) return false;
  if (i == size) return true;
  if (size >= 8) return Load8(a.data() + size - 8) == Load8(b.data() + size - 8);
  return LoadPart(a.data(), size) == LoadPart(b.data(), size);
}

// The last `count` bytes of text (0 < count < 8) in the low bytes of a word, the others zero;
// from one load that ends at the text's end where the text is long enough.
std::uint64_t TailPart(std::string_view text, std::size_t count) {
  if (text.size() >= 8) return Load8(text.data() + text.size() - 8) >> (8 * (8 - count));
  return LoadPart(text.data() + text.size() - count, count);
}

// LowerAscii of eight ASCII bytes at once: 0x20 added to every byte from 'A' to 'Z'.
std::uint64_t FoldAscii8(std::uint64_t word) {
  const std::uint64_t atLeastA = word + (0x80 - 'A') * EveryByte;
  const std::uint64_t aboveZ = word + (0x80 - 'Z' - 1) * EveryByte;
  return word | ((atLeastA & ~aboveZ & HighBits) >> 2);
}

// A byte that is no part of a decoded two-byte sequence is one unit of its own, placed
// above every code point so it cannot equal a decoded letter.
constexpr char32_t RawByteBase = 0x110000;

char32_t FoldCodePoint(char32_t cp) {
  if ((cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)        // Latin-1 capitals
      || (cp >= 0x410 && cp <= 0x42F)                  // Cyrillic А..Я
      || (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2))  // Greek Α..Ϋ
    return cp + 0x20;
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;   // Cyrillic Ѐ..Џ
  if (cp == 0x178) return 0xFF;                       // Ÿ
  if (cp == 0x386) return 0x3AC;
  if (cp >= 0x388 && cp <= 0x38A) return cp + 0x25;
  if (cp == 0x38C) return 0x3CC;
  if (cp == 0x38E || cp == 0x38F) return cp + 0x3F;
  // Latin Extended-A and Cyrillic pairs: capital and small letter side by side.
  bool evenCapital = (cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) ||
                     (cp >= 0x14A && cp <= 0x177) || (cp >= 0x460 && cp <= 0x481) ||
                     (cp >= 0x48A && cp <= 0x4BF);
  if (evenCapital && cp % 2 == 0) return cp + 1;
  bool oddCapital = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
  if (oddCapital && cp % 2 == 1) return cp + 1;
  return cp;
}

// The next unit of text at pos, folded; advances pos.
char32_t NextFolded(std::string_view text, std::size_t& pos) {
  auto b = static_cast<unsigned char>(text[pos]);
  if (b < 0x80) {
    ++pos;
    return static_cast<char32_t>(LowerAscii(static_cast<char>(b)));
  }
  if ((b & 0xE0) == 0xC0 && b >= 0xC2 && pos + 1 < text.size()) {
    auto c = static_cast<unsigned char>(text[pos + 1]);
    if ((c & 0xC0) == 0x80) {
      pos += 2;
      return FoldCodePoint((static_cast<char32_t>(b & 0x1F) << 6) | (c & 0x3F));
    }
  }
  ++pos;
  return RawByteBase + b;
}

}  // namespace

int CompareFolded(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    // Eight ASCII bytes on both sides are eight units each: the first that differs decides.
    if (i + 8 <= a.size() && j + 8 <= b.size()) {
      const std::uint64_t x = Load8(a.data() + i), y = Load8(b.data() + j);
      if (((x | y) & HighBits) == 0) {
        const std::uint64_t fx = FoldAscii8(x), fy = FoldAscii8(y);
        if (fx == fy) {
          i += 8;
          j += 8;
          continue;
        }
        const int shift = std::countr_zero(fx ^ fy) / 8 * 8;  // the lowest byte is the first
        return ((fx >> shift) & 0xFF) < ((fy >> shift) & 0xFF) ? -1 : 1;
      }
    }
    char32_t x = NextFolded(a, i), y = NextFolded(b, j);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

// Equal texts have equal lengths and their units stand at the same byte positions (a unit's
// folded value tells its length: below 0x80 one byte, a decoded pair two, a raw byte one), so
// both texts take the same steps below: eight bytes at once where they are all ASCII.
bool EqualFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (SameBytes(a, b)) return true;
  std::size_t i = 0;
  while (i < a.size()) {
    if (i + 8 <= a.size()) {
      const std::uint64_t x = Load8(a.data() + i), y = Load8(b.data() + i);
      const bool asciiX = (x & HighBits) == 0, asciiY = (y & HighBits) == 0;
      if (asciiX != asciiY) return false;
      if (asciiX) {
        if (FoldAscii8(x) != FoldAscii8(y)) return false;
        i += 8;
        continue;
      }
    }
    std::size_t j = i;
    if (NextFolded(a, i) != NextFolded(b, j) || i != j) return false;
  }
  return true;
}

std::size_t HashFolded(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::uint64_t unit;
    const std::size_t rest = text.size() - pos;
    // Equal texts have their ASCII bytes at the same places, so they take the same steps.
    if (rest >= 8 && (Load8(text.data() + pos) & HighBits) == 0) {
      unit = FoldAscii8(Load8(text.data() + pos));
      pos += 8;
    } else if (std::uint64_t part = 0; rest < 8 && ((part = TailPart(text, rest)) & HighBits) == 0) {
      unit = FoldAscii8(part);  // zeros stay zeros
      pos += rest;
    } else {
      unit = NextFolded(text, pos);
    }
    hash = (hash ^ unit) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 32;
  }
  return static_cast<std::size_t>(hash);
}
