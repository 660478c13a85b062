#pragma once
// Tables as text for other programs: comma-separated values (RFC 4180) for files, and
// tab-separated lines for the clipboard.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// How cells that a spreadsheet would run as formulas are written.
enum class TCsvCells {
  // A cell that begins with "=", "+", "-", "@", a tab or CR gets a leading apostrophe, so
  // that a page such as =HYPERLINK(...) from a log stays text when the file is opened in a
  // spreadsheet; a cell that is a number ("-5", "+1.5", "1,234") stays as it is.
  SpreadsheetSafe,
  Exact,  // every cell as it is
};

// Collects rows as comma-separated values: fields holding a comma, a quote, CR or LF are
// quoted with their quotes doubled, lines end in CR LF, and the text is valid UTF-8 (a byte
// that starts no UTF-8 sequence is taken as Latin-1).
class TCsvWriter {
public:
  explicit TCsvWriter(TCsvCells cells = TCsvCells::SpreadsheetSafe) : FCells(cells) {}
  void AddRow(const std::vector<std::string>& fields);
  const std::string& Text() const { return FText; }
  // Hands the text collected so far to the caller and starts anew (for writing in pieces).
  std::string TakeText() { return std::exchange(FText, {}); }
  // Replaces the file at a name the user chose with the text: whatever stands at the name,
  // a symbolic link included, is replaced (temporary file renamed into place).
  void SaveToFile(const std::string& path) const;

  static std::string Field(std::string_view text, TCsvCells cells = TCsvCells::SpreadsheetSafe);

private:
  TCsvCells FCells;
  std::string FText;
};

// One clipboard line: fields separated by tabs, ended by "\n". Tabs and line breaks inside
// a field become spaces, so that each field stays one cell when pasted.
std::string TabSeparatedLine(const std::vector<std::string>& fields);
