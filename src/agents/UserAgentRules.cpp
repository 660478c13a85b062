#include "agents/UserAgentRules.h"

#include <re2/re2.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <mutex>

#include "agents/PatternPrefilter.h"

namespace {

constexpr int MaxGroups = 9;        // $1 .. $9
constexpr int MaxWiderGroups = 31;  // the wider patterns add groups of their own
constexpr std::size_t MaxCrawlerName = 60;

// Agents are byte strings of any encoding: Latin-1 lets every byte be one character, so that
// no agent fails to match for a byte that is no UTF-8; the patterns are ASCII.
RE2::Options RuleOptions(bool caseless) {
  RE2::Options options;
  options.set_encoding(RE2::Options::EncodingLatin1);
  options.set_case_sensitive(!caseless);
  options.set_log_errors(false);
  return options;
}

// Whether the expression matches anywhere in the agent. Without groups RE2 answers from its
// fast automaton.
bool Found(const RE2& regex, std::string_view agent) {
  return regex.Match(re2::StringPiece(agent.data(), agent.size()), 0, agent.size(), RE2::UNANCHORED, nullptr, 0);
}

}  // namespace

// The groups of a match: [0] the whole match, then the groups (empty when not taking part).
struct TUserAgentRules::TGroups {
  re2::StringPiece Part[MaxWiderGroups + 1];

  // Taking fewer groups is quicker: RE2 then needs fewer of its slower automata.
  bool Match(const RE2& regex, std::string_view agent, int wanted) {
    const int count = std::min({regex.NumberOfCapturingGroups() + 1, MaxWiderGroups + 1, wanted});
    for (auto& part : Part) part = re2::StringPiece();
    return regex.Match(re2::StringPiece(agent.data(), agent.size()), 0, agent.size(), RE2::UNANCHORED, Part, count);
  }
  std::string_view Group(int n) const { return std::string_view(Part[n].data(), Part[n].size()); }
};

namespace {

using TGroups = TUserAgentRules::TGroups;

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A replacement text with "$1" .. "$9" standing for the groups.
std::string Substitute(std::string_view replacement, const TGroups& groups) {
  std::string out;
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    if (replacement[i] == '$' && i + 1 < replacement.size() && replacement[i + 1] >= '1' && replacement[i + 1] <= '9') {
      out += groups.Group(replacement[i + 1] - '0');
      ++i;
    } else {
      out += replacement[i];
    }
  }
  return std::string(TrimSpaces(out));
}

// The highest group a replacement text names.
int HighestGroupIn(std::string_view text) {
  int highest = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '$' && text[i + 1] >= '1' && text[i + 1] <= '9') highest = std::max(highest, text[i + 1] - '0');
  return highest;
}

// The groups a data rule's answer takes: those its replacements name, and the ones that stand
// in for a replacement it lacks (the name is group 1, a browser's version group 2); a
// crawler's name is the whole match. The system's version is not asked for.
int GroupsNeeded(const TAgentRuleSpec& spec) {
  int highest = std::max(HighestGroupIn(spec.Name), spec.Name.empty() ? 1 : 0);
  if (spec.Kind == TAgentRuleKind::Browser)
    highest = std::max({highest, HighestGroupIn(spec.Version), spec.Version.empty() ? 2 : 0});
  if (spec.Kind == TAgentRuleKind::Crawler) highest = 0;
  return highest + 1;
}

// A replacement when the rule has one, else the group.
std::string ValueOf(const std::string& replacement, const TGroups& groups, int group) {
  return replacement.empty() ? std::string(TrimSpaces(groups.Group(group))) : Substitute(replacement, groups);
}

// A user's value: "-" for none.
std::string UserValue(const std::string& text, const TGroups& groups) {
  return text == "-" ? std::string() : Substitute(text, groups);
}

bool IsNameByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
         c == '.' || c == '_' || c == '!' || c == '-';
}

