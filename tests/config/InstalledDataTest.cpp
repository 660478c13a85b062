// The configuration installed beside the programs: every file loads, and the data keeps the
// rules its readers rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/MemTable.h"
#include "base/TableFile.h"
#include "config/WSGlobal.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

using testsupport::ReadBytes;
using TList = std::vector<std::string>;

namespace {

const std::filesystem::path Config = TREVALO_INSTALLED_CONFIG;

std::vector<std::filesystem::path> LogTypeFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(Config / "LogTypes"))
    if (entry.path().extension() == ".lf") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// The values of one field, in table order.
TList Column(TMemTable& table, const std::string& field) {
  TList values;
  const int f = table.FieldNo(field);
  for (table.First(); !table.Eof(); table.Next()) values.push_back(table.IsNull(f) ? "" : table.AsString(f));
  return values;
}

TList Lines(const std::string& bytes) {
  TList lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  return lines;
}

TEST(InstalledData, EveryFileEndsItsLinesWithCrLf) {
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(Config)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::string bytes = ReadBytes(entry.path().string());
    SCOPED_TRACE(entry.path().string());
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const auto bareLf = [&bytes](std::size_t i) { return bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'); };
    for (std::size_t i = 0; i < bytes.size(); ++i) ASSERT_FALSE(bareLf(i)) << "bare LF at byte " << i;
  }
  EXPECT_GE(files, 12);
}

TEST(InstalledData, LogTypesLoadAndUseOnlyOfferedFieldNames) {
  const auto offered = Lines(ReadBytes((Config / "ParserConfig.txt").string()));
  for (const char* kind : {"IP", "Date", "Request", "StatusCode", "Bytes", "Referrer", "UserAgent"})
    EXPECT_NE(std::find(offered.begin(), offered.end(), kind), offered.end()) << kind;

  const auto files = LogTypeFiles();
  ASSERT_GE(files.size(), 4u);
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    TMemTable table("kbmLogConfig", {{"Name", TFieldType::String, 15},
                                     {"LeftChar", TFieldType::String, 1},
                                     {"RightChar", TFieldType::String, 1}});
    table.Open();
    LoadTableFile(table, file.string());
    const TList names = Column(table, "Name");
    for (const auto& name : names)
      EXPECT_NE(std::find(offered.begin(), offered.end(), name), offered.end()) << name;
    // Every description serves the analyses that need no referrer.
    for (const char* kind : {"IP", "Date", "Request", "StatusCode", "Bytes"})
      EXPECT_EQ(std::count(names.begin(), names.end(), kind), 1) << kind;
  }
}

TEST(InstalledData, EveryEngineRowCanBeReached) {
  TMemTable table("kbmSearch", {{"machine", TFieldType::String, 50}, {"text", TFieldType::String, 50}});
  table.Open();
  LoadTableFile(table, (Config / "search.txt").string());
  const TList machines = Column(table, "machine"), texts = Column(table, "text");
  ASSERT_GE(machines.size(), 20u);
  for (std::size_t i = 0; i < machines.size(); ++i) {
    EXPECT_FALSE(machines[i].empty());
    EXPECT_TRUE(texts[i].size() > 1 && texts[i].back() == '=') << machines[i] << " " << texts[i];
    // The first row whose machine occurs in the host wins: an earlier row whose machine lies
    // inside this one would always win over it.
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_EQ(machines[i].find(machines[j]), std::string::npos) << machines[j] << " hides " << machines[i];
  }
}

TEST(InstalledData, SettingsModuleLoadsTheLookupTables) {
  testsupport::TMemorySettingsStore store;
  testsupport::TFakeDialogs dialogs;
  Tglobals globals(store, dialogs, (Config.parent_path()).string() + "/");
  EXPECT_TRUE(dialogs.Shown.empty()) << dialogs.Shown.at(0).Text;

  EXPECT_EQ(globals.GetStatusCodeText(200), "200 OK");
  EXPECT_EQ(globals.GetStatusCodeText(404), "404 Not Found");
  EXPECT_EQ(globals.GetStatusCodeText(0).substr(0, 2), "0 ");
  std::set<std::int32_t> codes;
  const int index = globals.kbmStatusCodes.FieldNo("Index");
  for (globals.kbmStatusCodes.First(); !globals.kbmStatusCodes.Eof(); globals.kbmStatusCodes.Next())
    EXPECT_TRUE(codes.insert(globals.kbmStatusCodes.AsInteger(index)).second) << "a code listed twice";
  EXPECT_GE(codes.size(), 60u);

  EXPECT_FALSE(globals.IsNotSpareWord("the"));
  EXPECT_FALSE(globals.IsNotSpareWord("und"));
  EXPECT_TRUE(globals.IsNotSpareWord("analyser"));
  for (const auto& word : Column(globals.kbmSpare, "spareText"))
    EXPECT_EQ(word.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << word;

  ASSERT_FALSE(globals.ReplaceRows().empty());
  for (const auto& row : globals.ReplaceRows()) {
    EXPECT_EQ(row.HexChar.size(), 1u) << "an empty hexChar would decode every escape of a referrer";
    EXPECT_FALSE(row.Search.empty());
    EXPECT_EQ(row.Replace.find(row.Search), std::string::npos) << "the replacement would never end";
  }
}

TEST(InstalledData, NotShownGroupsHideNothingUntilSwitchedOff) {
  testsupport::TMemorySettingsStore store;
  testsupport::TFakeDialogs dialogs;
  Tglobals globals(store, dialogs, (Config.parent_path()).string() + "/");
  EXPECT_EQ(globals.LoadNotShownList(), TList{});

  const TList lines = globals.ReadListFile("notschown.lst");
  const std::string checkList = std::string(MainKey) + "\\ProccesCheckList";
  store.CreateKey(checkList);
  TList groups;
  for (const auto& line : lines)
    if (line.front() == '<' && line.back() == '>') groups.push_back(line.substr(1, line.size() - 2));
  EXPECT_NE(std::find(groups.begin(), groups.end(), "images"), groups.end());
  for (const auto& group : groups) store.WriteValue(checkList, group, std::int32_t{0});
  const TList hidden = globals.LoadNotShownList();
  EXPECT_EQ(hidden.size(), lines.size() - groups.size());
  EXPECT_NE(std::find(hidden.begin(), hidden.end(), ".gif"), hidden.end());
  EXPECT_EQ(std::count(hidden.begin(), hidden.end(), ""), 0) << "an empty entry would hide nothing";
}

TEST(InstalledData, GuideIsThere) {
  const std::string guide = ReadBytes((Config / "Trevalo guide.txt").string());
  for (const char* topic : {"Input files", "Log types", "Main page", "Same User Time", "Select All", "Lock words",
                            "Process check list"})
    EXPECT_NE(guide.find(topic), std::string::npos) << topic;
}

}  // namespace
