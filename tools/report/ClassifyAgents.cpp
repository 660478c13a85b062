// --classify-agents: the classification of each agent of standard input, as JSON lines.
#include <cstdio>
#include <string>
#include <vector>

#include "JsonWriter.h"
#include "Report.h"
#include "agents/AgentClassifier.h"
#include "platform/ProgramDir.h"

namespace {

// Output is handed on in pieces of about this size.
constexpr std::size_t FlushSize = 1 << 16;

void AppendMember(std::string& out, const char* key, const std::string& value, bool orNull) {
  out += ", \"";
  out += key;
  out += "\": ";
  if (orNull && value.empty())
    out += "null";
  else
    TJsonWriter::AppendEscaped(out, value);
}

// One line of the input; false at its end. A CR before the LF belongs to the line end.
bool ReadLine(std::FILE* in, std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace

bool ClassifyAgents(const TReportOptions& options, std::FILE* in, std::FILE* out) {
  TAgentClassifier agents;
  std::vector<std::string> notes;
  agents.Refresh(options.ConfigDir.empty() ? ExecutableDirectory() + "config/" : options.ConfigDir, notes);
  for (const std::string& note : notes) std::fprintf(stderr, "warning: %s\n", note.c_str());
  std::string line, text;
  bool written = true;
  while (ReadLine(in, line)) {
    const TUserAgentClass& agent = agents.Classify(line).Class;
    text += "{\"agent\": ";
    TJsonWriter::AppendEscaped(text, line);
    AppendMember(text, "browser", agent.Browser, true);
    AppendMember(text, "browserVersion", agent.BrowserVersion, true);
    AppendMember(text, "system", agent.System, true);
    AppendMember(text, "crawler", agent.Crawler, true);
    text += "}\n";
    if (text.size() >= FlushSize) {
      written = std::fwrite(text.data(), 1, text.size(), out) == text.size() && written;
      text.clear();
    }
  }
  return std::fwrite(text.data(), 1, text.size(), out) == text.size() && written;
}
