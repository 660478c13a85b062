#pragma once
// The settings store kept in one small JSON file per user:
//
//   {"keys": {"Software": {}, "Software\\Orvanta\\Trevalo": {"MainPage": "/", "TimeArea": 5}}}
//
// Every key is listed with its full path, parents included; a key path has at most 32 parts
// and 1024 characters. Values are strings or 32-bit integers. Key paths and value names compare without letter case (A to Z) and keep the
// spelling they were created with. The file is read anew by every operation, so several
// objects on one file always see each other's writes, and it is replaced as a whole through
// a temporary file in the same folder. A file that cannot be understood raises ESettingsError
// naming it on every operation; it is never overwritten.
#include <string>

#include "platform/SettingsStore.h"

class TSettingsFile : public ISettingsStore {
public:
  explicit TSettingsFile(std::string path);

  // $XDG_CONFIG_HOME/trevalo/settings.json, else ~/.config/trevalo/settings.json.
  static std::string DefaultPath();

  const std::string& Path() const { return FPath; }

  bool KeyExists(const std::string& keyPath) override;
  void CreateKey(const std::string& keyPath) override;
  std::optional<TRegValue> ReadValue(const std::string& keyPath, const std::string& name) override;
  bool WriteValue(const std::string& keyPath, const std::string& name, const TRegValue& value) override;

private:
  struct TContent;
  TContent Load() const;
  void Save(const TContent& content) const;

  std::string FPath;
};
