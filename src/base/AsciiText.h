#pragma once
// ASCII text: letter case of A to Z only, as the system's names, keys and substring filters
// compare it (bytes beyond ASCII stand as they are, whatever the locale), and trimming.
#include <string>
#include <string_view>

constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// The text with A to Z lowered.
std::string LowerAscii(std::string_view text);

// Equality and order after lowering A to Z; the order compares bytes as unsigned, a text
// before every longer one it begins.
bool SameTextAscii(std::string_view a, std::string_view b);
bool LessTextAscii(std::string_view a, std::string_view b);

// Whether loweredPattern (lowered already by LowerAscii) occurs in text lowered the same way;
// an empty pattern occurs nowhere. Builds no lowered copy.
bool ContainsLoweredAscii(std::string_view text, std::string_view loweredPattern);

// The text without the bytes of code 32 or less at both ends: blanks, tabs, line ends and
// the other control characters.
std::string_view TrimSpaceAndControls(std::string_view text);
// The text without blanks and tabs at both ends.
std::string_view TrimSpacesAndTabs(std::string_view text);
