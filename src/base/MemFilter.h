#pragma once
// Filter texts of memory tables: comparisons "Field = value" or "Field <> value" joined by
// " AND " (in any letter case). A value may stand in apostrophes, an apostrophe inside it
// doubled; without them it runs to the next blank. Blanks around the parts are free.
#include <string>
#include <string_view>
#include <vector>

// One comparison of a filter text, as written.
struct TFilterTerm {
  std::string Field;
  bool NotEqual = false;
  std::string Value;
};

// The comparisons of text in order; false for a malformed text (terms then holds those read
// before the fault). Field names and values are not checked against a table here.
bool ParseFilterText(std::string_view text, std::vector<TFilterTerm>& terms);
