#pragma once
// The hash of exact texts for unordered containers keyed by std::string; transparent, so that
// a std::string_view looks a key up without building a string (with std::equal_to<>).
#include <cstddef>
#include <functional>
#include <string_view>

struct TExactHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
};
