#include "config/SettingsFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/TestSupport.h"

using testsupport::ReadBytes;
using testsupport::TTempDir;
using testsupport::WriteBytes;

namespace {

const std::string MainKey = "Software\\Orvanta\\Trevalo";

std::optional<TRegValue> Text(const std::string& s) { return TRegValue(s); }
std::optional<TRegValue> Int(std::int32_t n) { return TRegValue(n); }

int FileCount(const std::filesystem::path& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(SettingsFile, KeysAndValuesRoundTripThroughTheFile) {
  TTempDir dir;
  const std::string path = dir.File("sub/settings.json");  // the folder is made on first write
  {
    TSettingsFile store(path);
    EXPECT_FALSE(store.KeyExists(MainKey));
    store.CreateKey(MainKey);
    EXPECT_TRUE(store.KeyExists("Software"));
    EXPECT_TRUE(store.KeyExists("Software\\Orvanta"));
    EXPECT_TRUE(store.WriteValue(MainKey, "MainPage", std::string("/index.html")));
    EXPECT_TRUE(store.WriteValue(MainKey, "TimeArea", std::int32_t{30}));
    EXPECT_TRUE(store.WriteValue(MainKey, "Lowest", std::int32_t{-2147483647 - 1}));
    EXPECT_TRUE(store.WriteValue(MainKey, "Odd", std::string("a\"b\\c\r\n\t\x01 \xc3\xa9 end")));
    EXPECT_TRUE(store.WriteValue(MainKey, "Number text", std::string("42")));
  }
  TSettingsFile again(path);
  EXPECT_EQ(again.ReadValue(MainKey, "MainPage"), Text("/index.html"));
  EXPECT_EQ(again.ReadValue(MainKey, "TimeArea"), Int(30));
  EXPECT_EQ(again.ReadValue(MainKey, "Lowest"), Int(-2147483647 - 1));
  EXPECT_EQ(again.ReadValue(MainKey, "Odd"), Text("a\"b\\c\r\n\t\x01 \xc3\xa9 end"));
  EXPECT_EQ(again.ReadValue(MainKey, "Number text"), Text("42"));  // a text stays a text
  EXPECT_EQ(again.ReadValue(MainKey, "Missing"), std::nullopt);
  EXPECT_EQ(FileCount(dir.Path() / "sub"), 1) << "no temporary file is left behind";
}

TEST(SettingsFile, KeysAndValueNamesIgnoreLetterCaseAndKeepTheirFirstSpelling) {
  TTempDir dir;
  TSettingsFile store(dir.File("settings.json"));
  store.CreateKey(MainKey);
  store.CreateKey("SOFTWARE\\orvanta\\TREVALO\\Sub");
  EXPECT_TRUE(store.KeyExists("software\\ORVANTA\\trevalo"));
  EXPECT_TRUE(store.WriteValue("software\\orvanta\\trevalo", "MainPage", std::string("a")));
  EXPECT_TRUE(store.WriteValue(MainKey, "MAINPAGE", std::string("b")));
  EXPECT_EQ(store.ReadValue(MainKey, "mainpage"), Text("b"));

  const std::string text = ReadBytes(store.Path());
  EXPECT_NE(text.find("\"MainPage\": \"b\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"Software\\\\Orvanta\\\\Trevalo\\\\Sub\""), std::string::npos) << text;
  EXPECT_EQ(text.find("MAINPAGE"), std::string::npos) << text;
}

TEST(SettingsFile, BackslashValueNamesAndSiblingKeys) {
  TTempDir dir;
  TSettingsFile store(dir.File("settings.json"));
  const std::string fileKey = MainKey + "File";  // a sibling of the main key, not a subkey
  store.CreateKey(MainKey);
  EXPECT_FALSE(store.KeyExists(fileKey));
  EXPECT_FALSE(store.WriteValue(fileKey, "\\DirConfig", std::string("/logs/")));

  store.CreateKey(fileKey);
  store.CreateKey(MainKey + "\\BanWords");
  EXPECT_TRUE(store.WriteValue(fileKey, "\\DirConfig", std::string("/logs/")));
  EXPECT_TRUE(store.WriteValue(MainKey + "\\BanWords", "\\DirConfig", std::string("/words/")));

  TSettingsFile other(store.Path());
  EXPECT_EQ(other.ReadValue(fileKey, "\\DirConfig"), Text("/logs/"));
  EXPECT_EQ(other.ReadValue(MainKey + "\\BanWords", "\\DirConfig"), Text("/words/"));
  EXPECT_EQ(other.ReadValue(MainKey, "\\DirConfig"), std::nullopt);
  EXPECT_EQ(other.ReadValue(fileKey, "DirConfig"), std::nullopt);
  EXPECT_FALSE(other.KeyExists(fileKey + "\\DirConfig"));
}

TEST(SettingsFile, OpeningWithoutCreatingLeavesNoTrace) {
  TTempDir dir;
  TSettingsFile store(dir.File("settings.json"));
  EXPECT_FALSE(store.KeyExists(MainKey));
  EXPECT_EQ(store.ReadValue(MainKey, "MainPage"), std::nullopt);
  EXPECT_FALSE(store.WriteValue(MainKey, "MainPage", std::string("x")));
  EXPECT_FALSE(std::filesystem::exists(store.Path()));

  store.CreateKey(MainKey);
  EXPECT_EQ(store.ReadValue(MainKey, "MainPage"), std::nullopt);  // a key without the value
  store.CreateKey(MainKey);  // an existing key stays as it is
  EXPECT_TRUE(store.WriteValue(MainKey, "MainPage", std::string("x")));
  store.CreateKey(MainKey);
  EXPECT_EQ(store.ReadValue(MainKey, "MainPage"), Text("x"));
}

TEST(SettingsFile, TwoObjectsOnOneFileSeeEachOthersWrites) {
  TTempDir dir;
  TSettingsFile first(dir.File("settings.json"));
  TSettingsFile second(dir.File("settings.json"));
  first.CreateKey(MainKey);
  EXPECT_TRUE(second.KeyExists(MainKey));
  for (std::int32_t minutes = 1; minutes <= 3; ++minutes) {
    EXPECT_TRUE(second.WriteValue(MainKey, "TimeArea", minutes));
    EXPECT_EQ(first.ReadValue(MainKey, "TimeArea"), Int(minutes));
  }
  EXPECT_TRUE(first.WriteValue(MainKey, "MainPage", std::string("/")));
  EXPECT_EQ(second.ReadValue(MainKey, "TimeArea"), Int(3)) << "a write keeps the other values";
  EXPECT_EQ(second.ReadValue(MainKey, "MainPage"), Text("/"));
}

TEST(SettingsFile, HandWrittenFileIsUnderstood) {
  TTempDir dir;
  const std::string path = dir.File("settings.json");
  // A key listed without its parents, escapes of every kind, an empty file section elsewhere.
  WriteBytes(path, " {\"other\": [1, true, null, {\"x\": -0.5e3}],\n"
                   "  \"keys\": {\"Software\\\\Orvanta\\\\Trevalo\": {\n"
                   "    \"MainPage\": \"caf\\u00e9 \\ud83d\\ude00 \\/ \\\"q\\\"\",\n"
                   "    \"TimeArea\": 7}}}\r\n");
  TSettingsFile store(path);
  EXPECT_TRUE(store.KeyExists("Software\\Orvanta"));
  EXPECT_EQ(store.ReadValue(MainKey, "MainPage"), Text("caf\xc3\xa9 \xf0\x9f\x98\x80 / \"q\""));
  EXPECT_EQ(store.ReadValue(MainKey, "TimeArea"), Int(7));

  WriteBytes(path, "");  // an empty file holds nothing to lose
  EXPECT_FALSE(store.KeyExists(MainKey));
  store.CreateKey(MainKey);
  EXPECT_TRUE(store.KeyExists(MainKey));
}

TEST(SettingsFile, DamagedFileIsReportedAndNeverOverwritten) {
  const std::string cases[] = {
      "{",
      "not json",
      "{\"keys\": {}} trailing",
      "[]",
      "{\"keys\": []}",
      "{\"keys\": {\"A\": 5}}",
      "{\"keys\": {\"A\": {\"v\": 1.5}}}",
      "{\"keys\": {\"A\": {\"v\": 2147483648}}}",
      "{\"keys\": {\"A\": {\"v\": true}}}",
      "{\"keys\": {\"A\": {\"v\": \"x\", \"V\": \"y\"}}}",
      "{\"keys\": {\"A\": {\"v\": \"\\ud800\"}}}",
      "{\"keys\": {\"A\": {\"v\": \"tab\tinside\"}}}",
      std::string(100000, '['),
  };
  for (const auto& content : cases) {
    SCOPED_TRACE(content.substr(0, 60));
    TTempDir dir;
    const std::string path = dir.File("settings.json");
    WriteBytes(path, content);
    TSettingsFile store(path);
    try {
      store.KeyExists("A");
      FAIL() << "no error";
    } catch (const ESettingsError& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
    }
    EXPECT_THROW(store.ReadValue("A", "v"), ESettingsError);
    EXPECT_THROW(store.CreateKey("B"), ESettingsError);
    EXPECT_THROW(store.WriteValue("A", "v", std::int32_t{1}), ESettingsError);
    EXPECT_EQ(ReadBytes(path), content);
    EXPECT_EQ(FileCount(dir.Path()), 1);
  }
}

// Found by fuzzing: every key is stored with all its parents, so a hand-made key of a few
// hundred parts grew the file with the square of its length and made every operation take
// seconds. Such keys are refused; the limits leave room for every key the program uses.
TEST(SettingsFile, KeysOfTooManyPartsOrCharactersAreRefused) {
  std::string deep = "Software";  // as written in JSON: every backslash doubled
  for (int i = 0; i < 200; ++i) deep += "\\\\part" + std::to_string(i);
  const std::string cases[] = {
      "{\"keys\": {\"" + deep + "\": {\"v\": 1}}}",
      "{\"keys\": {\"Software\": {}, \"" + std::string(1025, 'k') + "\": {}}}",
  };
  for (const auto& content : cases) {
    TTempDir dir;
    const std::string path = dir.File("settings.json");
    WriteBytes(path, content);
    TSettingsFile store(path);
    try {
      store.KeyExists("Software");
      FAIL() << "no error";
    } catch (const ESettingsError& e) {
      EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("more than 32 parts or 1024 characters"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadBytes(path), content);
  }

  TTempDir dir;
  TSettingsFile store(dir.File("settings.json"));
  std::string longest = "K";
  for (int i = 1; i < 32; ++i) longest += "\\K";
  store.CreateKey(longest);  // 32 parts
  EXPECT_TRUE(store.KeyExists(longest));
  EXPECT_THROW(store.CreateKey(longest + "\\K"), ESettingsError);
  EXPECT_THROW(store.CreateKey(std::string(1025, 'k')), ESettingsError);
  store.CreateKey(std::string(1024, 'k'));
  EXPECT_EQ(store.ReadValue(longest, "v"), std::nullopt);
}

TEST(SettingsFile, UnreadableOrUnwritablePlaceRaisesNamingTheFile) {
  TTempDir dir;
  const std::string folderAsFile = dir.File("settings.json");
  std::filesystem::create_directory(folderAsFile);
  TSettingsFile unreadable(folderAsFile);
  EXPECT_THROW(unreadable.KeyExists(MainKey), ESettingsError);

  WriteBytes(dir.File("plain"), "x");
  TSettingsFile unwritable(dir.File("plain") + "/settings.json");
  try {
    unwritable.CreateKey(MainKey);
    FAIL() << "no error";
  } catch (const ESettingsError& e) {
    EXPECT_NE(std::string(e.what()).find("plain/settings.json\""), std::string::npos) << e.what();
  }
}

TEST(SettingsFile, WritingThroughALinkKeepsTheLink) {
  TTempDir dir;
  WriteBytes(dir.File("real.json"), "");
  std::filesystem::create_symlink("real.json", dir.Path() / "settings.json");
  TSettingsFile store(dir.File("settings.json"));
  store.CreateKey(MainKey);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "settings.json"));
  EXPECT_NE(ReadBytes(dir.File("real.json")).find("Trevalo"), std::string::npos);
}

class TEnvironment {
public:
  explicit TEnvironment(const char* name) : FName(name) {
    if (const char* v = std::getenv(name)) FOld = v;
  }
  ~TEnvironment() {
    if (FOld) ::setenv(FName, FOld->c_str(), 1);
    else ::unsetenv(FName);
  }
  void Set(const char* value) {
    if (value) ::setenv(FName, value, 1);
    else ::unsetenv(FName);
  }

private:
  const char* FName;
  std::optional<std::string> FOld;
};

TEST(SettingsFile, DefaultPathFollowsTheConfigHome) {
  TEnvironment xdg("XDG_CONFIG_HOME"), home("HOME");
  home.Set("/home/someone");
  xdg.Set("/cfg");
  EXPECT_EQ(TSettingsFile::DefaultPath(), "/cfg/trevalo/settings.json");
  xdg.Set("relative/cfg");  // not absolute: ignored, as the base directory rules say
  EXPECT_EQ(TSettingsFile::DefaultPath(), "/home/someone/.config/trevalo/settings.json");
  xdg.Set(nullptr);
  EXPECT_EQ(TSettingsFile::DefaultPath(), "/home/someone/.config/trevalo/settings.json");
}

}  // namespace
