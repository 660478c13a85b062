// Runs the built trevalo-report over small logs and checks its output against hand counts.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "MiniJson.h"
#include "support/GzipBytes.h"
#include "support/ParserFixture.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using minijson::TValue;
using testsupport::ReadBytes;
using testsupport::TCombinedLine;
using testsupport::WriteBytes;

struct TToolResult {
  int Exit = -1;
  std::string Out, Err;
  TValue Json() const { return minijson::Parse(Out); }
};

std::string Quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

// One log line; time is "HH:MM:SS", day the day of October 2000.
std::string Line(const std::string& ip, int day, const std::string& time, const std::string& page,
                 const std::string& status = "200", const std::string& bytes = "100",
                 const std::string& referrer = "-", const std::string& agent = "Mozilla/5.0") {
  TCombinedLine line;
  line.Ip = ip;
  line.Date = std::to_string(day) + "/Oct/2000:" + time + " +0000";
  line.Request = "GET " + page + " HTTP/1.1";
  line.Status = status;
  line.Bytes = bytes;
  line.Referrer = referrer;
  line.Agent = agent;
  return line.Text();
}

std::string LogText(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

class ReportTool : public ::testing::Test {
protected:
  // Runs the tool with a settings file that does not exist and a home of its own, so that
  // it cannot reach the user's settings; the settings file must still not exist after it.
  TToolResult Run(const std::vector<std::string>& args, bool withSettings = true, const std::string& input = {}) {
    std::string command = "env HOME=" + Quoted(Dir.File("home")) + " XDG_CONFIG_HOME=" + Quoted(Dir.File("home")) +
                          " " + Quoted(TREVALO_REPORT_EXE);
    if (withSettings) command += " --settings " + Quoted(SettingsPath());
    for (const auto& a : args) command += " " + Quoted(a);
    WriteBytes(Dir.File("in.txt"), input);
    command += " <" + Quoted(Dir.File("in.txt"));
    command += " >" + Quoted(Dir.File("out.txt")) + " 2>" + Quoted(Dir.File("err.txt"));
    const int status = std::system(command.c_str());
    TToolResult result;
    result.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Out = ReadBytes(Dir.File("out.txt"));
    result.Err = ReadBytes(Dir.File("err.txt"));
    EXPECT_FALSE(fs::exists(SettingsPath())) << "the tool wrote the settings file";
    EXPECT_FALSE(fs::exists(Dir.File("home/trevalo"))) << "the tool touched the default settings folder";
    return result;
  }

  std::string SettingsPath() const { return Dir.File("settings.json"); }

  std::string WriteLog(const std::string& name, const std::vector<std::string>& lines) {
    WriteBytes(Dir.File(name), LogText(lines));
    return Dir.File(name);
  }

  // A copy of the installed configuration.
  fs::path CopyConfig() {
    const fs::path config = Dir.Path() / "config";
    fs::copy(TREVALO_INSTALLED_CONFIG, config, fs::copy_options::recursive);
    return config;
  }

  // A copy of the installed configuration whose only log-type description is the given one.
  std::string ConfigWith(const std::string& description) {
    const fs::path config = CopyConfig();
    fs::remove_all(config / "LogTypes");
    fs::create_directories(config / "LogTypes");
    WriteBytes((config / "LogTypes" / "only.lf").string(), description);
    return config.string();
  }

  testsupport::TTempDir Dir;
};

// Name -> value of a table's rows.
std::map<std::string, std::int64_t> Sums(const TValue& rows, const std::string& name, const std::string& value) {
  std::map<std::string, std::int64_t> result;
  for (const TValue& row : rows.Array()) result[row[name].Str()] = row[value].Int();
  return result;
}

std::map<std::string, std::string> Summary(const TValue& json) {
  std::map<std::string, std::string> result;
  for (const TValue& row : json["general"]["summary"].Array()) result[row["Description"].Str()] = row["Value"].Str();
  return result;
}

const std::string Google = "http://www.google.com/search?q=cheap+flights";

// Fifteen lines over two days. With a 5-minute time area the visitors are: 1.1.1.1 at
// 08:00 (08:01 joins), 2.2.2.2 08:30, 1.1.1.1 09:00, 3.3.3.3 09:02 (09:03 joins), 2.2.2.2
// 13:15 (13:16 joins); next day 1.1.1.1 00:30, 4.4.4.4 08:20, 4.4.4.4 10:00, 1.1.1.1 10:01,
// 5.5.5.5 10:30 (10:33 joins), 2.2.2.2 23:59: 11 visitors.
std::vector<std::string> TwoDays() {
  return {
      Line("1.1.1.1", 10, "08:00:00", "/index.html", "200", "100"),
      Line("1.1.1.1", 10, "08:01:00", "/a.html", "200", "200"),
      Line("2.2.2.2", 10, "08:30:00", "/index.html", "200", "300", Google),
      Line("1.1.1.1", 10, "09:00:00", "/a.html", "404", "50"),
      Line("3.3.3.3", 10, "09:02:00", "/b.html", "200", "400", "http://www.bing.com/search?q=rail+tickets",
           "Opera/9.80 (X11; Linux)"),
      Line("3.3.3.3", 10, "09:03:00", "/logo.gif", "200", "1000"),
      Line("2.2.2.2", 10, "13:15:00", "/a.html", "304", "0"),
      Line("2.2.2.2", 10, "13:16:00", "/index.html", "200", "100"),
      Line("1.1.1.1", 11, "00:30:00", "/index.html", "200", "500", Google),
      Line("4.4.4.4", 11, "08:20:00", "/b.html", "500", "0"),
      Line("4.4.4.4", 11, "10:00:00", "/b.html", "200", "250"),
      Line("1.1.1.1", 11, "10:01:00", "/a.html", "200", "150"),
      Line("5.5.5.5", 11, "10:30:00", "/c.html", "200", "300"),
      Line("5.5.5.5", 11, "10:33:00", "/c.html", "200", "300"),
      Line("2.2.2.2", 11, "23:59:00", "/index.html", "200", "100", "http://www.google.com/search?q=the+train"),
  };
}

TEST_F(ReportTool, GeneralHitsAndPagesAgreeWithAHandCount) {
  // The lines come in two files; the general results cover both.
  const auto lines = TwoDays();
  const std::string first = WriteLog("first.log", {lines.begin(), lines.begin() + 8});
  const std::string second = WriteLog("second.log", {lines.begin() + 8, lines.end()});
  const TToolResult r = Run({"--json", "--time-area", "5", "--config", TREVALO_INSTALLED_CONFIG, first, second});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  const TValue json = r.Json();

  EXPECT_TRUE(json["ok"].Bool());
  EXPECT_TRUE(json["error"].IsNull());
  EXPECT_EQ(json["lineCount"].Int(), 15);
  EXPECT_TRUE(json["missing"].Array().empty());
  EXPECT_EQ(json["files"].Array().size(), 2u);

  const auto summary = Summary(json);
  EXPECT_EQ(summary.at("Time Area"), "2 Day(s)");
  EXPECT_EQ(summary.at("Start Recording"), "2000-10-10 08:00:00");
  EXPECT_EQ(summary.at("End Recording"), "2000-10-11 23:59:00");
  EXPECT_EQ(summary.at("Hits"), "15");
  EXPECT_EQ(summary.at("Visitors"), "11");
  // The busiest day: 8 hits and 2150 bytes on the 10th (7 hits, 1600 bytes on the 11th).
  EXPECT_EQ(summary.at("Average Hits per Day"), "8 hits");
  EXPECT_EQ(summary.at("Average Data Transferred per Day"), "2.15 kilobytes");
  EXPECT_EQ(json["general"]["period"]["start"].Str(), "2000-10-10T08:00:00");
  EXPECT_EQ(json["general"]["period"]["end"].Str(), "2000-10-11T23:59:00");

  EXPECT_EQ(Sums(json["general"]["statusCodes"], "statusCode", "count"),
            (std::map<std::string, std::int64_t>{
                {"200 OK", 12}, {"304 Not Modified", 1}, {"404 Not Found", 1}, {"500 Internal Server Error", 1}}));
  EXPECT_EQ(Sums(json["general"]["browsers"], "Browser", "Count"),
            (std::map<std::string, std::int64_t>{{"Mozilla/5.0", 14}, {"Opera", 1}}));

  // One bar per hour, the hour after midnight labelled 24 and leftmost.
  const TValue& hits = json["hits"];
  ASSERT_EQ(hits.Array().size(), 24u);
  EXPECT_EQ(hits[0]["Name"].Str(), "24");
  std::map<std::string, std::int64_t> expectedHours;
  for (int hour = 1; hour < 24; ++hour) expectedHours[std::to_string(hour)] = 0;
  expectedHours["24"] = 1;
  expectedHours["8"] = 4;
  expectedHours["9"] = 3;
  expectedHours["10"] = 4;
  expectedHours["13"] = 2;
  expectedHours["23"] = 1;
  EXPECT_EQ(Sums(hits, "Name", "Sum"), expectedHours);

  // Phrases with the engine's host, "the" left out as a spare word.
  EXPECT_EQ(Sums(json["search"], "Name", "Summe"),
            (std::map<std::string, std::int64_t>{{"www.google.com - cheap,flights", 2},
                                                  {"www.bing.com - rail,tickets", 1},
                                                  {"www.google.com - train", 1}}));
  // The groups of the not-shown list hide only once switched off in the settings: none is here.
  EXPECT_EQ(Sums(json["pages"], "Name", "Summe"),
            (std::map<std::string, std::int64_t>{
                {"/index.html", 5}, {"/a.html", 4}, {"/b.html", 3}, {"/c.html", 2}, {"/logo.gif", 1}}));
  for (const TValue& row : json["pages"].Array()) EXPECT_TRUE(row["Anzeigen"].Bool());
  EXPECT_EQ(json.Object().count("visits"), 0u);
}

TEST_F(ReportTool, PerVisitorWeekdaysAndText) {
  const std::string log = WriteLog("access.log", TwoDays());
  const TValue json =
      Run({"--json", "--per-user", "--weekday", "--time-area", "5", "--config", TREVALO_INSTALLED_CONFIG, log}).Json();
  // The 10th of October 2000 was a Tuesday; the week starts at the first day met.
  const TValue& hits = json["hits"];
  ASSERT_EQ(hits.Array().size(), 7u);
  EXPECT_EQ(hits[0]["Name"].Str(), "Tuesday");
  EXPECT_EQ(hits[1]["Name"].Str(), "Wednesday");
  const auto sums = Sums(hits, "Name", "Sum");
  EXPECT_EQ(sums.at("Tuesday"), 5);
  EXPECT_EQ(sums.at("Wednesday"), 6);
  EXPECT_EQ(sums.at("Monday"), 0);

  const TToolResult text = Run({"--config", TREVALO_INSTALLED_CONFIG, log});
  EXPECT_EQ(text.Exit, 0) << text.Err;
  EXPECT_EQ(text.Out.rfind("Lines: 15\n", 0), 0u) << text.Out;
  EXPECT_NE(text.Out.find("Short Statistics"), std::string::npos);
  EXPECT_NE(text.Out.find(" Visitors "), std::string::npos);
}

TEST_F(ReportTool, SearchPhrasesWithoutEngineAndLockWords) {
  const std::string log = WriteLog("access.log", TwoDays());
  WriteBytes(Dir.File("lock.txt"), "RAIL\n");
  // Entries above the first group of the not-shown list always hide.
  const fs::path config = CopyConfig();
  const std::string notShown = (config / "notschown.lst").string();
  WriteBytes(notShown, "/logo.gif\n" + ReadBytes(notShown));
  const TToolResult r =
      Run({"--json", "--no-engine", "--lock-words", Dir.File("lock.txt"), "--config", config.string(), log});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  const TValue json = r.Json();
  EXPECT_EQ(Sums(json["search"], "Name", "Summe"),
            (std::map<std::string, std::int64_t>{{"cheap,flights", 2}, {"rail,tickets", 1}, {"train", 1}}));
  // The locked phrase stays in the table, hidden; letter case of the lock word does not matter.
  for (const TValue& row : json["search"].Array())
    EXPECT_EQ(row["Anzeigen"].Bool(), row["Name"].Str() != "rail,tickets") << row["Name"].Str();
  // Pages keep every row shown, as the lock words belong to the phrases; the image is hidden.
  EXPECT_EQ(Sums(json["pages"], "Name", "Summe"),
            (std::map<std::string, std::int64_t>{{"/index.html", 5}, {"/a.html", 4}, {"/b.html", 3}, {"/c.html", 2}}));
  for (const TValue& row : json["pages"].Array()) EXPECT_TRUE(row["Anzeigen"].Bool());
}

TEST_F(ReportTool, VisitorPathsAgreeWithAHandCount) {
  // A at 10:00 and 10:02, B at 10:01 and 10:09: with 5 minutes, visits A, B, B.
  const std::string a = "10.0.0.1", b = "10.0.0.2";
  const std::string log = WriteLog("access.log", {Line(a, 10, "10:00:00", "/one.html"),
                                                  Line(b, 10, "10:01:00", "/two.html"),
                                                  Line(a, 10, "10:02:00", "/three.html"),
                                                  Line(b, 10, "10:09:00", "/four.html")});
  const TToolResult r = Run({"--json", "--process", "--main-page", "/", "--time-area", "5", "--config",
                             TREVALO_INSTALLED_CONFIG, log});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  const TValue json = r.Json();
  const TValue& visits = json["visits"];
  ASSERT_EQ(visits.Array().size(), 3u);

  struct TRow {
    std::string Process, DateTime, TimeViewed;  // empty TimeViewed: null
  };
  auto expectVisit = [&](std::size_t index, const std::string& address, const std::vector<TRow>& rows) {
    SCOPED_TRACE("visit " + std::to_string(index));
    const TValue& visit = visits[index];
    EXPECT_EQ(visit["address"].Str(), address);
    EXPECT_EQ(visit["start"].Str(), rows.front().DateTime);
    const TValue& path = visit["path"];
    ASSERT_EQ(path.Array().size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(path[i]["Process"].Str(), rows[i].Process) << i;
      EXPECT_EQ(path[i]["DateTime"].Str(), rows[i].DateTime) << i;
      if (rows[i].TimeViewed.empty())
        EXPECT_TRUE(path[i]["TimeViewed"].IsNull()) << i;
      else
        EXPECT_EQ(path[i]["TimeViewed"].Str(), rows[i].TimeViewed) << i;
    }
  };
  // Address, entry page, then the pages; each inner row holds the time until the next.
  expectVisit(0, a,
              {{a, "2000-10-10T10:00:00", ""},
               {"/", "2000-10-10T10:00:00", "00:00:00"},
               {"/one.html", "2000-10-10T10:00:00", "00:02:00"},
               {"/three.html", "2000-10-10T10:02:00", ""}});
  expectVisit(1, b,
              {{b, "2000-10-10T10:01:00", ""},
               {"/", "2000-10-10T10:01:00", "00:00:00"},
               {"/two.html", "2000-10-10T10:01:00", ""}});
  expectVisit(2, b,
              {{b, "2000-10-10T10:09:00", ""},
               {"/", "2000-10-10T10:09:00", "00:00:00"},
               {"/four.html", "2000-10-10T10:09:00", ""}});
}

TEST_F(ReportTool, MissingFileIsListedAndTheRestRuns) {
  const std::string log = WriteLog("access.log", TwoDays());
  const std::string missing = Dir.File("gone.log");
  const TToolResult r = Run({"--json", "--config", TREVALO_INSTALLED_CONFIG, missing, log});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  const TValue json = r.Json();
  ASSERT_EQ(json["missing"].Array().size(), 1u);
  EXPECT_EQ(json["missing"][0].Str(), missing);
  EXPECT_EQ(json["lineCount"].Int(), 15);
  EXPECT_EQ(Summary(json).at("Hits"), "15");
}

TEST_F(ReportTool, NoFittingDescriptionExitsWithThree) {
  const std::string log = WriteLog("odd.log", {"this is no access log line at all", "nor is this one"});
  const TToolResult r = Run({"--json", "--config", TREVALO_INSTALLED_CONFIG, log});
  EXPECT_EQ(r.Exit, 3);
  EXPECT_NE(r.Err.find("No configuration file found which suits your log file(s)!"), std::string::npos) << r.Err;
}

TEST_F(ReportTool, DescriptionWithoutUserAgentFailsNamingFileAndLine) {
  // Lines and description stop at the referrer: the browser count asks for the agent.
  const std::string config = ConfigWith(
      "'Name';'LeftChar';'RightChar'\r\n'IP';;' '\r\n'ident';' ';' '\r\n'user';' ';' '\r\n'Date';'[';']'\r\n"
      "'Request';'\"';'\"'\r\n'StatusCode';' ';' '\r\n'Bytes';' ';' '\r\n'Referrer';'\"';'\"'\r\n");
  std::vector<std::string> lines = TwoDays();
  for (std::string& line : lines) line.erase(line.rfind(" \""));
  const std::string log = WriteLog("access.log", lines);
  const TToolResult r = Run({"--json", "--config", config, log});
  EXPECT_EQ(r.Exit, 1);
  const TValue json = r.Json();
  EXPECT_FALSE(json["ok"].Bool());
  const std::string error = json["error"].Str();
  EXPECT_NE(error.find("UserAgent"), std::string::npos) << error;
  EXPECT_NE(error.find("file \"" + log + "\", line 1"), std::string::npos) << error;
  EXPECT_NE(r.Err.find(error), std::string::npos) << r.Err;
}

TEST_F(ReportTool, UsageErrorExitsWithTwo) {
  const TToolResult unknown = Run({"--bogus", "a.log"});
  EXPECT_EQ(unknown.Exit, 2);
  EXPECT_NE(unknown.Err.find("unknown option --bogus"), std::string::npos) << unknown.Err;
  EXPECT_NE(unknown.Err.find("usage: trevalo-report"), std::string::npos);
  EXPECT_TRUE(unknown.Out.empty());
  EXPECT_EQ(Run({"--time-area", "60", "a.log"}).Exit, 2);
  EXPECT_EQ(Run({}, false).Exit, 2);

  const TToolResult help = Run({"--help"}, false);
  EXPECT_EQ(help.Exit, 0);
  EXPECT_EQ(help.Out.rfind("usage: trevalo-report", 0), 0u);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

TEST_F(ReportTool, CompressedRotationGivesTheResultsOfItsText) {
  const std::string plain = WriteLog("access.log", TwoDays());
  const std::string rotated = Dir.File("access.log.2.gz");
  WriteBytes(rotated, testsupport::GzipBytes(ReadBytes(plain)));
  const std::vector<std::string> options = {"--json", "--process", "--main-page", "/index.html", "--config",
                                            TREVALO_INSTALLED_CONFIG};
  auto args = [&](const std::string& file) {
    auto all = options;
    all.push_back(file);
    return all;
  };
  const TToolResult fromPlain = Run(args(plain));
  const TToolResult fromRotated = Run(args(rotated));
  ASSERT_EQ(fromRotated.Exit, 0) << fromRotated.Err;
  EXPECT_EQ(ReplaceAll(fromRotated.Out, rotated, plain), fromPlain.Out);
}

// Every bad line fails in another place, some after a handler has counted parts of it: the
// tolerant run over the log with them gives what a run over the log without them gives.
TEST_F(ReportTool, SkippingBadLinesGivesTheResultsOfTheLogWithoutThem) {
  const std::vector<std::string> clean = TwoDays();
  std::vector<std::string> dirty = clean;
  const std::vector<std::string> bad = {
      Line("6.6.6.6", 10, "12:00:00", "/x.html", "2x0"),          // status: after period and visitors
      Line("6.6.6.6", 10, "12:00:01", "/x.html", "200", "lots"),  // bytes
      "7.7.7.7 - - [10/Oct/2000:12:00:02 +0000] \"GET /y.html?a=1 HTTP/1.1\" 200 100",  // no referrer, agent
      "8.8.8.8 - - [yesterday] \"GET /z.html HTTP/1.1\" 200 100 \"-\" \"Mozilla/5.0\"",      // date
      std::string(5000, 'z'),                                     // too long
      "\x01\x02 junk \xff\xfe",                                   // binary junk
  };
  for (std::size_t i = 0; i < bad.size(); ++i) dirty.insert(dirty.begin() + 2 + 2 * static_cast<std::ptrdiff_t>(i), bad[i]);
  const std::string cleanLog = WriteLog("clean.log", clean);
  const std::string dirtyLog = WriteLog("dirty.log", dirty);
  const std::vector<std::string> options = {"--json", "--config", TREVALO_INSTALLED_CONFIG};
  auto args = [&](const std::string& file, bool tolerant) {
    auto all = options;
    if (tolerant) all.push_back("--skip-bad-lines");
    all.push_back(file);
    return all;
  };
  const TToolResult expected = Run(args(cleanLog, false));
  ASSERT_EQ(expected.Exit, 0) << expected.Err;
  EXPECT_EQ(Run(args(dirtyLog, false)).Exit, 1);  // off: the first bad line ends the run

  const TToolResult tolerant = Run(args(dirtyLog, true));
  ASSERT_EQ(tolerant.Exit, 0) << tolerant.Err;
  EXPECT_EQ(ReplaceAll(tolerant.Out, dirtyLog, cleanLog), expected.Out);
  EXPECT_EQ(tolerant.Err, "6 line(s) could not be read and were skipped; the first was line 3 of " + dirtyLog + ".\n");
  // With nothing to skip, a tolerant run is the plain run.
  EXPECT_EQ(Run(args(cleanLog, true)).Out, expected.Out);

  // The visitor paths read request, address and date only: the lines with a bad status,
  // bad bytes or no agent serve them.
  auto withPaths = args(dirtyLog, true);
  withPaths.insert(withPaths.begin(), {"--process", "--main-page", "/index.html"});
  const TToolResult paths = Run(withPaths);
  ASSERT_EQ(paths.Exit, 0) << paths.Err;
  EXPECT_NE(paths.Err.find("\n3 line(s) could not be read and were skipped; the first was line 9 of " + dirtyLog + "."),
            std::string::npos)
      << paths.Err;
}

// The nasty samples: a tolerant run ends only where the description cannot serve the
// analyses at all; a file that runs without it runs the same with it.
TEST_F(ReportTool, TolerantRunsOverTheNastyCorpus) {
  const fs::path corpus = testsupport::CorpusDir();
  if (!fs::exists(corpus / "nasty")) GTEST_SKIP() << "no corpus at " << corpus;
  int tolerated = 0;
  for (const auto& entry : fs::directory_iterator(corpus / "nasty")) {
    const std::string log = entry.path().string();
    SCOPED_TRACE(log);
    const TToolResult plain = Run({"--json", "--config", TREVALO_INSTALLED_CONFIG, log});
    const TToolResult tolerant = Run({"--json", "--skip-bad-lines", "--config", TREVALO_INSTALLED_CONFIG, log});
    if (plain.Exit == 0 || plain.Exit == 3) {
      EXPECT_EQ(tolerant.Exit, plain.Exit);
      EXPECT_EQ(tolerant.Out, plain.Out);
      continue;
    }
    const std::string error = plain.Json()["error"].Str();
    if (error.find("not found in configuration") != std::string::npos) {
      EXPECT_EQ(tolerant.Exit, 1);
      EXPECT_EQ(tolerant.Json()["error"].Str(), error);
      continue;
    }
    // The plain run's error is on the first line the tolerant run skips.
    ASSERT_EQ(tolerant.Exit, 0) << tolerant.Err;
    const std::size_t at = error.rfind("line ");
    const std::string line = error.substr(at + 5, error.size() - at - 6);
    EXPECT_NE(tolerant.Err.find("; the first was line " + line + " of " + log + "."), std::string::npos) << tolerant.Err;
    const TValue json = tolerant.Json();
    EXPECT_TRUE(json["ok"].Bool());
    EXPECT_EQ(Summary(json).at("Hits"), std::to_string(json["lineCount"].Int()));
    ++tolerated;
  }
  EXPECT_GE(tolerated, 3);  // both honeynet rotations and the empty request
}

}  // namespace

namespace {

const std::string ChromeAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36";
const std::string GooglebotAgent = "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)";

std::vector<std::string> PeopleAndCrawlers() {
  return {
      Line("1.1.1.1", 10, "08:00:00", "/", "200", "100", "-", ChromeAgent),
      Line("9.9.9.9", 10, "08:00:10", "/", "200", "100", "-", GooglebotAgent),
      Line("1.1.1.1", 10, "08:01:00", "/a.html", "200", "100", "-", ChromeAgent),
      Line("2.2.2.2", 10, "08:02:00", "/", "200", "100", "-", "Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0"),
      Line("8.8.8.8", 10, "08:03:00", "/", "200", "100", "-", "curl/8.4.0"),
      Line("9.9.9.9", 10, "08:04:00", "/a.html", "200", "100", "-", GooglebotAgent),
      Line("3.3.3.3", 10, "08:05:00", "/", "200", "100", "-", ChromeAgent),
  };
}

}  // namespace

TEST_F(ReportTool, BrowsersSystemsAndCrawlersByCount) {
  const std::string log = WriteLog("mixed.log", PeopleAndCrawlers());
  const TToolResult r = Run({"--json", "--config", TREVALO_INSTALLED_CONFIG, log});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  const TValue json = r.Json();
  const TValue& general = json["general"];
  EXPECT_EQ(general["browsers"][0]["Browser"].Str(), "Chrome");
  EXPECT_EQ(general["browsers"][0]["Count"].Int(), 3);
  EXPECT_EQ(Sums(general["systems"], "System", "Count"),
            (std::map<std::string, std::int64_t>{{"Windows", 3}, {"unknown", 3}, {"Linux", 1}}));
  EXPECT_EQ(Sums(general["crawlers"], "Crawler", "Count"),
            (std::map<std::string, std::int64_t>{{"Googlebot", 2}, {"curl", 1}}));
  EXPECT_EQ(general["crawlers"][0]["Crawler"].Str(), "Googlebot");  // highest first
  EXPECT_TRUE(json["crawlerHitsLeftOut"].IsNull());
  EXPECT_EQ(Summary(json).count("Crawler Hits Left Out"), 0u);

  const TToolResult versions = Run({"--json", "--browser-versions", "--config", TREVALO_INSTALLED_CONFIG, log});
  EXPECT_EQ(versions.Json()["general"]["browsers"][0]["Browser"].Str(), "Chrome 120");

  const TToolResult text = Run({"--csv", Dir.File("csv"), "--config", TREVALO_INSTALLED_CONFIG, log});
  EXPECT_NE(text.Out.find("\nSystems\n"), std::string::npos) << text.Out;
  EXPECT_NE(text.Out.find("\nCrawlers\n"), std::string::npos) << text.Out;
  EXPECT_NE(ReadBytes(Dir.File("csv/crawlers.csv")).find("Googlebot,2"), std::string::npos);
  EXPECT_NE(ReadBytes(Dir.File("csv/systems.csv")).find("Windows,3"), std::string::npos);
}

TEST_F(ReportTool, NoCrawlersLeavesTheirLinesOutOfEveryTable) {
  const std::string log = WriteLog("mixed.log", PeopleAndCrawlers());
  const TToolResult r = Run({"--json", "--no-crawlers", "--config", TREVALO_INSTALLED_CONFIG, log});
  ASSERT_EQ(r.Exit, 0) << r.Err;
  const TValue json = r.Json();
  EXPECT_EQ(json["lineCount"].Int(), 4);
  EXPECT_EQ(json["crawlerHitsLeftOut"].Int(), 3);
  const auto summary = Summary(json);
  EXPECT_EQ(summary.at("Hits"), "4");
  EXPECT_EQ(summary.at("Visitors"), "3");
  EXPECT_EQ(summary.at("Crawler Hits Left Out"), "3");
  EXPECT_TRUE(json["general"]["crawlers"].Array().empty());
  EXPECT_EQ(Sums(json["pages"], "Name", "Summe"), (std::map<std::string, std::int64_t>{{"/", 3}, {"/a.html", 1}}));

  // A log of crawlers only: no hits at all.
  const std::string robots = WriteLog("robots.log", {PeopleAndCrawlers()[1], PeopleAndCrawlers()[4]});
  const TValue none = Run({"--json", "--no-crawlers", "--config", TREVALO_INSTALLED_CONFIG, robots}).Json();
  EXPECT_EQ(none["lineCount"].Int(), 0);
  EXPECT_EQ(Summary(none).at("Hits"), "0");
  EXPECT_EQ(Summary(none).at("Crawler Hits Left Out"), "2");
}

TEST_F(ReportTool, ClassifiesTheAgentsOfStandardInputLineByLine) {
  const TToolResult r = Run({"--config", TREVALO_INSTALLED_CONFIG, "--classify-agents"}, true,
                            ChromeAgent + "\r\ncurl/8.4.0\n\n-\nMy \"agent\" \xff");
  ASSERT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out,
            "{\"agent\": \"" + ChromeAgent +
                "\", \"browser\": \"Chrome\", \"browserVersion\": \"120\", \"system\": \"Windows\", \"crawler\": null}\n"
                "{\"agent\": \"curl/8.4.0\", \"browser\": \"curl\", \"browserVersion\": \"8\", \"system\": null, "
                "\"crawler\": \"curl\"}\n"
                "{\"agent\": \"\", \"browser\": null, \"browserVersion\": null, \"system\": null, \"crawler\": null}\n"
                "{\"agent\": \"-\", \"browser\": null, \"browserVersion\": null, \"system\": null, \"crawler\": null}\n"
                "{\"agent\": \"My \\\"agent\\\" \\u00ff\", \"browser\": null, \"browserVersion\": null, \"system\": null, "
                "\"crawler\": null}\n");
  EXPECT_EQ(Run({"--classify-agents", "some.log"}).Exit, 2);
}

TEST_F(ReportTool, DamagedAgentDataIsAnErrorNamingItAndNothingRuns) {
  const fs::path config = CopyConfig();
  const std::string data = (config / "agentdata.lac").string();
  WriteBytes(data, ReadBytes(data).substr(0, 5000));
  const std::string log = WriteLog("mixed.log", PeopleAndCrawlers());
  const TToolResult r = Run({"--json", "--config", config.string(), log});
  EXPECT_EQ(r.Exit, 1);
  EXPECT_NE(r.Err.find(data), std::string::npos) << r.Err;
  const TValue json = r.Json();
  EXPECT_FALSE(json["ok"].Bool());
  EXPECT_EQ(json["lineCount"].Int(), 0);
  EXPECT_TRUE(json["pages"].Array().empty());

  const TToolResult classify = Run({"--config", config.string(), "--classify-agents"}, true, "curl/1\n");
  EXPECT_EQ(classify.Exit, 1);
  EXPECT_NE(classify.Err.find(data), std::string::npos) << classify.Err;
}
