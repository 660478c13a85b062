#pragma once
// Text helpers for referrers: undoing percent escapes and applying the replacement table.
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
// Replaces until search no longer occurs, so replacements can cascade ("  " -> " " shrinks
// any run of spaces). A replace that holds search would never end: the text is returned
// unchanged then, and so it is when the replacements outnumber the text's characters (a
// replacement that forms its search again with its neighbours, "ab" -> "bba", would grow the
// text without end). The time taken is linear in the text and the replacements made.
std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replace);

// For each row in order: decode the escapes of its HexChar, then ReplaceAll. A row whose
// Replace holds its Search is skipped whole.
std::string ApplyReplaceTable(std::string_view text, const std::vector<TReplaceRow>& rows);
