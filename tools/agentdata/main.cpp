// trevalo-agentdata: run by the build, makes config/agentdata.lac from the field's data:
// uap-core's regexes.yaml (browser and system rules) and crawler-user-agents' JSON list.
// Every pattern is compiled with RE2 under the options the program matches with; one that RE2
// refuses is left out, named and counted. Each crawler pattern is also tried on the sample
// agents the list gives for it, which shows where RE2 reads a pattern otherwise than the
// engines it was written for.
//
//   trevalo-agentdata --uap FILE --crawlers FILE [--source TEXT]... --output FILE
//                     [--user-template FILE]   also writes an empty user table there
#include <yaml-cpp/yaml.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "agents/AgentDataFile.h"
#include "agents/UserAgentRules.h"
#include "config/JsonText.h"

namespace {

struct TCounts {
  int Taken = 0;
  int Refused = 0;
};

std::string Text(const YAML::Node& rule, const char* key) {
  const YAML::Node value = rule[key];
  return value && value.IsScalar() ? value.as<std::string>() : std::string();
}

// One section of regexes.yaml; nameKey and versionKey are that section's replacements.
TCounts ReadUapSection(const YAML::Node& root, const char* section, TAgentRuleKind kind, const char* nameKey,
                       const char* versionKey, std::vector<TAgentRuleSpec>& rules) {
  const YAML::Node list = root[section];
  if (!list || !list.IsSequence()) throw std::runtime_error(std::string("regexes.yaml has no list ") + section);
  TCounts counts;
  for (const YAML::Node& rule : list) {
    TAgentRuleSpec spec;
    spec.Kind = kind;
    spec.Regex = Text(rule, "regex");
    spec.Caseless = Text(rule, "regex_flag") == "i";
    spec.Name = Text(rule, nameKey);
    spec.Version = Text(rule, versionKey);
    const std::string error = TUserAgentRules::RegexError(spec.Regex, spec.Caseless);
    if (spec.Regex.empty() || !error.empty()) {
      std::cerr << "trevalo-agentdata: " << section << " line " << rule.Mark().line + 1 << ": RE2 refuses '"
                << spec.Regex << "': " << error << "\n";
      ++counts.Refused;
      continue;
    }
    rules.push_back(std::move(spec));
    ++counts.Taken;
  }
  return counts;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open file " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const TJsonValue* Member(const TJsonValue& object, std::string_view name) {
  for (const TJsonMember& member : object.Members)
    if (member.Name == name) return &member.Value;
  return nullptr;
}

TCounts ReadCrawlers(const std::string& path, std::vector<TAgentRuleSpec>& rules, int& samples, int& missed) {
  const TJsonValue list = ParseJson(ReadFile(path));
  if (list.Kind != TJsonValue::TKind::Array) throw std::runtime_error(path + " holds no list");
  TCounts counts;
  for (const TJsonValue& entry : list.Items) {
    const TJsonValue* pattern = Member(entry, "pattern");
    if (!pattern || pattern->Kind != TJsonValue::TKind::String) throw std::runtime_error(path + ": an entry without pattern");
    TAgentRuleSpec spec;
    spec.Kind = TAgentRuleKind::Crawler;
    spec.Regex = pattern->Text;
    const std::string error = TUserAgentRules::RegexError(spec.Regex, false);
    if (!error.empty()) {
      std::cerr << "trevalo-agentdata: crawler pattern '" << spec.Regex << "': RE2 refuses it: " << error << "\n";
      ++counts.Refused;
      continue;
    }
    // The list's own samples must match their pattern.
    std::vector<std::string> notes;
    const TUserAgentRules one({spec}, {}, notes);
    if (const TJsonValue* instances = Member(entry, "instances"))
      for (const TJsonValue& sample : instances->Items) {
        ++samples;
        if (!one.ClassifyByScan(sample.Text).IsCrawler()) {
          ++missed;
          std::cerr << "trevalo-agentdata: crawler pattern '" << spec.Regex << "' does not match its sample '"
                    << sample.Text << "'\n";
        }
      }
    rules.push_back(std::move(spec));
    ++counts.Taken;
  }
  return counts;
}

}  // namespace

int main(int argc, char** argv) {
  std::string uap, crawlers, output, userTemplate;
  std::vector<std::string> sources;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--uap") uap = argv[i + 1];
    else if (option == "--crawlers") crawlers = argv[i + 1];
    else if (option == "--source") sources.push_back(argv[i + 1]);
    else if (option == "--output") output = argv[i + 1];
    else if (option == "--user-template") userTemplate = argv[i + 1];
  }
  if (uap.empty() || crawlers.empty() || output.empty()) {
    std::cerr << "usage: trevalo-agentdata --uap FILE --crawlers FILE [--source TEXT]... --output FILE\n";
    return 2;
  }
  try {
    std::vector<TAgentRuleSpec> rules;
    const YAML::Node root = YAML::LoadFile(uap);
    const TCounts browsers = ReadUapSection(root, "user_agent_parsers", TAgentRuleKind::Browser, "family_replacement",
                                            "v1_replacement", rules);
    const TCounts systems =
        ReadUapSection(root, "os_parsers", TAgentRuleKind::System, "os_replacement", "os_v1_replacement", rules);
    int samples = 0, missed = 0;
    const TCounts robots = ReadCrawlers(crawlers, rules, samples, missed);
    SaveAgentData(rules, sources, output);
    if (!userTemplate.empty()) SaveEmptyUserAgents(userTemplate);
    std::cerr << "trevalo-agentdata: " << output << ": " << browsers.Taken << " browser, " << systems.Taken
              << " system and " << robots.Taken << " crawler rules; RE2 refused " << browsers.Refused << ", "
              << systems.Refused << " and " << robots.Refused << "; " << samples - missed << " of " << samples
              << " crawler samples match their pattern\n";
  } catch (const std::exception& e) {
    std::cerr << "trevalo-agentdata: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
