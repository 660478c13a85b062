#include "config/SettingsFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "base/AsciiText.h"
#include "base/ReplaceFile.h"
#include "config/JsonText.h"

namespace {

struct TNoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return LessTextAscii(a, b); }
};

using TValues = std::map<std::string, TRegValue, TNoCaseLess>;

// The key path without empty parts: "\A\\B\" is "A\B"; the root is "".
std::vector<std::string> KeyParts(const std::string& keyPath) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : keyPath) {
    if (c != '\\') {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(std::move(part));
      part.clear();
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

std::string NormalKey(const std::string& keyPath) {
  std::string key;
  for (const auto& part : KeyParts(keyPath)) {
    if (!key.empty()) key += '\\';
    key += part;
  }
  return key;
}

std::string SystemMessage(int error) { return std::strerror(error); }

// Every key is stored with all the keys above it, so a key of many parts costs space and time
// with the square of its length; no key of the program comes near these limits.
constexpr std::size_t MaxKeyParts = 32;
constexpr std::size_t MaxKeyLength = 1024;

// Empty when the normalised key path is within the limits, else why it is not.
std::string KeyPathFault(const std::string& key) {
  if (key.size() <= MaxKeyLength && static_cast<std::size_t>(std::count(key.begin(), key.end(), '\\')) < MaxKeyParts)
    return {};
  const std::string shown = key.size() > 60 ? key.substr(0, 60) + "..." : key;
  return "the key \"" + shown + "\" has more than " + std::to_string(MaxKeyParts) + " parts or " +
         std::to_string(MaxKeyLength) + " characters";
}

}  // namespace

struct TSettingsFile::TContent {
  std::map<std::string, TValues, TNoCaseLess> Keys;

  // Adds the key and every key above it; existing keys keep their spelling, and so do the
  // parts of a new key's path that name existing keys.
  void AddKey(const std::string& keyPath) {
    std::string path;
    for (const auto& part : KeyParts(keyPath)) {
      if (!path.empty()) path += '\\';
      path += part;
      path = Keys.try_emplace(path).first->first;
    }
  }
};

namespace {

std::string ReadWholeFile(const std::string& path, bool& exists) {
  exists = false;
  // Not blocking, so that a named pipe cannot hold the program; only a plain file is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    throw ESettingsError("cannot read the settings file \"" + path + "\": " + SystemMessage(errno));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    throw ESettingsError("cannot read the settings file \"" + path + "\": " + SystemMessage(error));
  }
  exists = true;
  std::string text;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      throw ESettingsError("cannot read the settings file \"" + path + "\": " + SystemMessage(error));
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return text;
}

std::int32_t ToInt32(const std::string& number, bool& ok) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  ok = error == std::errc() && end == number.data() + number.size();
  return value;
}

// Raised for a file that is valid JSON but not a settings file; turned into the corrupt-file error.
class EBadSettings : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

TRegValue ValueOf(const TJsonValue& json, const std::string& key, const std::string& name) {
  if (json.Kind == TJsonValue::TKind::String) return json.Text;
  if (json.Kind == TJsonValue::TKind::Number) {
    bool ok = false;
    const std::int32_t value = ToInt32(json.Text, ok);
    if (ok) return value;
  }
  throw EBadSettings("the value \"" + name + "\" of the key \"" + key +
                     "\" is neither a text nor a 32-bit integer");
}

bool WhiteSpaceOnly(const std::string& text) {
  for (const char c : text)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  return true;
}

void AppendValue(std::string& out, const TRegValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    AppendJsonString(out, *text);
  } else {
    out += std::to_string(std::get<std::int32_t>(value));
  }
}

}  // namespace

TSettingsFile::TSettingsFile(std::string path) : FPath(std::move(path)) {}

std::string TSettingsFile::DefaultPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
      const passwd* entry = ::getpwuid(::getuid());
      home = entry ? entry->pw_dir : nullptr;
    }
    if (!home || !home[0]) throw ESettingsError("cannot find the home folder for the settings file");
    base = std::string(home) + "/.config";
  }
  if (base.back() != '/') base += '/';
  return base + "trevalo/settings.json";
}

