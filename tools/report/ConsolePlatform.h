#pragma once
// The platform as the report tool sees it: boxes become lines on standard error, progress
// is shown on a terminal only, and the settings store is read but never written.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/SilentDialogs.h"
#include "platform/RunHost.h"
#include "platform/SettingsStore.h"

// Nobody answers, but the boxes' texts are printed.
class TConsoleDialogs : public TSilentDialogs {
public:
  void ShowWarning(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
};

// A percentage on standard error when it is a terminal and the run lasts more than a second.
class TConsoleRunHost : public IRunHost {
public:
  TConsoleRunHost();
  ~TConsoleRunHost() override;
  void SetProgressRange(std::int64_t minimum, std::int64_t maximum) override;
  void SetProgressPosition(std::int64_t position) override;
  void ProcessPendingEvents() override {}
  std::uint64_t TickCount() override;

private:
  bool FTerminal;
  std::int64_t FMaximum = 0;
  std::uint64_t FStart;
  bool FShown = false;
};

// Reads through to the user's store, with some values of the main key replaced; every
// write is dropped, so the tool never changes the user's settings.
class TReadOnlySettings : public ISettingsStore {
public:
  explicit TReadOnlySettings(ISettingsStore& base) : FBase(base) {}
  void Override(const std::string& name, TRegValue value) { FOverrides[name] = std::move(value); }

  bool KeyExists(const std::string& keyPath) override;
  void CreateKey(const std::string&) override {}
  std::optional<TRegValue> ReadValue(const std::string& keyPath, const std::string& name) override;
  bool WriteValue(const std::string&, const std::string&, const TRegValue&) override { return false; }

private:
  ISettingsStore& FBase;
  std::map<std::string, TRegValue> FOverrides;
};
