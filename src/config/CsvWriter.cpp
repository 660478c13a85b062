#include "config/CsvWriter.h"

#include "base/ReplaceFile.h"
#include "base/Utf8Text.h"

std::string TCsvWriter::Field(std::string_view text) {
  std::string field = ValidUtf8(text);
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
    FText += Field(fields[i]);
  }
  FText += "\r\n";
}

void TCsvWriter::SaveToFile(const std::string& path) const { ReplaceFileContents(path, FText); }

std::string TabSeparatedLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    for (char c : fields[i]) line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
  }
  return line + '\n';
}
