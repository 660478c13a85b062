#include "config/CsvWriter.h"

#include <sys/stat.h>

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

TEST(CsvWriter, CellsThatASpreadsheetWouldRunStayText) {
  const std::vector<TFieldCase> cases = {
      {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
      {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
      {"-2+3", "'-2+3"},
      {"@SUM(1)", "'@SUM(1)"},
      {"\tlead", "'\tlead"},
      {"\rlead", "\"'\rlead\""},
      {"-", "'-"},
      {"/=a", "/=a"},  // only the first character counts
      {"a=b", "a=b"},
      // Numbers stay numbers.
      {"-5", "-5"},
      {"+1.5", "+1.5"},
      {"-1,234", "\"-1,234\""},
      {"-1.", "'-1."},
      {"-1e5", "'-1e5"},
  };
  for (const auto& c : cases) EXPECT_EQ(TCsvWriter::Field(c.Text), c.Written) << c.Text;
  TCsvWriter exact(TCsvCells::Exact);
  exact.AddRow({"=1+1", "-x", "@a", "\tb"});
  EXPECT_EQ(exact.Text(), "=1+1,-x,@a,\tb\r\n");
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

TEST(CsvWriter, SavingReplacesALinkAtTheNameWithANewFile) {
  testsupport::TTempDir dir;
  testsupport::WriteBytes(dir.File("victim.txt"), "precious");
  ::chmod(dir.File("victim.txt").c_str(), 0666);
  std::filesystem::create_symlink(dir.File("victim.txt"), dir.File("pages.csv"));
  const mode_t mask = ::umask(022);
  TCsvWriter csv;
  csv.AddRow({"x"});
  csv.SaveToFile(dir.File("pages.csv"));
  ::umask(mask);
  EXPECT_EQ(testsupport::ReadBytes(dir.File("victim.txt")), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(dir.File("pages.csv")));
  EXPECT_EQ(testsupport::ReadBytes(dir.File("pages.csv")), "x\r\n");
  EXPECT_EQ(std::filesystem::status(dir.File("pages.csv")).permissions(), std::filesystem::perms(0644));
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
    EXPECT_NE(std::string(e.what()).find(path + "\": No such file or directory"), std::string::npos) << e.what();
  }
}

TEST(CsvWriter, TabSeparatedLinesKeepEachFieldInOneCell) {
  EXPECT_EQ(TabSeparatedLine({"a", "b,c", "\"q\""}), "a\tb,c\t\"q\"\n");
  EXPECT_EQ(TabSeparatedLine({"x\ty", "two\r\nlines"}), "x y\ttwo  lines\n");
  EXPECT_EQ(TabSeparatedLine({}), "\n");
}

}  // namespace