TSettingsFile::TContent TSettingsFile::Load() const {
  bool exists = false;
  const std::string text = ReadWholeFile(FPath, exists);
  TContent content;
  content.Keys.try_emplace(std::string());  // the root always exists
  // An empty file holds nothing that could be lost by writing over it.
  if (!exists || WhiteSpaceOnly(text)) return content;
  try {
    const TJsonValue root = ParseJson(text);
    if (root.Kind != TJsonValue::TKind::Object) throw EBadSettings("the file is no JSON object");
    for (const auto& [member, keys] : root.Members) {
      if (member != "keys") continue;  // room for later additions
      if (keys.Kind != TJsonValue::TKind::Object) throw EBadSettings("\"keys\" is no JSON object");
      for (const auto& [keyPath, values] : keys.Members) {
        if (values.Kind != TJsonValue::TKind::Object)
          throw EBadSettings("the key \"" + keyPath + "\" is no JSON object");
        const std::string key = NormalKey(keyPath);
        if (const std::string fault = KeyPathFault(key); !fault.empty()) throw EBadSettings(fault);
        content.AddKey(key);
        TValues& stored = content.Keys[key];
        for (const auto& [name, value] : values.Members)
          if (!stored.emplace(name, ValueOf(value, keyPath, name)).second)
            throw EBadSettings("the value \"" + name + "\" of the key \"" + keyPath + "\" appears twice");
      }
    }
  } catch (const std::exception& e) {
    throw ESettingsError("the settings file \"" + FPath + "\" is damaged (" + e.what() +
                         "); it is left unchanged until it is mended or removed");
  }
  return content;
}

void TSettingsFile::Save(const TContent& content) const {
  std::string text = "{\n  \"keys\": {";
  bool firstKey = true;
  for (const auto& [key, values] : content.Keys) {
    if (key.empty() && values.empty()) continue;
    text += firstKey ? "\n    " : ",\n    ";
    firstKey = false;
    AppendJsonString(text, key);
    text += ": {";
    bool firstValue = true;
    for (const auto& [name, value] : values) {
      text += firstValue ? "\n      " : ",\n      ";
      firstValue = false;
      AppendJsonString(text, name);
      text += ": ";
      AppendValue(text, value);
    }
    text += firstValue ? "}" : "\n    }";
  }
  text += "\n  }\n}\n";

  const auto fail = [this](int error) -> void {
    throw ESettingsError("cannot write the settings file \"" + FPath + "\": " + SystemMessage(error));
  };
  // The folder may not exist yet; a link's target is replaced, the link stays. The settings
  // are the user's own: a new file is readable by nobody else.
  std::error_code ec;
  const std::filesystem::path path(FPath);
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) fail(ec.value());
  if (const int error = ReplaceFileContent(FPath, text, 0600); error != 0) fail(error);
}

bool TSettingsFile::KeyExists(const std::string& keyPath) {
  return Load().Keys.count(NormalKey(keyPath)) > 0;
}

void TSettingsFile::CreateKey(const std::string& keyPath) {
  TContent content = Load();
  const std::string key = NormalKey(keyPath);
  if (content.Keys.count(key) > 0) return;
  if (const std::string fault = KeyPathFault(key); !fault.empty())
    throw ESettingsError("cannot create a key in the settings file \"" + FPath + "\": " + fault);
  content.AddKey(key);
  Save(content);
}

std::optional<TRegValue> TSettingsFile::ReadValue(const std::string& keyPath, const std::string& name) {
  const TContent content = Load();
  const auto key = content.Keys.find(NormalKey(keyPath));
  if (key == content.Keys.end()) return std::nullopt;
  const auto value = key->second.find(name);
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

bool TSettingsFile::WriteValue(const std::string& keyPath, const std::string& name, const TRegValue& value) {
  TContent content = Load();
  const auto key = content.Keys.find(NormalKey(keyPath));
  if (key == content.Keys.end()) return false;
  // A value keeps the spelling of its first name, as the keys do.
  auto [it, added] = key->second.try_emplace(name, value);
  if (!added) it->second = value;
  Save(content);
  return true;
}
