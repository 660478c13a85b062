#include "agents/AgentClassifier.h"

#include "agents/AgentDataFile.h"
#include "agents/UserAgentRules.h"

TAgentClassifier::TAgentClassifier() : FRules(std::make_shared<const TUserAgentRules>()) {}
TAgentClassifier::~TAgentClassifier() = default;

void TAgentClassifier::SetRules(std::shared_ptr<const TUserAgentRules> rules) {
  FRules = std::move(rules);
  FEntries.clear();
  FIds.clear();
  FLastAgent = nullptr;
  FLast = nullptr;
  FDir.clear();
  FStamps.clear();
}

TAgentClassifier::TStamp TAgentClassifier::StampOf(const std::filesystem::path& path) {
  std::error_code ec;
  TStamp stamp;
  stamp.Size = std::filesystem::file_size(path, ec);
  if (ec) return TStamp();
  stamp.Time = std::filesystem::last_write_time(path, ec);
  stamp.Exists = !ec;
  return stamp;
}

void TAgentClassifier::Refresh(const std::string& configDir, std::vector<std::string>& notes) {
  const std::filesystem::path dir(configDir);
  const std::vector<TStamp> stamps = {StampOf(dir / AgentDataFileName), StampOf(dir / UserAgentsFileName)};
  if (!FDir.empty() && FDir == configDir && stamps == FStamps) return;
  SetRules(std::make_shared<const TUserAgentRules>());
  SetRules(TUserAgentRules::Load(configDir, notes));
  FDir = configDir;
  FStamps = stamps;
}

const TAgentClassifier::TEntry& TAgentClassifier::Classify(std::string_view agent) {
  if (FLast != nullptr && agent == *FLastAgent) return *FLast;
  auto found = FIds.find(agent);
  if (found == FIds.end()) {
    const auto id = static_cast<std::uint32_t>(FEntries.size());
    FEntries.push_back({id, FRules->Classify(agent)});
    found = FIds.emplace(std::string(agent), id).first;
  }
  FLastAgent = &found->first;
  FLast = &FEntries[found->second];
  return *FLast;
}
