#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "base/TableFile.h"
#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path InstalledConfig = TREVALO_INSTALLED_CONFIG;
const fs::path Corpus = testsupport::CorpusDir();

// Real-looking lines of each layout the installed descriptions are meant for.
const std::string Date = "[17/May/2015:10:05:03 +0000]";
const std::map<std::string, std::vector<std::string>> SampleLines = {
    {"common",
     {"83.149.9.216 - - " + Date + " \"GET /presentations/logstash/images/kibana.png HTTP/1.1\" 200 203023",
      "in24.inetnebr.com - - [01/Aug/1995:00:00:01 -0400] \"GET /shuttle/missions/sts-68/news/ HTTP/1.0\" 200 1839",
      "10.1.2.3 - frank " + Date + " \"POST /cgi-bin/form.pl?a=1 HTTP/1.0\" 302 -",
      "::1 - - " + Date + " \"GET /favicon.ico HTTP/1.1\" 404 209"}},
    {"combined",
     {"83.149.9.216 - - " + Date +
          " \"GET /style2.css HTTP/1.1\" 200 4877 \"http://www.semicomplete.com/projects/xdotool/\" "
          "\"Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/32.0.1700.107 Safari/537.36\"",
      "66.249.73.135 - - " + Date +
          " \"GET /blog/tags/ipv6 HTTP/1.1\" 200 12251 \"-\" \"Mozilla/5.0 (compatible; Googlebot/2.1; "
          "+http://www.google.com/bot.html)\"",
      "10.0.0.7 - alice " + Date +
          " \"GET /search?q=a+b HTTP/1.1\" 200 3221225472 \"http://www.google.de/search?q=log+analyser\" \"curl/7.64\"",
      "10.0.0.8 - - " + Date + " \"-\" 408 - \"-\" \"-\""}},
    {"combined-forwarded",
     {"54.36.149.41 - - [22/Jan/2019:03:56:14 +0330] \"GET /filter/27|13,p53 HTTP/1.1\" 200 30577 \"-\" "
      "\"Mozilla/5.0 (compatible; AhrefsBot/6.1; +http://ahrefs.com/robot/)\" \"-\"",
      "172.17.0.1 - - [29/May/2017:19:02:48 +0000] \"GET /stringpatch HTTP/1.1\" 404 612 \"-\" "
      "\"Mozilla/5.0 (Windows NT 6.1; rv:15.0) Gecko/20120716 Firefox/15.0a2\" \"10.0.0.1, 10.0.0.2\""}},
    {"vhost-common",
     {"www.example.com 83.149.9.216 - - " + Date + " \"GET /index.html HTTP/1.1\" 200 5120",
      "shop.example.org:443 10.1.2.3 - bob " + Date + " \"GET /cart HTTP/1.1\" 304 -"}},
    {"vhost-combined",
     {"www.example.com 1.2.3.4 - theuser [10/Feb/2012:16:42:07 -0500] \"GET /index.html HTTP/1.0\" 301 368 \"-\" "
      "\"Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/535.11 (KHTML, like Gecko) Chrome/17.0.963.56 Safari/535.11\"",
      "blog.example.net:80 66.249.73.135 - - " + Date +
          " \"GET /feed HTTP/1.1\" 200 9120 \"http://www.bing.com/search?q=feed\" \"Feedly/1.0\""}},
};

// The layouts each installed description fits. A "[" or a quote is searched for, so the
// common and combined descriptions also fit the lines of their virtual-host forms (the
// fields before the date are passed over); the virtual-host descriptions come first by name.
const std::map<std::string, std::set<std::string>> LayoutsOf = {
    {"10-vhost-combined.lf", {"vhost-combined"}},
    {"20-vhost-common.lf", {"vhost-common"}},
    {"30-nginx-combined-forwarded.lf", {"combined-forwarded"}},
    {"40-combined.lf", {"combined", "vhost-combined"}},
    {"50-common.lf", {"common", "vhost-common"}}};
// The description chosen among all installed ones for each layout.
const std::map<std::string, std::string> ChosenFor = {
    {"common", "50-common.lf"}, {"combined", "40-combined.lf"},
    {"combined-forwarded", "30-nginx-combined-forwarded.lf"}, {"vhost-common", "20-vhost-common.lf"},
    {"vhost-combined", "10-vhost-combined.lf"}};

std::vector<fs::path> InstalledDescriptions() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(InstalledConfig / "LogTypes"))
    if (entry.path().extension() == ".lf") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> NamesOf(TMemTable& table) {
  std::vector<std::string> names;
  for (int row = 0; row < table.RecordCount(); ++row) names.push_back(table.AsStringAt(row, 0));
  return names;
}

std::vector<std::string> NamesIn(const fs::path& file) {
  TMemTable table("names", {{"Name", TFieldType::String, 15}, {"LeftChar", TFieldType::String, 1},
                            {"RightChar", TFieldType::String, 1}});
  table.Open();
  LoadTableFile(table, file.string());
  return NamesOf(table);
}

// A program folder whose config holds the installed tables and the given descriptions only.
class TInstalledSetup {
public:
  explicit TInstalledSetup(const std::vector<fs::path>& descriptions) {
    const fs::path config = Dir.Path() / "config";
    fs::create_directories(config / "LogTypes");
    for (const auto& entry : fs::directory_iterator(InstalledConfig))
      if (entry.is_regular_file()) fs::copy_file(entry.path(), config / entry.path().filename());
    for (const fs::path& description : descriptions) fs::copy_file(description, config / "LogTypes" / description.filename());
    Globals = std::make_unique<Tglobals>(Store, Dialogs, Dir.Path().string() + "/");
  }

