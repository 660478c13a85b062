#pragma once
// The line handling of the "Search Criterion" analysis, apart from the table it counts in.
#include <string>

class TDSearchPattern;

// The search phrase of a log line's referrer, or empty when there is none. A line without
// any "?" holds no search and its referrer is not asked for.
std::string SearchPhraseOfLine(const std::string& line, TDSearchPattern& parser, bool withHost);
// Reads what SearchPhraseOfLine reads of the line, raising the errors it would.
void CheckSearchLine(const std::string& line, TDSearchPattern& parser);
