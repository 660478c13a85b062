#include "windows/QelVersionInfo.h"

#include <cstdio>

#ifndef TREVALO_VERSION
#define TREVALO_VERSION "0.0"
#endif

namespace {

// US English, UTF-8.
constexpr TVersionTranslation ProgramTranslation{0x0409, 0xFDE9};

std::string Prefix(const TVersionTranslation& translation) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%04X%04X", translation.Language, translation.CodePage);
  return std::string("\\StringFileInfo\\") + hex + "\\";
}

TFixedFileInfo ParseVersion(const std::string& text) {
  std::uint16_t parts[4] = {0, 0, 0, 0};
  std::size_t part = 0;
  for (char c : text) {
    if (c == '.') {
      if (++part == 4) break;
    } else if (c >= '0' && c <= '9') {
      parts[part] = static_cast<std::uint16_t>(parts[part] * 10 + (c - '0'));
    }
  }
  return {parts[0], parts[1], parts[2], parts[3]};
}

}  // namespace

const char* const TQELVersionInfo::StandardNames[8] = {"CompanyName",    "FileDescription",  "FileVersion",
                                                       "InternalName",   "LegalCopyright",   "OriginalFilename",
                                                       "Productname",    "ProductVersion"};

TVersionBlock TQELVersionInfo::ProgramBlock() {
  const std::string version = TREVALO_VERSION;
  TVersionBlock block;
  block.Root = ParseVersion(version);
  block.Translation = std::vector<TVersionTranslation>{ProgramTranslation};
  const std::string prefix = Prefix(ProgramTranslation);
  const std::pair<const char*, std::string> strings[] = {
      {"CompanyName", "Trevalo developers"},
      {"FileDescription", "Trevalo, an analyser of web-server access logs"},
      {"FileVersion", version},
      {"InternalName", "trevalo"},
      {"LegalCopyright", "Copyright (C) Trevalo developers"},
      {"OriginalFilename", "trevalo"},
      {"Productname", "Trevalo"},
      {"ProductVersion", version},
  };
  for (const auto& [name, value] : strings) block.Strings[prefix + name] = value + '\0';
  return block;
}

void TQELVersionInfo::Load() { Load(ProgramBlock()); }

void TQELVersionInfo::Load(const TVersionBlock& block) {
  FLoaded = false;
  FBlock = {};
  FTranslations.clear();
  FStringPrefix.clear();
  if (!block.Root) throw EQELVersionInfo("VerQueryValue: Error reading Root");
  if (!block.Translation) throw EQELVersionInfo("VerQueryValue: Error reading Translation");
  if (block.Translation->empty()) throw EQELVersionInfo("Translation array smaller than 1");
  FBlock = block;
  FFixedFileInfo = *block.Root;
  FTranslations = *block.Translation;
  FStringPrefix = Prefix(FTranslations.front());
  FLoaded = true;
}

std::string TQELVersionInfo::StringValue(const std::string& name) const {
  if (!FLoaded) return {};
  const auto found = FBlock.Strings.find(FStringPrefix + name);
  if (found == FBlock.Strings.end()) return {};
  std::string value = found->second;
  if (!value.empty() && value.back() == '\0') value.pop_back();
  return value;
}

std::string TQELVersionInfo::StandardString(int index) const {
  if (index < 0 || index >= 8) return {};
  return StringValue(StandardNames[index]);
}
