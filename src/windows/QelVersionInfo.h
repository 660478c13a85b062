#pragma once
// Version information of the program: a block of named strings under a language and code
// page, and the fixed version numbers. The program's own block is compiled in.
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class EQELVersionInfo : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct TVersionTranslation {
  std::uint16_t Language = 0;
  std::uint16_t CodePage = 0;
};

struct TFixedFileInfo {
  std::uint16_t Major = 0, Minor = 0, Release = 0, Build = 0;
};

// A version block as it is queried: the root, the translation list and the strings by their
// full path ("\StringFileInfo\040904E4\ProductVersion"). Values may end in a zero character.
struct TVersionBlock {
  std::optional<TFixedFileInfo> Root;
  std::optional<std::vector<TVersionTranslation>> Translation;
  std::map<std::string, std::string> Strings;
};

class TQELVersionInfo {
public:
  // Names of the standard strings, by index 0 to 7.
  static const char* const StandardNames[8];

  // The program's own version block.
  static TVersionBlock ProgramBlock();

  // Loads the program's own block.
  void Load();
  // Loads a block; raises EQELVersionInfo when it has no root or no translation, and leaves
  // the information unloaded.
  void Load(const TVersionBlock& block);

  bool Loaded() const { return FLoaded; }
  const TFixedFileInfo& FixedFileInfo() const { return FFixedFileInfo; }
  const std::vector<TVersionTranslation>& Translations() const { return FTranslations; }
  // "\StringFileInfo\" + language and code page in 4 hex digits each + "\".
  const std::string& StringPrefix() const { return FStringPrefix; }

  // A value of the string block without its terminating zero; empty when not loaded or
  // missing.
  std::string StringValue(const std::string& name) const;
  // The standard string of that index (0 to 7); empty for another index.
  std::string StandardString(int index) const;

private:
  TVersionBlock FBlock;
  TFixedFileInfo FFixedFileInfo;
  std::vector<TVersionTranslation> FTranslations;
  std::string FStringPrefix;
  bool FLoaded = false;
};