// A crawler's name is the text its pattern matched, up to the first character that cannot be
// part of a product name: "Googlebot/" gives "Googlebot", "(^| )sentry\/" gives "sentry",
// "Spider[\s\S]*spider\.com" gives "Spider".
std::string CrawlerName(std::string_view matched, std::string_view pattern) {
  std::size_t from = 0;
  while (from < matched.size() && !std::isalnum(static_cast<unsigned char>(matched[from])) &&
         static_cast<unsigned char>(matched[from]) < 0x80)
    ++from;
  std::size_t to = from;
  while (to < matched.size() && to - from < MaxCrawlerName && IsNameByte(matched[to])) ++to;
  std::string_view name = matched.substr(from, to - from);
  while (!name.empty() && std::string_view(" ._!-").find(name.back()) != std::string_view::npos) name.remove_suffix(1);
  if (name.empty()) name = pattern.substr(0, MaxCrawlerName);
  return std::string(name);
}

// IIS logs write the spaces of an agent as "+" ("Mozilla/5.0+(Windows+NT+10.0;+Win64..."): an
// agent with "+" and no space is classified as it was sent. Other agents stay as they are.
std::string AsSent(std::string_view agent) {
  std::string sent(agent);
  if (sent.find(' ') == std::string::npos)
    for (char& c : sent)
      if (c == '+') c = ' ';
  return sent;
}

}  // namespace

// A data rule, compiled when first needed, and then in its wider form where it has one
// (PatternPrefilter.h); the pattern itself only for an agent on which the two may differ.
struct TUserAgentRules::TRule {
  TAgentRuleSpec Spec;
  TPatternPrefilter Prefilter;
  int Groups = 1;  // the groups the rule's answer needs, the whole match included

  const RE2* Exact() { return Compile(FExactOnce, FExact, Spec.Regex); }
  const RE2* Test() { return Prefilter.Wider.empty() ? Exact() : Compile(FWiderOnce, FWider, Prefilter.Wider); }

private:
  const RE2* Compile(std::once_flag& once, std::unique_ptr<RE2>& regex, const std::string& pattern) {
    std::call_once(once, [&] {
      auto compiled = std::make_unique<RE2>(pattern, RuleOptions(Spec.Caseless));
      if (compiled->ok()) regex = std::move(compiled);
    });
    return regex.get();
  }

  std::once_flag FExactOnce, FWiderOnce;
  std::unique_ptr<RE2> FExact, FWider;  // null when it does not compile
};

struct TUserAgentRules::TUserRule {
  TUserAgentRow Row;
  std::unique_ptr<RE2> Regex;
};

struct TUserAgentRules::TDecided {
  bool Browser = false, System = false, Crawler = false;
  bool Of(TAgentRuleKind kind) const {
    return kind == TAgentRuleKind::Browser ? Browser : kind == TAgentRuleKind::System ? System : Crawler;
  }
};

TUserAgentRules::TUserAgentRules() = default;
TUserAgentRules::~TUserAgentRules() = default;

TUserAgentRules::TUserAgentRules(std::vector<TAgentRuleSpec> data, std::vector<TUserAgentRow> user,
                                 std::vector<std::string>& notes) {
  std::stable_sort(data.begin(), data.end(), [](const auto& a, const auto& b) { return a.Kind < b.Kind; });
  FRules.reserve(data.size());
  for (std::size_t k = 0; k <= 3; ++k) FKindStart[k] = static_cast<std::uint32_t>(data.size());
  for (TAgentRuleSpec& spec : data) {
    const auto id = static_cast<std::uint32_t>(FRules.size());
    const auto kind = static_cast<std::size_t>(spec.Kind);
    FKindStart[kind] = std::min(FKindStart[kind], id);
    auto rule = std::make_unique<TRule>();
    rule->Prefilter = PrefilterOf(spec.Regex, spec.Caseless);
    if (rule->Prefilter.Texts.empty()) FUnindexed[kind].push_back(id);
    for (const std::string& text : rule->Prefilter.Texts) FIndex.Add(text, rule->Prefilter.Caseless, id);
    rule->Groups = GroupsNeeded(spec);
    rule->Spec = std::move(spec);
    FRules.push_back(std::move(rule));
  }
  // A kind without rules starts where the next one does.
  for (int k = 2; k >= 0; --k) FKindStart[k] = std::min(FKindStart[k], FKindStart[k + 1]);

  for (TUserAgentRow& row : user) {
    auto regex = std::make_unique<RE2>(row.Regex, RuleOptions(false));
    if (!regex->ok()) {
      notes.push_back(row.Where + ": the regular expression '" + row.Regex + "' is not valid (" + regex->error() +
                      "); the row is skipped");
      continue;
    }
    FUser.push_back({std::move(row), std::move(regex)});
  }
}

