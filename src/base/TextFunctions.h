#pragma once
// Text helpers for referrers: undoing percent escapes and applying the replacement table.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One row of the replacement table applied to referrers before their words are taken.
struct TReplaceRow {
  std::string HexChar;  // the character whose escapes are decoded; empty: every escape
  std::string Search;
  std::string Replace;
};

// Undoes percent escapes; with a non-empty onlyChar only those that stand for that character.
// Every "%" and the (up to) two characters after it are consumed as one escape; an escape
// whose characters are not two hexadecimal digits is kept as written.
std::string DecodeEscapes(std::string_view text, std::string_view onlyChar);
std::string DecodeAllEscapes(std::string_view text);

std::string ReplaceFirst(std::string_view text, std::string_view search, std::string_view replace);

// How much longer the replacements may make a text: ReplaceAll, and ApplyReplaceTable over
// all its rows together, stop before the text grows past its first length plus 4 KiB.
inline constexpr std::size_t MaxReplacementGrowth = 4096;

// Replaces until search no longer occurs, so replacements can cascade ("  " -> " " shrinks
// any run of spaces), into out. It stops, giving false, where the repetition would not end or
// would outgrow maxLength: a replace that holds search, a replacement that forms its search
// again with its neighbours and so outnumbers the text's characters ("ab" -> "bba" doubles the
// text at each step), or replacements that make the text longer than maxLength ("a" -> 20 "b"
// over a long text). The time taken is linear in the text and the replacements made.
bool ReplaceAllWithin(std::string_view text, std::string_view search, std::string_view replace,
                      std::size_t maxLength, std::string& out);
// ReplaceAllWithin up to MaxReplacementGrowth; the text as it was where it stops.
std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replace);

// For each row in order: decode the escapes of its HexChar, then ReplaceAll, the text's
// length bound by its first length plus MaxReplacementGrowth. A row that stops leaves the
// text as it was before the row (its escapes undecoded too); the rows after it still apply,
// and the row's flag in stopped (grown to the rows' count) is set.
std::string ApplyReplaceTable(std::string_view text, const std::vector<TReplaceRow>& rows,
                              std::vector<bool>* stopped = nullptr);
