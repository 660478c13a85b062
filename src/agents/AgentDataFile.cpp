#include "agents/AgentDataFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/MemTable.h"
#include "base/TableFile.h"

namespace {

const std::vector<TFieldDef> DataFields = {{"kind", TFieldType::String, 10},
                                           {"regex", TFieldType::String, 8000},
                                           {"caseless", TFieldType::Boolean, 0},
                                           {"name", TFieldType::String, 200},
                                           {"version", TFieldType::String, 50}};
enum TDataField { fKind, fRegex, fCaseless, fName, fVersion };

const std::vector<TFieldDef> UserFields = {{"regex", TFieldType::String, 1000},
                                           {"browser", TFieldType::String, 100},
                                           {"version", TFieldType::String, 50},
                                           {"system", TFieldType::String, 100},
                                           {"crawler", TFieldType::String, 100}};
enum TUserField { uRegex, uBrowser, uVersion, uSystem, uCrawler };

constexpr const char* KindNames[] = {"browser", "system", "crawler"};
constexpr const char* SourceKind = "source";
constexpr const char* EndKind = "end";

// FNV-1a over the rows before the last one, each value ended by a separator.
class TChecksum {
public:
  void Add(std::string_view text) {
    for (unsigned char c : text) Step(c);
    Step(0x1F);
  }
  std::string Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(FHash));
    return text;
  }

private:
  void Step(unsigned char c) {
    FHash ^= c;
    FHash *= 1099511628211ull;
  }
  std::uint64_t FHash = 14695981039346656037ull;
};

void AddRow(TChecksum& sum, std::string_view kind, std::string_view regex, bool caseless, std::string_view name,
            std::string_view version) {
  sum.Add(kind);
  sum.Add(regex);
  sum.Add(caseless ? "1" : "0");
  sum.Add(name);
  sum.Add(version);
}

std::string At(const std::string& path, std::int64_t line) { return path + ", line " + std::to_string(line); }

}  // namespace

void SaveAgentData(const std::vector<TAgentRuleSpec>& rules, const std::vector<std::string>& sources,
                   const std::string& path) {
  TMemTable table("kbmAgentData", DataFields);
  table.Open();
  TChecksum sum;
  auto append = [&](std::string_view kind, std::string_view regex, bool caseless, std::string_view name,
                    std::string_view version) {
    table.Append();
    table.SetString(fKind, kind);
    if (!regex.empty()) table.SetString(fRegex, regex);
    table.SetBoolean(fCaseless, caseless);
    if (!name.empty()) table.SetString(fName, name);
    if (!version.empty()) table.SetString(fVersion, version);
    table.Post();
    AddRow(sum, kind, regex, caseless, name, version);
  };
  for (const std::string& source : sources) append(SourceKind, "", false, source, "");
  for (const TAgentRuleSpec& rule : rules)
    append(KindNames[static_cast<int>(rule.Kind)], rule.Regex, rule.Caseless, rule.Name, rule.Version);
  const std::string count = std::to_string(sources.size() + rules.size());
  const std::string hex = sum.Hex();
  table.Append();
  table.SetString(fKind, EndKind);
  table.SetBoolean(fCaseless, false);
  table.SetString(fName, count);
  table.SetString(fVersion, hex);
  table.Post();
  SaveTableFile(table, path);
}

std::vector<TAgentRuleSpec> LoadAgentData(const std::string& path) {
  TMemTable table("kbmAgentData", DataFields);
  table.Open();
  TTableFileLayout layout;
  LoadTableFile(table, path, &layout);
  for (int field : {fKind, fRegex})
    if (std::find(layout.HeaderFields.begin(), layout.HeaderFields.end(), field) == layout.HeaderFields.end())
      throw EAgentDataError(path + ": damaged (no '" + DataFields[static_cast<std::size_t>(field)].Name +
                            "' column)");

  std::vector<TAgentRuleSpec> rules;
  TChecksum sum;
  const int rows = table.RecordCount();
  bool ended = false;
  for (int row = 0; row < rows; ++row) {
    const std::int64_t line = layout.RecordLines[static_cast<std::size_t>(row)];
    const std::string_view kind = table.AsStringViewAt(row, fKind);
    if (kind == EndKind) {
      if (row != rows - 1 || table.AsStringAt(row, fName) != std::to_string(row) ||
          table.AsStringAt(row, fVersion) != sum.Hex())
        throw EAgentDataError(At(path, line) + ": damaged (the rows do not add up to the checksum of the last row)");
      ended = true;
      break;
    }
    const std::string regex = table.AsStringAt(row, fRegex);
    const bool caseless = table.AsBooleanAt(row, fCaseless);
    const std::string name = table.AsStringAt(row, fName), version = table.AsStringAt(row, fVersion);
    AddRow(sum, kind, regex, caseless, name, version);
    if (kind == SourceKind) continue;
    TAgentRuleSpec rule;
    bool known = false;
    for (int k = 0; k < 3; ++k)
      if (kind == KindNames[k]) {
        rule.Kind = static_cast<TAgentRuleKind>(k);
        known = true;
      }
    if (!known) throw EAgentDataError(At(path, line) + ": damaged (unknown kind '" + std::string(kind) + "')");
    if (regex.empty()) throw EAgentDataError(At(path, line) + ": damaged (no regular expression)");
    rule.Regex = regex;
    rule.Caseless = caseless;
    rule.Name = name;
    rule.Version = version;
    rules.push_back(std::move(rule));
  }
  if (!ended) throw EAgentDataError(path + ": damaged (cut short: the last row, which counts the rules, is missing)");
  return rules;
}

std::vector<TUserAgentRow> LoadUserAgents(const std::string& path, std::vector<std::string>& notes) {
  std::vector<TUserAgentRow> result;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return result;
  TMemTable table("kbmUserAgents", UserFields);
  table.Open();
  TTableFileLayout layout;
  LoadTableFile(table, path, &layout);
  const int rows = table.RecordCount();
  if (rows > 0 && std::find(layout.HeaderFields.begin(), layout.HeaderFields.end(), uRegex) == layout.HeaderFields.end())
    throw EAgentDataError(At(path, layout.HeaderLine) + ": the header names no 'regex' column");
  for (int row = 0; row < rows; ++row) {
    TUserAgentRow r;
    r.Where = At(path, layout.RecordLines[static_cast<std::size_t>(row)]);
    r.Regex = table.AsStringAt(row, uRegex);
    r.Browser = table.AsStringAt(row, uBrowser);
    r.Version = table.AsStringAt(row, uVersion);
    r.System = table.AsStringAt(row, uSystem);
    r.Crawler = table.AsStringAt(row, uCrawler);
    if (r.Regex.empty()) {
      notes.push_back(r.Where + ": no regular expression; the row is skipped");
    } else if (r.Browser.empty() && r.System.empty() && r.Crawler.empty()) {
      notes.push_back(r.Where + ": sets no browser, system or crawler; the row is skipped");
    } else {
      result.push_back(std::move(r));
    }
  }
  return result;
}

void SaveEmptyUserAgents(const std::string& path) {
  TMemTable table("kbmUserAgents", UserFields);
  table.Open();
  SaveTableFile(table, path);
}
