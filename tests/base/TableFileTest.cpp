#include "base/TableFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/MemTable.h"
#include "log/QelNewFile.h"
#include "support/TestSupport.h"

namespace {

using namespace std::string_literals;
using testsupport::ReadBytes;
using testsupport::TTempDir;
using testsupport::WriteBytes;
using TRow = std::vector<std::optional<std::string>>;  // nullopt: no value

TMemTable LogTypeTable() {
  return TMemTable("kbmConfig", {{"Name", TFieldType::String, 15},
                                 {"LeftChar", TFieldType::String, 1},
                                 {"RightChar", TFieldType::String, 1}});
}

TMemTable StatusCodeTable() {
  return TMemTable("kbmStatusCodes", {{"Index", TFieldType::Integer}, {"Text", TFieldType::String, 80}});
}

void AddRow(TMemTable& t, const TRow& row) {
  t.Append();
  for (std::size_t f = 0; f < row.size(); ++f) {
    if (row[f]) t.SetString(static_cast<int>(f), *row[f]);
  }
  t.Post();
}

std::vector<TRow> Rows(TMemTable& t) {
  std::vector<TRow> rows;
  for (int r = 0; r < t.RecordCount(); ++r) {
    TRow row;
    for (int f = 0; f < t.FieldCount(); ++f) {
      row.push_back(t.IsNullAt(r, f) ? std::nullopt : std::optional<std::string>(t.AsStringAt(r, f)));
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<TRow> LoadRows(const std::string& bytes) {
  TTempDir dir;
  WriteBytes(dir.File("t.lf"), bytes);
  TMemTable t = LogTypeTable();
  t.Open();
  LoadTableFile(t, dir.File("t.lf"));
  return Rows(t);
}

TEST(TableFile, SavesTheFormatByteForByte) {
  TTempDir dir;
  TMemTable t = LogTypeTable();
  t.Open();
  SaveTableFile(t, dir.File("empty.lf"));
  EXPECT_EQ(ReadBytes(dir.File("empty.lf")), "'Name';'LeftChar';'RightChar'\r\n");

  AddRow(t, {"IP", std::nullopt, " "});
  AddRow(t, {"Date", "[", "]"});
  SaveTableFile(t, dir.File("t.lf"));
  EXPECT_EQ(ReadBytes(dir.File("t.lf")), "'Name';'LeftChar';'RightChar'\r\n'IP';;' '\r\n'Date';'[';']'\r\n");

  TMemTable codes = StatusCodeTable();
  codes.Open();
  codes.Append();
  codes.SetInteger(0, -404);
  codes.SetString(1, "it's");
  codes.Post();
  codes.Append();
  codes.Post();
  SaveTableFile(codes, dir.File("codes.lac"));
  EXPECT_EQ(ReadBytes(dir.File("codes.lac")), "'Index';'Text'\r\n'-404';'it''s'\r\n;\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 3);  // no temporary left
}

TEST(TableFile, EscapesAndApostrophesRoundTrip) {
  TTempDir dir;
  TMemTable t("kbmT", {{"Text", TFieldType::String, 0}, {"Flag", TFieldType::Boolean}, {"N", TFieldType::Integer}});
  t.Open();
  const std::string tricky = "50% 'quoted' %n\r\nnext line %%";
  t.Append();
  t.SetString(0, tricky);
  t.SetBoolean(1, true);
  t.SetInteger(2, 2147483647);
  t.Post();
  t.Append();
  t.SetString(0, "");
  t.SetBoolean(1, false);
  t.Post();
  SaveTableFile(t, dir.File("a.lf"));
  const std::string first = ReadBytes(dir.File("a.lf"));
  EXPECT_EQ(first,
            "'Text';'Flag';'N'\r\n'50%% ''quoted'' %%n%c%nnext line %%%%';'True';'2147483647'\r\n'';'False';\r\n");

  t.Close();
  t.Open();
  LoadTableFile(t, dir.File("a.lf"));
  ASSERT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(t.AsStringAt(0, 0), tricky);
  EXPECT_TRUE(t.AsBooleanAt(0, 1));
  EXPECT_FALSE(t.IsNullAt(1, 0));  // an empty text is a value
  EXPECT_TRUE(t.IsNullAt(1, 2));
  SaveTableFile(t, dir.File("b.lf"));
  EXPECT_EQ(ReadBytes(dir.File("b.lf")), first);
}

TEST(TableFile, ReadsLinesValuesAndHeaders) {
  const std::string header = "'Name';'LeftChar';'RightChar'\r\n";
  struct TCase {
    const char* What;
    std::string Bytes;
    std::vector<TRow> Expected;
  };
  const std::vector<TCase> cases = {
      {"clean", header + "'IP';;' '\r\n'Date';'[';']'\r\n", {{"IP", std::nullopt, " "}, {"Date", "[", "]"}}},
      {"blank lines, no final line end",
       header + "\r\n\r\n'IP';;' '\n\n\r'Date';'[';']'",
       {{"IP", std::nullopt, " "}, {"Date", "[", "]"}}},
      {"NUL and CR runs", "'Name'\0\0'a'\r\r'b'\0"s, {{"a", std::nullopt, std::nullopt}, {"b", std::nullopt, std::nullopt}}},
      {"no value between", header + "'x';;'y'\r\n", {{"x", std::nullopt, "y"}}},
      {"header in other case", "'NAME';'leftchar';'RightChar'\r\n'a';'b';'c'\r\n", {{"a", "b", "c"}}},
      {"reordered header", "'RightChar';'Name';'LeftChar'\r\n'c';'a';'b'\r\n", {{"a", "b", "c"}}},
      {"unknown column skipped", "'Name';'Extra';'RightChar'\r\n'a';'zzz';'c'\r\n", {{"a", std::nullopt, "c"}}},
      {"short line and trailing ;",
       header + "'a'\r\n'b';\r\n",
       {{"a", std::nullopt, std::nullopt}, {"b", std::nullopt, std::nullopt}}},
      {"values beyond the header", "'Name'\r\n'a';'b';'c'\r\n", {{"a", std::nullopt, std::nullopt}}},
      {"unquoted values", header + "abc;[;x\r\n", {{"abc", "[", "x"}}},
      {"cut to the field size", header + "'abcdefghijklmnopqrst';'xyz';''\r\n", {{"abcdefghijklmno", "x", ""}}},
      {"stray percent signs kept", header + "'5%x%';'%';'%%'\r\n", {{"5%x%", "%", "%"}}},
      {"missing closing apostrophe", header + "'open;x\r\n", {{"open;x", std::nullopt, std::nullopt}}},
      {"file beginning with a line break", "\r\n" + header + "'a';'b';'c'\r\n", {{"a", "b", "c"}}},
      {"definition block skipped",
       "@@FILE VERSION@@;251\r\n@@TABLEDEF START@@\r\nName=string,15\r\n@@INDEXDEF START@@\r\n@@INDEXDEF END@@\r\n"
       "@@TABLEDEF END@@\r\n" +
           header + "'a';'b';'c'\r\n",
       {{"a", "b", "c"}}},
      {"empty file", "", {}},
      {"header only", header, {}},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(LoadRows(c.Bytes), c.Expected) << c.What;
  }
}

TEST(TableFile, IntegerAndBooleanColumns) {
  TTempDir dir;
  TMemTable t("kbmT", {{"Index", TFieldType::Integer}, {"Ok", TFieldType::Boolean}});
  t.Open();
  WriteBytes(dir.File("ok.lac"), "'Index';'Ok'\r\n'200';'True'\r\n'';'true'\r\n'-7';\r\n");
  LoadTableFile(t, dir.File("ok.lac"));
  ASSERT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(t.AsIntegerAt(0, 0), 200);
  EXPECT_TRUE(t.AsBooleanAt(0, 1));
  EXPECT_TRUE(t.IsNullAt(1, 0));      // an empty text gives no value
  EXPECT_FALSE(t.AsBooleanAt(1, 1));  // only "True" is true
  EXPECT_FALSE(t.IsNullAt(1, 1));
  EXPECT_TRUE(t.IsNullAt(2, 1));

  t.Empty();
  const std::string bad = dir.File("bad.lac");
  WriteBytes(bad, "'Index';'Ok'\r\n'1';'True'\r\n'2x';'True'\r\n'3';'True'\r\n");
  try {
    LoadTableFile(t, bad);
    FAIL();
  } catch (const ETableFileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("'2x'"), std::string::npos) << message;
    EXPECT_NE(message.find("Index"), std::string::npos) << message;
    EXPECT_NE(message.find(bad), std::string::npos) << message;
  }
  EXPECT_FALSE(t.Editing());
  ASSERT_EQ(t.RecordCount(), 1);  // the records before the bad one stay
  EXPECT_EQ(t.AsIntegerAt(0, 0), 1);
}

// Found by fuzzing: a time of "73:55:36" was read as three days and more but written back as
// "01:55:36". Times are spans; they keep their days and their sign through a save and a load.
TEST(TableFile, TimesAreSpansThatSurviveASave) {
  TTempDir dir;
  const std::vector<TFieldDef> fields = {{"When", TFieldType::DateTime}, {"Time", TFieldType::Time}};
  TMemTable t("kbmT", fields);
  t.Open();
  WriteBytes(dir.File("in.lac"), "'When';'Time'\r\n10/10/2000 13:55:36;73:55:36\r\n;'-00:00:01'\r\n;'1234:05:06'\r\n");
  LoadTableFile(t, dir.File("in.lac"));
  ASSERT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(t.AsStringAt(0, 0), "2000-10-10T13:55:36");
  EXPECT_EQ(t.AsStringAt(0, 1), "73:55:36");
  EXPECT_EQ(t.AsStringAt(1, 1), "-00:00:01");
  EXPECT_EQ(t.AsStringAt(2, 1), "1234:05:06");

  SaveTableFile(t, dir.File("out.lac"));
  EXPECT_EQ(ReadBytes(dir.File("out.lac")),
            "'When';'Time'\r\n'10/10/2000 13:55:36';'73:55:36'\r\n;'-00:00:01'\r\n;'1234:05:06'\r\n");
  TMemTable again("kbmT", fields);
  again.Open();
  LoadTableFile(again, dir.File("out.lac"));
  ASSERT_EQ(again.RecordCount(), 3);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(again.AsStringAt(r, 1), t.AsStringAt(r, 1)) << r;

  // Not a span: minutes or seconds beyond 59, a single digit or too many digits of hours.
  for (const char* bad : {"00:60:00", "00:00:60", "1:00:00", "1234567:00:00", "--01:00:00", "01:00", "01:00:00 "}) {
    t.Empty();
    WriteBytes(dir.File("bad.lac"), std::string("'When';'Time'\r\n;'") + bad + "'\r\n");
    EXPECT_THROW(LoadTableFile(t, dir.File("bad.lac")), ETableFileError) << bad;
  }
}

TEST(TableFile, FileFailuresNameThePath) {
  TTempDir dir;
  TMemTable t = LogTypeTable();
  t.Open();
  const std::string missing = dir.File("missing.lf");
  try {
    LoadTableFile(t, missing);
    FAIL();
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_THROW(LoadTableFile(t, dir.Path().string()), EQelFileError);

  const std::string noFolder = dir.File("no/such/folder.lf");
  try {
    SaveTableFile(t, noFolder);
    FAIL();
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find(noFolder), std::string::npos) << e.what();
  }
}

TEST(TableFile, ClosedTablesAreRefusedBeforeTheFileIsTouched) {
  TTempDir dir;
  const std::string path = dir.File("keep.lf");
  WriteBytes(path, "old content");
  TMemTable t = LogTypeTable();
  EXPECT_THROW(SaveTableFile(t, path), ETableFileError);
  EXPECT_THROW(SaveTableFile(t, dir.File("new.lf")), ETableFileError);
  EXPECT_THROW(LoadTableFile(t, path), ETableFileError);
  EXPECT_EQ(ReadBytes(path), "old content");
  EXPECT_FALSE(std::filesystem::exists(dir.File("new.lf")));
}

TEST(TableFile, SavingReplacesTheFileAndPostsAPendingEdit) {
  TTempDir dir;
  const std::string path = dir.File("t.lf");
  WriteBytes(path, std::string(1000, 'x'));
  TMemTable t = LogTypeTable();
  t.Open();
  t.Append();
  t.SetString(0, "IP");
  SaveTableFile(t, path);
  EXPECT_EQ(ReadBytes(path), "'Name';'LeftChar';'RightChar'\r\n'IP';;\r\n");
}

}  // namespace
