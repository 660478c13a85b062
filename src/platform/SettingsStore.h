#pragma once
// The per-user settings store with registry semantics: keys named by backslash-separated
// paths, opened without being created, created with all keys above them; string and 32-bit
// integer values whose names may themselves contain a backslash ("\DirConfig").
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>

class ESettingsError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

using TRegValue = std::variant<std::string, std::int32_t>;

class ISettingsStore {
public:
  virtual ~ISettingsStore() = default;
  virtual bool KeyExists(const std::string& keyPath) = 0;
  virtual void CreateKey(const std::string& keyPath) = 0;  // with all missing keys above it
  // Nothing when the key or the value does not exist.
  virtual std::optional<TRegValue> ReadValue(const std::string& keyPath, const std::string& name) = 0;
  // False (and nothing stored) when the key does not exist.
  virtual bool WriteValue(const std::string& keyPath, const std::string& name, const TRegValue& value) = 0;
};
