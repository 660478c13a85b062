#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/DateTime.h"
#include "base/TableFile.h"
#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "support/ParserFixture.h"

using testsupport::TParserFixture;

namespace {
const std::string& L1 = testsupport::CommonLine;
const std::string& L2 = testsupport::CombinedLine;

std::vector<std::string> LogConfigNames(TMemTable& table) {
  std::vector<std::string> names;
  for (int row = 0; row < table.RecordCount(); ++row) names.push_back(table.AsStringAt(row, 0));
  return names;
}

}  // namespace

TEST(LogTypeChoice, TheDescriptionThatFitsTheFirstLineIsChosen) {
  TParserFixture setup;
  setup.WriteConfig("LogTypes/common.lf", TParserFixture::CommonDescription());
  setup.WriteConfig("LogTypes/combined.lf", TParserFixture::CombinedDescription());
  setup.WriteConfig("LogTypes/notes.txt", "not a description");

  auto common = setup.ParserFor(L1);
  EXPECT_FALSE(common->W3C());
  EXPECT_EQ(common->kbmLogConfig.RecordCount(), 7);
  // Empty delimiters in the file stand for a space, in the table too.
  EXPECT_EQ(common->kbmLogConfig.AsStringAt(0, 1), " ");
  EXPECT_EQ(common->kbmLogConfig.AsStringAt(0, 2), " ");

  auto combined = setup.ParserFor(L2);
  EXPECT_EQ(combined->kbmLogConfig.RecordCount(), 9);
  EXPECT_EQ(combined->GetField(L2, TFieldKind::UserAgent), "Mozilla/4.08 [en] (Win98; I ;Nav)");

  EXPECT_FALSE(setup.NewParser()->SelectLogType({setup.WriteLog("odd.log", "no log line at all\r\n")}));
}

TEST(LogTypeChoice, FilesAreTriedInTheOrderOfTheirNames) {
  TParserFixture setup;
  const std::string hostFirst =
      TParserFixture::TableLines({"'Name';'LeftChar';'RightChar'", "'Host';;", "'user';;", "'auth';;",
                                  "'Date';'[';']'", "'Request';'\"';'\"'", "'StatusCode';;", "'Bytes';;"});
  setup.WriteConfig("LogTypes/b.lf", TParserFixture::CommonDescription());
  setup.WriteConfig("LogTypes/a.lf", hostFirst);
  auto parser = setup.ParserFor(L1);
  EXPECT_EQ(LogConfigNames(parser->kbmLogConfig).front(), "Host");
  EXPECT_THROW(parser->GetField(L1, TFieldKind::IP), ETDSearchPatternError);
}

TEST(LogTypeChoice, FirstLineComesFromTheFirstFileThatHasOne) {
  TParserFixture setup;
  setup.WriteConfig("LogTypes/common.lf", TParserFixture::CommonDescription());
  auto parser = setup.NewParser();
  EXPECT_TRUE(parser->SelectLogType(
      {setup.Dir.File("missing.log"), setup.WriteLog("empty.log", ""), setup.WriteLog("second.log", L1 + "\n")}));

  // No file at all: the first line is empty, which no description with a date fits.
  EXPECT_FALSE(setup.NewParser()->SelectLogType({setup.Dir.File("missing.log")}));
  EXPECT_FALSE(setup.NewParser()->SelectLogType({}));
}

TEST(LogTypeChoice, NoDescriptionFolderMeansNoChoice) {
  TParserFixture setup;
  std::filesystem::remove_all(setup.ConfigDir() + "LogTypes");
  EXPECT_FALSE(setup.NewParser()->SelectLogType({setup.WriteLog("a.log", L1 + "\n")}));
}

TEST(LogTypeChoice, ADescriptionFileThatCannotBeReadEndsTheChoiceWithItsError) {
  TParserFixture setup;
  std::filesystem::create_directory(setup.ConfigDir() + "LogTypes/folder.lf");  // folders are passed over
  std::filesystem::create_symlink(setup.Dir.File("nowhere"), setup.ConfigDir() + "LogTypes/lost.lf");
  setup.WriteConfig("LogTypes/zz.lf", TParserFixture::CommonDescription());
  auto parser = setup.NewParser();
  try {
    parser->SelectLogType({setup.WriteLog("a.log", L1 + "\n")});
    ADD_FAILURE() << "no error";
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find("lost.lf"), std::string::npos) << e.what();
  }
}

TEST(LogTypeChoice, W3CHeaderMakesTheDescription) {
  TParserFixture setup;
  // Not used: the first line marks a W3C log.
  setup.WriteConfig("LogTypes/common.lf", TParserFixture::CommonDescription());
  auto parser = setup.NewParser();
  const std::string log = setup.WriteLog("ex.log",
      "#Software: Internet Information Services 5.0\r\n#Version: 1.0\r\n"
      "#Fields: date time c-ip cs-method cs-uri-stem sc-status\r\n"
      "2002-05-24 20:18:01 10.0.0.1 GET /x.htm 200\r\n");
  ASSERT_TRUE(parser->SelectLogType({log}));
  EXPECT_TRUE(parser->W3C());
  EXPECT_EQ(LogConfigNames(parser->kbmLogConfig),
            (std::vector<std::string>{"date", "time", "c-ip", "cs-method", "cs-uri-stem", "sc-status"}));

  // A single name gives an empty description: the first token has no space after it.
  auto single = setup.NewParser();
  ASSERT_TRUE(single->SelectLogType({setup.WriteLog("one.log", "#Software: x\r\n#Fields: date\r\n")}));
  EXPECT_EQ(single->kbmLogConfig.RecordCount(), 0);

  // Without a "#Fields: " line there is no description, and description files are not tried.
  EXPECT_FALSE(setup.NewParser()->SelectLogType({setup.WriteLog("none.log", "#Software: x\r\n#Version: 1.0\r\n")}));
  EXPECT_FALSE(setup.NewParser()->SelectLogType({setup.WriteLog("case.log", "#Software: x\r\n#fields: date time\r\n")}));
}

TEST(LogTypeChoice, ReadLogLineSkipsCommentsAndEmptyLines) {
  TParserFixture setup;
  auto parser = setup.NewParser();
  TQelBufferedFile reader;
  reader.SetFileName(setup.WriteLog("mixed.log", "#Fields: x\r\nfirst\r\n\r\n   \r\n#comment\nsecond\r\n#last comment\r\n"));
  reader.Open(omReadExisting);
  std::string line;
  std::vector<std::string> lines;
  while (!reader.Eof()) {
    parser->ReadLogLine(reader, line);
    lines.push_back(line);
  }
  reader.Close();
  // The file ended while skipping: the last line handed back is empty.
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", ""}));
}
