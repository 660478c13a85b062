#pragma once
// Text comparisons of the analyses: counted values and keys compared without letter case,
// letters beyond ASCII included. (Names and substring filters fold A to Z only: AsciiText.h.)
#include <cstddef>
#include <string_view>

// Case folding of every text compared without regard to letter case: A-Z, and in UTF-8 text
// the letters of Latin-1, Latin Extended-A, Greek and Cyrillic (search phrases are often
// written in them). Other bytes compare as they stand, so text in a single-byte code page
// still compares consistently (by ASCII letters only). Texts equal after folding have the
// same length in bytes. Comparisons, hashes and lookups build no folded copy.
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
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareFolded(a, b) < 0; }
};
