#include "config/CsvWriter.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "log/QelNewFile.h"
#include "support/TestSupport.h"

namespace {

struct TFieldCase {
  std::string Text;
  std::string Written;
};

TEST(CsvWriter, QuotesOnlyTheFieldsThatNeedIt) {
  const std::vector<TFieldCase> cases = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\rhere", "\"cr\rhere\""},
      {"crlf\r\n", "\"crlf\r\n\""},
      {" spaces kept ", " spaces kept "},
      {"tab\tis plain", "tab\tis plain"},
      {"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"},  // UTF-8 as it is
      {"caf\xE9", "caf\xC3\xA9"},                                                   // Latin-1 byte
      {"\xFF,", "\"\xC3\xBF,\""},
  };
  for (const auto& c : cases) EXPECT_EQ(TCsvWriter::Field(c.Text), c.Written) << c.Text;
}

TEST(CsvWriter, RowsEndInCrLfAndSaveReplacesTheFile) {
  TCsvWriter csv;
  csv.AddRow({"Name", "Summe"});
  csv.AddRow({"/a,b.html", "3"});
  csv.AddRow({"multi\r\nline \"x\"", ""});
  const std::string expected = "Name,Summe\r\n\"/a,b.html\",3\r\n\"multi\r\nline \"\"x\"\"\",\r\n";
  EXPECT_EQ(csv.Text(), expected);

  testsupport::TTempDir dir;
  const std::string path = dir.File("pages.csv");
  testsupport::WriteBytes(path, "old content that is longer than the new one .............................");
  csv.SaveToFile(path);
  EXPECT_EQ(testsupport::ReadBytes(path), expected);
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(CsvWriter, SavingIntoAMissingFolderFailsNamingTheFile) {
  testsupport::TTempDir dir;
  TCsvWriter csv;
  csv.AddRow({"x"});
  const std::string path = dir.File("missing/out.csv");
  try {
    csv.SaveToFile(path);
    FAIL() << "no error";
  } catch (const EQelFileError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

TEST(CsvWriter, TabSeparatedLinesKeepEachFieldInOneCell) {
  EXPECT_EQ(TabSeparatedLine({"a", "b,c", "\"q\""}), "a\tb,c\t\"q\"\n");
  EXPECT_EQ(TabSeparatedLine({"x\ty", "two\r\nlines"}), "x y\ttwo  lines\n");
  EXPECT_EQ(TabSeparatedLine({}), "\n");
}

}  // namespace
