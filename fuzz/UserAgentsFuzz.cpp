// The user's table of agent rules over arbitrary bytes, and the classification of arbitrary
// agents. The prefilter that spares most rules (required texts, wider patterns) must never
// change an answer: agents are classified through it and by the plain scan through every rule,
// over rules made of the table's own expressions and over the installed data.
//
// Input: byte 0 holds flags (bit 0: the rules made of the table ignore case), then the table
// file up to the first NUL byte, then the agents, one a line.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "agents/AgentClassifier.h"
#include "agents/AgentDataFile.h"
#include "agents/UserAgentRules.h"
#include "log/QelNewFile.h"

namespace {

using fuzzsupport::Fail;

// The installed data, made once, so that its rules are compiled once for the whole run. The
// user's rows are left out: they are applied the same way on both paths.
const TUserAgentRules& InstalledRules() {
  static const TUserAgentRules& rules = *[] {
    std::vector<std::string> notes;
    return new TUserAgentRules(LoadAgentData(std::string(TREVALO_FUZZ_AGENT_CONFIG) + "/agentdata.lac"), {}, notes);
  }();
  return rules;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty() && lines.size() < 16) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

// Data rules of each kind from the table's expressions, so that the prefilter meets patterns
// no data file holds.
std::vector<TAgentRuleSpec> RulesOf(const std::vector<TUserAgentRow>& rows, bool caseless) {
  std::vector<TAgentRuleSpec> rules;
  for (const TUserAgentRow& row : rows) {
    rules.push_back({TAgentRuleKind::Browser, row.Regex, caseless, row.Browser, row.Version});
    rules.push_back({TAgentRuleKind::System, row.Regex, caseless, row.System, ""});
    rules.push_back({TAgentRuleKind::Crawler, row.Regex, caseless, "", ""});
  }
  return rules;
}

void Compare(const TUserAgentRules& rules, std::string_view agent) {
  if (!(rules.Classify(agent) == rules.ClassifyByScan(agent))) Fail("the prefilter changed a classification");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t split = input.find('\0');
  const std::string_view table = input.substr(0, split);
  const std::vector<std::string_view> agents =
      Lines(split == std::string_view::npos ? std::string_view() : input.substr(split + 1));

  const std::string path = fuzzsupport::WorkDir() + UserAgentsFileName;
  fuzzsupport::WriteFile(path, table);
  std::vector<std::string> notes;
  std::vector<TUserAgentRow> rows;
  try {
    rows = LoadUserAgents(path, notes);
  } catch (const EAgentDataError&) {
    return 0;
  } catch (const EQelFileError&) {
    return 0;
  }

  const TUserAgentRules own(RulesOf(rows, (data[0] & 1) != 0), rows, notes);
  TAgentClassifier cache;
  cache.SetRules(std::make_shared<const TUserAgentRules>(RulesOf(rows, false), rows, notes));
  std::vector<const TAgentClassifier::TEntry*> entries;
  for (std::size_t i = 0; i < agents.size(); ++i) {
    Compare(own, agents[i]);
    // The scan through all the data costs milliseconds: one agent an input.
    if (i == 0) Compare(InstalledRules(), agents[i]);
    entries.push_back(&cache.Classify(agents[i]));
  }
  // Again, backwards, so that the cache is asked by its table rather than for the last agent.
  for (std::size_t i = agents.size(); i-- > 0;)
    if (&cache.Classify(std::string(agents[i])) != entries[i]) Fail("an agent was classified twice");
  return 0;
}
