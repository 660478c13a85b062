#pragma once
// What the parser's search phrases take from the configuration, and nothing more of it: the
// search-engine table, the replacement rows applied to referrers and the spare-word test.
// The settings module gives them (Tglobals).
#include <string_view>
#include <vector>

#include "base/TextFunctions.h"

class TMemTable;

class ISearchPhraseTables {
public:
  virtual ~ISearchPhraseTables() = default;
  // Loads the search-engine rows (machine, text) into the parser's open table, once per
  // parser. A table that cannot be read is reported to the user and leaves no rows.
  virtual void LoadSearchEngines(TMemTable& table) const = 0;
  virtual const std::vector<TReplaceRow>& ReplaceRows() const = 0;
  virtual bool IsNotSpareWord(std::string_view word) const = 0;
};