  // The parser after choosing a description for a log that starts with firstLine; nothing
  // when no description suits.
  std::unique_ptr<TDSearchPattern> Choose(const std::string& firstLine) {
    const std::string log = Dir.File("access.log");
    testsupport::WriteBytes(log, firstLine + "\r\n");
    auto parser = std::make_unique<TDSearchPattern>(*Globals, (Dir.Path() / "config").string() + "/");
    if (!parser->SelectLogType({log})) return nullptr;
    return parser;
  }

  testsupport::TTempDir Dir;
  testsupport::TMemorySettingsStore Store;
  testsupport::TFakeDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;
};

// The installed description whose field names the parser holds.
std::string ChosenDescription(TDSearchPattern& parser) {
  const auto names = NamesOf(parser.kbmLogConfig);
  for (const fs::path& description : InstalledDescriptions())
    if (NamesIn(description) == names) return description.filename().string();
  return "?";
}

// Every kind the analyses ask for comes out of a line that fits.
void ExpectFieldsOf(TDSearchPattern& parser, const std::string& line) {
  SCOPED_TRACE(line);
  EXPECT_GT(parser.GetDateTime(line), 30000);  // after 1982
  EXPECT_FALSE(parser.GetField(line, TFieldKind::IP).empty());
  EXPECT_FALSE(parser.GetField(line, TFieldKind::Request).empty());
  EXPECT_GT(parser.GetInteger(line, TFieldKind::StatusCode), 99);
  EXPECT_GE(parser.GetInt64(line, TFieldKind::Bytes), 0);
}

std::vector<std::string> FirstLines(const fs::path& file, int count) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (static_cast<int>(lines.size()) < count && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

TEST(InstalledLogTypes, EachDescriptionFitsTheLinesItIsMeantFor) {
  const auto descriptions = InstalledDescriptions();
  ASSERT_FALSE(descriptions.empty());
  for (const fs::path& description : descriptions) {
    const std::string name = description.filename().string();
    ASSERT_TRUE(LayoutsOf.count(name)) << name << " is not known to this test: say which lines it is meant for";
    TInstalledSetup setup({description});
    for (const auto& [layout, lines] : SampleLines) {
      const bool meant = LayoutsOf.at(name).count(layout) > 0;
      for (const std::string& line : lines) {
        auto parser = setup.Choose(line);
        EXPECT_EQ(parser != nullptr, meant) << name << (meant ? " does not fit " : " fits ") << line;
        if (parser && meant) ExpectFieldsOf(*parser, line);
      }
    }
  }
}

TEST(InstalledLogTypes, AllTogetherTheRightOneIsChosen) {
  TInstalledSetup setup(InstalledDescriptions());
  for (const auto& [layout, lines] : SampleLines)
    for (const std::string& line : lines) {
      auto parser = setup.Choose(line);
      ASSERT_TRUE(parser) << line;
      EXPECT_EQ(ChosenDescription(*parser), ChosenFor.at(layout)) << line;
      ExpectFieldsOf(*parser, line);
    }
  // A date without its zone is no log date: no description fits.
  EXPECT_FALSE(setup.Choose("66.249.66.1 - - [31/Jan/2015:14:29:44 ] \"GET / HTTP/1.1\" 200 814"));
}

TEST(InstalledLogTypes, RealLogsFromTheCorpus) {
  if (!fs::exists(Corpus)) GTEST_SKIP() << "no corpus at " << Corpus;
  struct TCase {
    const char* File;
    const char* Chosen;
    int MinimumFits;  // of the first 200 lines
  };
  const TCase cases[] = {
      {"apache/elastic_apache_logs_2015.log", "40-combined.lf", 200},
      {"nginx/lnav_shop_access_2019.log", "30-nginx-combined-forwarded.lf", 200},
      {"nasty/honeynet_2004_access_log.24", "40-combined.lf", 200},
      {"nasty/nasa_aug95_split_records.log", "50-common.lf", 180},  // records split across lines
      {"nasty/matomo_common_vhost_big5.log", "10-vhost-combined.lf", 1},
  };
  TInstalledSetup setup(InstalledDescriptions());
  for (const TCase& c : cases) {
    const fs::path file = Corpus / c.File;
    if (!fs::exists(file)) continue;
    const auto lines = FirstLines(file, 200);
    auto parser = setup.Choose(lines.front());
    ASSERT_TRUE(parser) << c.File;
    EXPECT_EQ(ChosenDescription(*parser), c.Chosen) << c.File;
    int fits = 0;
    for (const std::string& line : lines)
      if (parser->MatchesLine(line)) {
        ++fits;
        ExpectFieldsOf(*parser, line);
      }
    EXPECT_GE(fits, c.MinimumFits) << c.File;
  }
}

TEST(InstalledLogTypes, CommonAndCombinedKeepApartOnRealLogs) {
  const fs::path combinedLog = Corpus / "apache/elastic_apache_logs_2015.log";
  const fs::path commonLog = Corpus / "nasty/nasa_aug95_split_records.log";
  if (!fs::exists(combinedLog) || !fs::exists(commonLog)) GTEST_SKIP() << "no corpus at " << Corpus;
  TInstalledSetup common({InstalledConfig / "LogTypes" / "50-common.lf"});
  TInstalledSetup combined({InstalledConfig / "LogTypes" / "40-combined.lf"});
  auto commonParser = common.Choose(SampleLines.at("common").front());
  auto combinedParser = combined.Choose(SampleLines.at("combined").front());
  ASSERT_TRUE(commonParser && combinedParser);
  for (const std::string& line : FirstLines(combinedLog, 200)) EXPECT_FALSE(commonParser->MatchesLine(line)) << line;
  for (const std::string& line : FirstLines(commonLog, 200)) EXPECT_FALSE(combinedParser->MatchesLine(line)) << line;
}
