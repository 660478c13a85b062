#include "base/MemFilter.h"

#include "base/AsciiText.h"

bool ParseFilterText(std::string_view text, std::vector<TFilterTerm>& terms) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && text[i] == ' ') ++i;
  };
  skipBlanks();
  while (i < n) {
    TFilterTerm term;
    const std::size_t nameStart = i;
    while (i < n && text[i] != '=' && text[i] != '<' && text[i] != ' ') ++i;
    term.Field.assign(text.substr(nameStart, i - nameStart));
    skipBlanks();
    if (text.substr(i, 2) == "<>") {
      term.NotEqual = true;
      i += 2;
    } else if (i < n && text[i] == '=') {
      ++i;
    } else {
      return false;
    }
    skipBlanks();
    if (i < n && text[i] == '\'') {
      for (++i;; ++i) {
        if (i >= n) return false;
        if (text[i] == '\'') {
          if (i + 1 >= n || text[i + 1] != '\'') break;
          ++i;
        }
        term.Value += text[i];
      }
      ++i;
    } else {
      const std::size_t valueStart = i;
      while (i < n && text[i] != ' ') ++i;
      if (i == valueStart) return false;
      term.Value.assign(text.substr(valueStart, i - valueStart));
    }
    if (term.Field.empty()) return false;
    terms.push_back(std::move(term));
    skipBlanks();
    if (i == n) break;
    if (n - i < 4 || !SameTextAscii(text.substr(i, 3), "AND") || text[i + 3] != ' ') return false;
    i += 4;
    skipBlanks();
    if (i == n) return false;
  }
  return true;
}