std::shared_ptr<const TUserAgentRules> TUserAgentRules::Load(const std::string& configDir,
                                                              std::vector<std::string>& notes) {
  const std::filesystem::path dir(configDir);
  std::vector<TAgentRuleSpec> data = LoadAgentData((dir / AgentDataFileName).string());
  std::vector<TUserAgentRow> user = LoadUserAgents((dir / UserAgentsFileName).string(), notes);
  return std::make_shared<const TUserAgentRules>(std::move(data), std::move(user), notes);
}

std::string TUserAgentRules::RegexError(const std::string& pattern, bool caseless) {
  const RE2 regex(pattern, RuleOptions(caseless));
  return regex.ok() ? std::string() : regex.error();
}

std::size_t TUserAgentRules::RuleCount(TAgentRuleKind kind) const {
  const auto k = static_cast<std::size_t>(kind);
  return FKindStart[k + 1] - FKindStart[k];
}

std::size_t TUserAgentRules::UserRowCount() const { return FUser.size(); }

std::size_t TUserAgentRules::UnindexedCount(TAgentRuleKind kind) const {
  return FUnindexed[static_cast<std::size_t>(kind)].size();
}

TUserAgentRules::TDecided TUserAgentRules::ApplyUserRows(std::string_view agent, TUserAgentClass& result) const {
  TDecided decided;
  TGroups groups;
  for (const TUserRule& rule : FUser) {
    const bool browser = !decided.Browser && !rule.Row.Browser.empty();
    const bool system = !decided.System && !rule.Row.System.empty();
    const bool crawler = !decided.Crawler && !rule.Row.Crawler.empty();
    if (!(browser || system || crawler) || !groups.Match(*rule.Regex, agent, MaxGroups + 1)) continue;
    if (browser) {
      result.Browser = UserValue(rule.Row.Browser, groups);
      result.BrowserVersion = result.Browser.empty() ? std::string() : UserValue(rule.Row.Version, groups);
      decided.Browser = true;
    }
    if (system) {
      result.System = UserValue(rule.Row.System, groups);
      decided.System = true;
    }
    if (crawler) {
      result.Crawler = UserValue(rule.Row.Crawler, groups);
      decided.Crawler = true;
    }
  }
  return decided;
}

// Whether the rule matches the agent; groups then hold the groups of its answer.
bool TUserAgentRules::Matches(std::uint32_t rule, std::string_view agent, TGroups& groups) const {
  TRule& r = *FRules[rule];
  const RE2* test = r.Test();
  if (!test || !Found(*test, agent)) return false;
  if (!r.Prefilter.Wider.empty()) {
    TGroups wide;
    wide.Match(*test, agent, r.Prefilter.WiderGroupCount + 1);
    const auto within = [&](const TPatternPrefilter::TBound& b) { return wide.Part[b.Group].size() <= b.Max; };
    if (std::all_of(r.Prefilter.Bounds.begin(), r.Prefilter.Bounds.end(), within)) {
      for (auto& part : groups.Part) part = re2::StringPiece();
      for (std::size_t n = 0; n < r.Prefilter.WiderGroup.size() && n <= MaxGroups; ++n)
        groups.Part[n] = wide.Part[r.Prefilter.WiderGroup[n]];
      return true;
    }
    // A bound was passed: only the pattern itself can tell.
  }
  const RE2* exact = r.Exact();
  return exact && groups.Match(*exact, agent, r.Groups);
}

