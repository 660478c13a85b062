#include "config/CsvWriter.h"

#include "base/ReplaceFile.h"
#include "base/Utf8Text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A sign, then digits, each "." or "," between two digits: what a spreadsheet reads as a number.
bool IsNumber(std::string_view text) {
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  if (text.empty() || !IsDigit(text.front()) || !IsDigit(text.back())) return false;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (IsDigit(text[i])) continue;
    if ((text[i] != '.' && text[i] != ',') || !IsDigit(text[i - 1])) return false;
  }
  return true;
}

bool RunsAsFormula(std::string_view text) {
  if (text.empty()) return false;
  const char first = text.front();
  const bool lead = first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' || first == '\r';
  return lead && !IsNumber(text);
}

}  // namespace

std::string TCsvWriter::Field(std::string_view text, TCsvCells cells) {
  std::string field = ValidUtf8(text);
  if (cells == TCsvCells::SpreadsheetSafe && RunsAsFormula(field)) field.insert(0, 1, '\'');
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

void TCsvWriter::AddRow(const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) FText += ',';
    FText += Field(fields[i], FCells);
  }
  FText += "\r\n";
}

void TCsvWriter::SaveToFile(const std::string& path) const { ReplaceFileContents(path, FText, TLinkRule::ReplaceLink); }

std::string TabSeparatedLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    for (char c : fields[i]) line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
  }
  return line + '\n';
}
