#pragma once
// The classification of each distinct user agent, worked out once and kept: a line costs one
// hash lookup of its agent's text, and a line from the same agent as the line before only a
// comparison. The kept entries stay valid, at the same address, until the rules change.
//
// Rules come from a configuration folder (TUserAgentRules::Load) and are loaded again only
// when one of its two files changed since, so that the entries of earlier runs are kept too.
// Memory grows with the distinct agents met (the text and its classification, some 250 bytes
// each).
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "agents/UserAgentClass.h"

class TUserAgentRules;

class TAgentClassifier {
public:
  struct TEntry {
    std::uint32_t Id = 0;  // 0, 1, 2 ... in the order the agents were first met
    TUserAgentClass Class;
  };

  TAgentClassifier();  // no rules: nothing is named until Refresh or SetRules
  ~TAgentClassifier();
  TAgentClassifier(const TAgentClassifier&) = delete;
  TAgentClassifier& operator=(const TAgentClassifier&) = delete;

  // Forgets every entry.
  void SetRules(std::shared_ptr<const TUserAgentRules> rules);
  // Loads the folder's rules unless those in use came from the same files, unchanged; the
  // notes of the user's table are appended when it is read. Raises as TUserAgentRules::Load,
  // and then keeps nothing of the folder, so that the next call tries again.
  void Refresh(const std::string& configDir, std::vector<std::string>& notes);

  const TEntry& Classify(std::string_view agent);
  std::size_t Size() const { return FEntries.size(); }
  const TUserAgentRules& Rules() const { return *FRules; }

private:
  struct THash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
  };
  struct TStamp {
    bool Exists = false;
    std::uintmax_t Size = 0;
    std::filesystem::file_time_type Time{};
    bool operator==(const TStamp&) const = default;
  };
  static TStamp StampOf(const std::filesystem::path& path);

  std::shared_ptr<const TUserAgentRules> FRules;
  std::deque<TEntry> FEntries;
  std::unordered_map<std::string, std::uint32_t, THash, std::equal_to<>> FIds;
  const std::string* FLastAgent = nullptr;  // key of the entry met last
  const TEntry* FLast = nullptr;
  std::string FDir;  // folder of the rules in use; empty: none loaded from a folder
  std::vector<TStamp> FStamps;
};
