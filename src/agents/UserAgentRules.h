#pragma once
// The rules that name a user agent: the user's rows first, then the data's browser, system
// and crawler rules (AgentDataFile.h), matched with RE2 as uap-core prescribes: for each of
// browser, system and crawler the first rule in order that matches anywhere in the agent
// decides.
//
// Making the rules compiles only the user's rows; the data's rules are indexed by texts they
// require (PatternPrefilter.h), and a data rule is compiled the first time an agent holds one of
// its texts, so that a run pays for the rules its agents need (a few dozen in a typical log,
// against a quarter of a second for compiling them all). Classify then costs a few
// microseconds per agent; callers keep its answers (TAgentClassifier). Once made the rules do
// not change and may be shared between threads: the lazy compilation is guarded.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "agents/AgentDataFile.h"
#include "agents/LiteralIndex.h"
#include "agents/UserAgentClass.h"

class TUserAgentRules {
public:
  TUserAgentRules();  // no rules: nothing is named
  // A user row whose expression RE2 refuses is left out and named in notes.
  TUserAgentRules(std::vector<TAgentRuleSpec> data, std::vector<TUserAgentRow> user, std::vector<std::string>& notes);
  ~TUserAgentRules();
  TUserAgentRules(const TUserAgentRules&) = delete;
  TUserAgentRules& operator=(const TUserAgentRules&) = delete;

  // The data table and the user's table of a configuration folder. Raises EAgentDataError
  // for a damaged data file or a user table that does not load, EQelFileError for a file that
  // cannot be read.
  static std::shared_ptr<const TUserAgentRules> Load(const std::string& configDir, std::vector<std::string>& notes);

  // An agent as IIS logs write it, "+" for every space, is taken as it was sent.
  TUserAgentClass Classify(std::string_view agent) const;
  // The same answer by trying every rule in order, without the index: the reference that the
  // tests and the fuzz target hold Classify to.
  TUserAgentClass ClassifyByScan(std::string_view agent) const;

  // Why RE2 refuses a pattern under the options the rules are matched with; empty when it
  // takes it.
  static std::string RegexError(const std::string& pattern, bool caseless);

  std::size_t RuleCount(TAgentRuleKind kind) const;
  // Rules without a required text, tried on every agent.
  std::size_t UnindexedCount(TAgentRuleKind kind) const;
  std::size_t UserRowCount() const;

  struct TGroups;  // the groups of a match

private:
  struct TRule;
  struct TUserRule;
  struct TDecided;
  static constexpr std::uint32_t NoRule = 0xFFFFFFFF;

  TDecided ApplyUserRows(std::string_view agent, TUserAgentClass& result) const;
  std::uint32_t FirstIndexed(TAgentRuleKind kind, std::string_view agent, const std::vector<std::uint32_t>& found,
                             TGroups& groups) const;
  std::uint32_t FirstScanned(TAgentRuleKind kind, std::string_view agent, TGroups& groups) const;
  bool Matches(std::uint32_t rule, std::string_view agent, TGroups& groups) const;
  void Name(std::uint32_t rule, const TGroups& groups, TUserAgentClass& result) const;
  static void PreferFamilyToHost(bool crawlerFromData, TUserAgentClass& result);

  // Data rules: browsers, then systems, then crawlers, each in the data's order.
  std::vector<std::unique_ptr<TRule>> FRules;
  std::array<std::uint32_t, 4> FKindStart{};  // first rule of each kind; [3]: the end
  std::array<std::vector<std::uint32_t>, 3> FUnindexed;
  TLiteralIndex FIndex;
  std::vector<TUserRule> FUser;
};
