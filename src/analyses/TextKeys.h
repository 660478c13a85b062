#pragma once
// Text keys compared without regard to the letter case of A to Z (other bytes compare as they
// are), as the system's sorted lists compare them. The functors are transparent, so a lookup
// by string_view in a map keyed by std::string allocates nothing.
#include <cstddef>
#include <string_view>

inline char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Below 0, 0 or above 0 as a orders before, with or after b; bytes compare as unsigned.
int CompareTextNoCase(std::string_view a, std::string_view b);
bool SameTextNoCase(std::string_view a, std::string_view b);

struct TNoCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept;
};

struct TNoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept { return SameTextNoCase(a, b); }
};

struct TNoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept { return CompareTextNoCase(a, b) < 0; }
};

// Exact texts, transparent as well (for caches keyed by the raw text of a field).
struct TExactHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept;
};
