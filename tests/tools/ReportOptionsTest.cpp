#include <gtest/gtest.h>

#include "ReportOptions.h"

namespace {

using TArgs = std::vector<std::string>;

TEST(ReportOptions, UsageErrors) {
  const TArgs cases[] = {
      {},                                   // no file
      {"--json"},                           // options but no file
      {"--bogus", "a.log"},                 // unknown option
      {"-x", "a.log"},                      // unknown short option
      {"--time-area", "0", "a.log"},        // below the range
      {"--time-area", "60", "a.log"},       // above the range
      {"--time-area", "abc", "a.log"},      // no number
      {"--time-area", "5x", "a.log"},       // trailing text
      {"--time-area", "", "a.log"},         // empty
      {"a.log", "--time-area"},             // value missing
      {"a.log", "--settings"},
      {"a.log", "--config"},
      {"a.log", "--lock-words"},
      {"a.log", "--main-page"},
      {"a.log", "--csv"},
  };
  for (const TArgs& args : cases) {
    std::string line;
    for (const auto& a : args) line += "[" + a + "]";
    EXPECT_THROW(ParseReportOptions(args), EUsageError) << line;
  }
}

TEST(ReportOptions, ValuesAreTaken) {
  const TReportOptions o = ParseReportOptions(
      {"--json", "--csv", "out", "--weekday", "--per-user", "--time-area", "59", "--settings", "s.ini", "--config", "cfg",
       "--no-engine", "--lock-words", "words.txt", "--process", "--main-page", "/", "--skip-bad-lines", "a.log",
       "b.log"});
  EXPECT_TRUE(o.Json);
  EXPECT_EQ(o.CsvDir, "out");
  EXPECT_TRUE(o.Weekday);
  EXPECT_TRUE(o.PerUser);
  EXPECT_EQ(o.TimeArea, 59);
  EXPECT_EQ(o.SettingsFile, "s.ini");
  EXPECT_EQ(o.ConfigDir, "cfg");
  EXPECT_TRUE(o.NoEngine);
  EXPECT_EQ(o.LockWordsFile, "words.txt");
  EXPECT_TRUE(o.Process);
  EXPECT_EQ(o.MainPage, "/");
  EXPECT_TRUE(o.SkipBadLines);
  EXPECT_EQ(o.Files, (TArgs{"a.log", "b.log"}));
}

TEST(ReportOptions, DefaultsAndSpecialArguments) {
  const TReportOptions plain = ParseReportOptions({"a.log"});
  EXPECT_FALSE(plain.Json || plain.Weekday || plain.PerUser || plain.NoEngine || plain.Process || plain.SkipBadLines);
  EXPECT_FALSE(plain.TimeArea.has_value());
  EXPECT_FALSE(plain.MainPage.has_value());
  EXPECT_TRUE(plain.SettingsFile.empty() && plain.ConfigDir.empty() && plain.LockWordsFile.empty() && plain.CsvDir.empty());

  EXPECT_EQ(ParseReportOptions({"--time-area", "1", "a.log"}).TimeArea, 1);
  // After "--" every argument is a file, also one that looks like an option.
  EXPECT_EQ(ParseReportOptions({"--", "--json", "-"}).Files, (TArgs{"--json", "-"}));
  EXPECT_FALSE(ParseReportOptions({"--", "--json"}).Json);
  // A lone "-" is a file name; help and version need no file.
  EXPECT_EQ(ParseReportOptions({"-"}).Files, (TArgs{"-"}));
  EXPECT_TRUE(ParseReportOptions({"--help"}).Help);
  EXPECT_TRUE(ParseReportOptions({"-h"}).Help);
  EXPECT_TRUE(ParseReportOptions({"--version"}).Version);
}

}  // namespace
