#pragma once
// Tables as text for other programs: comma-separated values (RFC 4180) for files, and
// tab-separated lines for the clipboard.
#include <string>
#include <string_view>
#include <vector>

// Collects rows as comma-separated values: fields holding a comma, a quote, CR or LF are
// quoted with their quotes doubled, lines end in CR LF, and the text is valid UTF-8 (a byte
// that starts no UTF-8 sequence is taken as Latin-1).
class TCsvWriter {
public:
  void AddRow(const std::vector<std::string>& fields);
  const std::string& Text() const { return FText; }
  // Replaces the file with the text (temporary file renamed into place).
  void SaveToFile(const std::string& path) const;

  static std::string Field(std::string_view text);

private:
  std::string FText;
};

// One clipboard line: fields separated by tabs, ended by "\n". Tabs and line breaks inside
// a field become spaces, so that each field stays one cell when pasted.
std::string TabSeparatedLine(const std::vector<std::string>& fields);