// The first rule of the kind that matches, among the rules whose texts the agent holds
// (found, ascending) and those that require none.
std::uint32_t TUserAgentRules::FirstIndexed(TAgentRuleKind kind, std::string_view agent,
                                            const std::vector<std::uint32_t>& found, TGroups& groups) const {
  const auto k = static_cast<std::size_t>(kind);
  auto next = std::lower_bound(found.begin(), found.end(), FKindStart[k]);
  const auto end = std::lower_bound(next, found.end(), FKindStart[k + 1]);
  auto always = FUnindexed[k].begin();
  while (next != end || always != FUnindexed[k].end()) {
    std::uint32_t rule;
    if (always == FUnindexed[k].end() || (next != end && *next < *always)) {
      rule = *next++;
    } else {
      rule = *always++;
      if (next != end && *next == rule) ++next;
    }
    if (Matches(rule, agent, groups)) return rule;
  }
  return NoRule;
}

std::uint32_t TUserAgentRules::FirstScanned(TAgentRuleKind kind, std::string_view agent, TGroups& groups) const {
  const auto k = static_cast<std::size_t>(kind);
  for (std::uint32_t rule = FKindStart[k]; rule < FKindStart[k + 1]; ++rule)
    if (Matches(rule, agent, groups)) return rule;
  return NoRule;
}

void TUserAgentRules::Name(std::uint32_t rule, const TGroups& groups, TUserAgentClass& result) const {
  const TAgentRuleSpec& spec = FRules[rule]->Spec;
  switch (spec.Kind) {
    case TAgentRuleKind::Browser:
      result.Browser = ValueOf(spec.Name, groups, 1);
      result.BrowserVersion = result.Browser.empty() ? std::string() : ValueOf(spec.Version, groups, 2);
      break;
    case TAgentRuleKind::System: result.System = ValueOf(spec.Name, groups, 1); break;
    case TAgentRuleKind::Crawler: result.Crawler = CrawlerName(groups.Group(0), spec.Regex); break;
  }
}

// A crawler pattern that matched in an address ("yandex\.com\/bots") names the crawler by its
// host; the browser family uap-core gives such agents ("YandexBot") is the name people know,
// where it is a plain name.
void TUserAgentRules::PreferFamilyToHost(bool crawlerFromData, TUserAgentClass& result) {
  if (!crawlerFromData || result.Crawler.find('.') == std::string::npos || result.Browser.empty() ||
      result.Browser.find_first_of("/.") != std::string::npos)
    return;
  result.Crawler = result.Browser;
}

TUserAgentClass TUserAgentRules::Classify(std::string_view written) const {
  const std::string sent = AsSent(written);
  const std::string_view agent = sent;
  TUserAgentClass result;
  const TDecided decided = ApplyUserRows(agent, result);
  std::vector<std::uint32_t> found;
  FIndex.Find(agent, found);
  TGroups groups;
  for (TAgentRuleKind kind : {TAgentRuleKind::Browser, TAgentRuleKind::System, TAgentRuleKind::Crawler}) {
    if (decided.Of(kind)) continue;
    const std::uint32_t rule = FirstIndexed(kind, agent, found, groups);
    if (rule != NoRule) Name(rule, groups, result);
  }
  PreferFamilyToHost(!decided.Crawler, result);
  return result;
}

TUserAgentClass TUserAgentRules::ClassifyByScan(std::string_view written) const {
  const std::string sent = AsSent(written);
  const std::string_view agent = sent;
  TUserAgentClass result;
  const TDecided decided = ApplyUserRows(agent, result);
  TGroups groups;
  for (TAgentRuleKind kind : {TAgentRuleKind::Browser, TAgentRuleKind::System, TAgentRuleKind::Crawler}) {
    if (decided.Of(kind)) continue;
    const std::uint32_t rule = FirstScanned(kind, agent, groups);
    if (rule != NoRule) Name(rule, groups, result);
  }
  PreferFamilyToHost(!decided.Crawler, result);
  return result;
}
