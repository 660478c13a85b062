#pragma once
// Text comparisons of the analyses: case-folded comparison of counted values, the A-Z
// lowering of substring filters (lock words, not-shown entries), and trimming of addresses.
#include <cstddef>
#include <string>
#include <string_view>

#include "analyses/TextKeys.h"

// Case folding of counted values: A-Z, and in UTF-8 text the letters of Latin-1, Latin
// Extended-A, Greek and Cyrillic (search phrases are often written in them; TextKeys.h folds
// A-Z only). Other bytes compare as they stand, so text in a single-byte code page still
// compares consistently (by ASCII letters only).
int CompareFolded(std::string_view a, std::string_view b);  // <0, 0, >0
bool EqualFolded(std::string_view a, std::string_view b);
std::size_t HashFolded(std::string_view text);

// Hash and equality for unordered containers keyed by text without regard to letter case;
// transparent, so a std::string_view looks a key up without building a string.
struct TFoldedHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return HashFolded(text); }
};
struct TFoldedEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualFolded(a, b); }
};
struct TFoldedLess {
  bool operator()(std::string_view a, std::string_view b) const { return CompareFolded(a, b) < 0; }
};

// Substring filters lower-case only the letters A to Z (FoldCase), on both sides.
std::string LowerAZ(std::string_view text);
// Whether loweredPattern (already lowered by LowerAZ) occurs in text lowered the same way.
// An empty pattern occurs nowhere.
bool ContainsLowerAZ(std::string_view text, std::string_view loweredPattern);

// The text without the bytes of code 32 or less at both ends.
std::string_view TrimBlanks(std::string_view text);
