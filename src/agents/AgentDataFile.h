#pragma once
// The two tables of user-agent rules in config/, both in the system's table-file format:
//
// "agentdata.lac", made by the build (tools/agentdata) from the field's data: uap-core's
// browser and system rules and the crawler-user-agents patterns, in their order, with a last
// row that counts the rows and carries a checksum, so that a file cut short or changed is
// refused as damaged rather than read as fewer rules.
//
// "agents.lac", the user's own rules, which come before the data. Each row has a regular
// expression and sets any of browser (with version), system and crawler; "-" says "none"
// ("not a crawler"), "$1".."$9" stand for the expression's groups.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr const char* AgentDataFileName = "agentdata.lac";
inline constexpr const char* UserAgentsFileName = "agents.lac";

// A data file that cannot be read as the rules it should hold; the message names the file
// and, where there is one, the line.
class EAgentDataError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class TAgentRuleKind { Browser, System, Crawler };

// One rule of the data, in the terms of uap-core: Name and Version replace the expression's
// first and second groups when given.
struct TAgentRuleSpec {
  TAgentRuleKind Kind = TAgentRuleKind::Browser;
  std::string Regex;
  bool Caseless = false;
  std::string Name;
  std::string Version;
};

// One row of the user's table. Empty texts set nothing.
struct TUserAgentRow {
  std::string Regex;
  std::string Browser, Version, System, Crawler;
  std::string Where;  // file and line, for messages
};

// Sources: texts naming the data and its versions, kept in the file for whoever reads it.
void SaveAgentData(const std::vector<TAgentRuleSpec>& rules, const std::vector<std::string>& sources,
                   const std::string& path);
std::vector<TAgentRuleSpec> LoadAgentData(const std::string& path);

// A missing table holds no rows. Rows without an expression or without anything to set are
// left out and named in notes.
std::vector<TUserAgentRow> LoadUserAgents(const std::string& path, std::vector<std::string>& notes);
// The header alone, for a new installation.
void SaveEmptyUserAgents(const std::string& path);
