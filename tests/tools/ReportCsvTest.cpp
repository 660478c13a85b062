// trevalo-report --csv over the bundled sample log: one file per table, holding the same
// rows as the JSON output of the same run.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "MiniJson.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using minijson::TValue;

// The bundled sample log.
const std::string Sample = TREVALO_SAMPLE_LOG;

std::string Quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

// Records of a CSV text; fails the test on a line that does not end in CR LF.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') field += c;
      else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
      else quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      record.push_back(std::move(field));
      field.clear();
    } else if (c == '\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
      ++i;
      record.push_back(std::move(field));
      field.clear();
      records.push_back(std::move(record));
      record.clear();
    } else {
      EXPECT_NE(c, '\n') << "bare LF at " << i;
      field += c;
    }
  }
  EXPECT_TRUE(record.empty() && field.empty()) << "the last line has no CR LF";
  return records;
}

std::string JsonCellText(const TValue& value) {
  if (value.IsNull()) return "";
  if (const auto* b = std::get_if<bool>(&value.V)) return *b ? "1" : "0";
  if (const auto* i = std::get_if<std::int64_t>(&value.V)) return std::to_string(*i);
  return value.Str();
}

void ExpectSameRows(const fs::path& file, const TValue& rows, const std::vector<std::string>& columns) {
  SCOPED_TRACE(file.filename().string());
  ASSERT_TRUE(fs::exists(file));
  const auto records = ParseCsv(testsupport::ReadBytes(file.string()));
  ASSERT_EQ(records.size(), rows.Array().size() + 1);
  EXPECT_EQ(records[0], columns);
  for (std::size_t r = 0; r < rows.Array().size(); ++r) {
    std::vector<std::string> expected;
    for (const auto& column : columns) expected.push_back(JsonCellText(rows[r][column]));
    EXPECT_EQ(records[r + 1], expected) << "row " << r;
  }
}

class ReportCsv : public ::testing::Test {
protected:
  int Run(const std::vector<std::string>& args) {
    std::string command = "env HOME=" + Quoted(Dir.File("home")) + " XDG_CONFIG_HOME=" + Quoted(Dir.File("home")) +
                          " " + Quoted(TREVALO_REPORT_EXE) + " --settings " + Quoted(Dir.File("settings.json")) +
                          " --config " + Quoted(TREVALO_INSTALLED_CONFIG);
    for (const auto& a : args) command += " " + Quoted(a);
    command += " >" + Quoted(Dir.File("out.txt")) + " 2>" + Quoted(Dir.File("err.txt"));
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out() const { return testsupport::ReadBytes(Dir.File("out.txt")); }
  std::string Err() const { return testsupport::ReadBytes(Dir.File("err.txt")); }

  testsupport::TTempDir Dir;
};

TEST_F(ReportCsv, OneFilePerTableWithTheRowsOfTheJson) {
  const fs::path folder = Dir.Path() / "new" / "csv";  // created by the tool
  ASSERT_EQ(Run({"--json", "--process", "--main-page", "/", "--csv", folder.string(), Sample}), 0) << Err();
  const TValue json = minijson::Parse(Out());
  ExpectSameRows(folder / "summary.csv", json["general"]["summary"], {"Description", "Value"});
  ExpectSameRows(folder / "statusCodes.csv", json["general"]["statusCodes"], {"statusCode", "count"});
  ExpectSameRows(folder / "browsers.csv", json["general"]["browsers"], {"Browser", "Count"});
  ExpectSameRows(folder / "hits.csv", json["hits"], {"ID", "Name", "Sum"});
  ExpectSameRows(folder / "search.csv", json["search"], {"ID", "Name", "Summe", "Anzeigen"});
  ExpectSameRows(folder / "pages.csv", json["pages"], {"ID", "Name", "Summe", "Anzeigen"});
  EXPECT_GT(json["search"].Array().size(), 0u);
  // Search phrases hold commas: those fields are quoted.
  EXPECT_NE(testsupport::ReadBytes((folder / "search.csv").string()).find(",\""), std::string::npos);

  const auto visits = ParseCsv(testsupport::ReadBytes((folder / "visits.csv").string()));
  std::size_t pathRows = 0;
  for (const TValue& visit : json["visits"].Array()) pathRows += visit["path"].Array().size();
  ASSERT_GT(pathRows, 0u);
  ASSERT_EQ(visits.size(), pathRows + 1);
  EXPECT_EQ(visits[0], (std::vector<std::string>{"Visit", "Process", "DateTime", "TimeViewed"}));
  EXPECT_EQ(visits[1][0], "1");
  EXPECT_EQ(visits[1][1], json["visits"][0]["address"].Str());
  EXPECT_EQ(visits.back()[0], std::to_string(json["visits"].Array().size()));
}

// The folder is checked before the run: a file in its place, or a folder that holds other
// files, is refused with the reason, and nothing is run or written.
TEST_F(ReportCsv, AnUnusableFolderIsRefusedBeforeTheRun) {
  testsupport::WriteBytes(Dir.File("plain"), "a file, not a folder");
  fs::create_directory(Dir.File("mine"));
  testsupport::WriteBytes(Dir.File("mine/notes.txt"), "mine");
  const struct {
    std::string Folder, Reason;
  } cases[] = {
      {Dir.File("plain"), "Not a directory"},
      {Dir.File("plain/csv"), "Not a directory"},
      {Dir.File("mine"), "\"notes.txt\", which is no file of this set"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Folder);
    EXPECT_EQ(Run({"--csv", c.Folder, Sample}), 2);
    EXPECT_NE(Err().find(c.Reason), std::string::npos) << Err();
    EXPECT_NE(Err().find(c.Folder), std::string::npos) << Err();
    EXPECT_EQ(Out(), "");
  }
  EXPECT_EQ(testsupport::ReadBytes(Dir.File("plain")), "a file, not a folder");
  EXPECT_EQ(testsupport::ReadBytes(Dir.File("mine/notes.txt")), "mine");
  for (const auto& entry : fs::directory_iterator(Dir.Path()))
    EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
}

}  // namespace
