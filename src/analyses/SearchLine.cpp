#include "analyses/SearchLine.h"

#include "log/W2SearchPat.h"

std::string SearchPhraseOfLine(const std::string& line, TDSearchPattern& parser, bool withHost) {
  if (line.find('?') == std::string::npos) return {};
  return parser.GetSearchPhrase(parser.GetField(line, TFieldKind::Referrer), {}, withHost);
}

void CheckSearchLine(const std::string& line, TDSearchPattern& parser) {
  if (line.find('?') != std::string::npos) parser.GetField(line, TFieldKind::Referrer);
}
