// Output of trevalo-report that cannot be turned against its user: links planted in the CSV
// folder, hostile log text in the text report, formula cells, concurrent runs, signals, a
// replacement table that feeds itself and missing lookup tables.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "MiniJson.h"
#include "base/VisibleText.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

const std::string Sample = TREVALO_SAMPLE_LOG;

std::string Quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Line(const std::string& request, const std::string& referrer = "-", const std::string& agent = "x") {
  return "1.2.3.4 - - [02/Jan/2023:07:55:51 +0100] \"" + request + "\" 200 10 \"" + referrer + "\" \"" + agent + "\"\n";
}

class ReportOutput : public ::testing::Test {
protected:
  ReportOutput() { fs::copy(TREVALO_INSTALLED_CONFIG, Config, fs::copy_options::recursive); }

  std::string Command(const std::vector<std::string>& args, const std::string& out, const std::string& err) const {
    std::string command = "env HOME=" + Quoted(Dir.File("home")) + " " + Quoted(TREVALO_REPORT_EXE) +
                          " --settings " + Quoted(Dir.File("settings.json")) + " --config " + Quoted(Config);
    for (const auto& a : args) command += " " + Quoted(a);
    return command + " >" + Quoted(out) + " 2>" + Quoted(err);
  }
  int Run(const std::vector<std::string>& args) {
    const int status = std::system(Command(args, Dir.File("out.txt"), Dir.File("err.txt")).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out() const { return ReadBytes(Dir.File("out.txt")); }
  std::string Err() const { return ReadBytes(Dir.File("err.txt")); }
  // Nothing the tool made is left beside the CSV folder.
  void ExpectNothingBeside() const {
    for (const auto& entry : fs::directory_iterator(Dir.Path()))
      EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
  }

  testsupport::TTempDir Dir;
  const std::string Config = Dir.File("config");
};

}  // namespace

TEST_F(ReportOutput, PlantedLinksAreReplacedAndTheSetIsThisRunsAlone) {
  const std::string folder = Dir.File("csv");
  fs::create_directory(folder);
  WriteBytes(Dir.File("victim.txt"), "precious");
  fs::create_symlink(Dir.File("victim.txt"), folder + "/summary.csv");
  WriteBytes(folder + "/visits.csv", "of an earlier run with --process");
  ASSERT_EQ(Run({"--csv", folder, Sample}), 0) << Err();
  EXPECT_EQ(ReadBytes(Dir.File("victim.txt")), "precious");
  EXPECT_FALSE(fs::is_symlink(folder + "/summary.csv"));
  EXPECT_EQ(ReadBytes(folder + "/summary.csv").rfind("Description,Value\r\n", 0), 0u);
  EXPECT_FALSE(fs::exists(folder + "/visits.csv"));
  EXPECT_NE(Out().find("Short Statistics"), std::string::npos);  // standard output as well
  ExpectNothingBeside();
}

TEST_F(ReportOutput, HostileLogTextStaysTextInTheReport) {
  const std::string log = Dir.File("hostile.log");
  WriteBytes(log, Line("GET /\x1B]0;pwned\x07\x1B[2J HTTP/1.1") +
                      Line("GET /b\xE2\x80\xAEgpj.exe\xC2\x9B HTTP/1.1") +
                      Line("GET /M\xC3\xBCnchen-\xE4\xB8\xAD HTTP/1.1", "http://www.google.com/search?q=a%0d%0a++fake+row") +
                      Line("GET /plain HTTP/1.1"));
  ASSERT_EQ(Run({"--no-engine", log}), 0) << Err();
  const std::string out = Out();
  for (unsigned char c : out) ASSERT_TRUE(c >= 0x20 || c == '\n') << "a control character reached the report";
  EXPECT_EQ(out.find("\xE2\x80\xAE"), std::string::npos);
  EXPECT_EQ(out.find("\xC2\x9B"), std::string::npos);
  EXPECT_NE(out.find("/\\x1B]0;pwned\\x07\\x1B[2J"), std::string::npos);
  EXPECT_NE(out.find("/b\\u202Egpj.exe\\u009B"), std::string::npos);
  EXPECT_NE(out.find("\"a\\r\\n\",fake,row"), std::string::npos);
  // Every page row of the text table has its count in one display column.
  const std::string pages = out.substr(out.find("\nPages\n") + 7);
  std::vector<std::size_t> columns;
  for (std::size_t at = pages.find('\n') + 1; at < pages.size() && pages[at] != '\n';) {
    const std::size_t end = pages.find('\n', at);
    const std::string row = pages.substr(at, end - at);
    // ID, Name, Summe: the count starts after the name's padding.
    const std::size_t name = row.find_first_not_of(' ', row.find_first_not_of("  0123456789"));
    const std::size_t count = row.find_first_of("0123456789", row.find("  ", name));
    columns.push_back(DisplayWidth(row.substr(0, count)));
    at = end + 1;
  }
  ASSERT_EQ(columns.size(), 4u);
  for (std::size_t c : columns) EXPECT_EQ(c, columns[0]);
}

TEST_F(ReportOutput, FormulaCellsGetAnApostropheUnlessRawIsAsked) {
  const std::string log = Dir.File("formulas.log");
  WriteBytes(log, Line("GET =HYPERLINK(1) HTTP/1.1", "-", "-") + Line("GET -2+3 HTTP/1.1") +
                      Line("GET @SUM(1) HTTP/1.1") + Line("GET -42 HTTP/1.1"));
  ASSERT_EQ(Run({"--csv", Dir.File("safe"), log}), 0) << Err();
  const std::string safe = ReadBytes(Dir.File("safe/pages.csv"));
  for (const char* cell : {",'=HYPERLINK(1),", ",'-2+3,", ",'@SUM(1),", ",-42,"})
    EXPECT_NE(safe.find(cell), std::string::npos) << cell << " in " << safe;
  ASSERT_EQ(Run({"--csv", Dir.File("raw"), "--csv-raw", log}), 0) << Err();
  const std::string raw = ReadBytes(Dir.File("raw/pages.csv"));
  for (const char* cell : {",=HYPERLINK(1),", ",-2+3,", ",@SUM(1),", ",-42,"})
    EXPECT_NE(raw.find(cell), std::string::npos) << cell << " in " << raw;
}

TEST_F(ReportOutput, ConcurrentRunsLeaveOneCompleteSet) {
  // Two logs of different sizes: each run's summary and pages tell which run wrote them.
  std::string small, large;
  for (int i = 0; i < 30; ++i) small += Line("GET /small HTTP/1.1");
  for (int i = 0; i < 3000; ++i) large += Line("GET /large" + std::to_string(i % 50) + " HTTP/1.1");
  WriteBytes(Dir.File("small.log"), small);
  WriteBytes(Dir.File("large.log"), large);
  const std::string folder = Dir.File("csv");
  for (int round = 0; round < 8; ++round) {
    const std::string both = Command({"--csv", folder, Dir.File("small.log")}, "/dev/null", Dir.File("e1")) + " & " +
                             Command({"--csv", folder, Dir.File("large.log")}, "/dev/null", Dir.File("e2")) + "; wait";
    ASSERT_EQ(std::system(both.c_str()), 0);
    const std::string summary = ReadBytes(folder + "/summary.csv");
    const std::string pages = ReadBytes(folder + "/pages.csv");
    const bool smallSet = summary.find("Hits,30\r\n") != std::string::npos;
    EXPECT_TRUE(smallSet || summary.find("Hits,3000\r\n") != std::string::npos) << summary;
    EXPECT_EQ(pages.find("/small") != std::string::npos, smallSet) << "a mixed set in round " << round;
  }
  ExpectNothingBeside();
}

TEST_F(ReportOutput, AnEndingSignalLeavesTheOldSetAndNothingElse) {
  std::string log;
  const std::string sample = ReadBytes(Sample);
  for (int i = 0; i < 30; ++i) log += sample;
  WriteBytes(Dir.File("long.log"), log);
  const std::string folder = Dir.File("csv");
  ASSERT_EQ(Run({"--csv", folder, Sample}), 0) << Err();
  const std::string old = ReadBytes(folder + "/pages.csv");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGTERM, SIG_DFL);
    ::execl("/bin/sh", "sh", "-c",
            ("exec " + Command({"--process", "--main-page", "/", "--csv", folder, Dir.File("long.log")}, "/dev/null",
                               "/dev/null")).c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Stopped as soon as the new set's folder is there, while the run goes on.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  bool seen = false;
  while (!seen && std::chrono::steady_clock::now() < deadline) {
    for (const auto& entry : fs::directory_iterator(Dir.Path())) seen = seen || entry.path().filename().string()[0] == '.';
    if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(ReadBytes(folder + "/pages.csv"), old);
  EXPECT_FALSE(fs::exists(folder + "/visits.csv"));
  ExpectNothingBeside();
}

TEST_F(ReportOutput, AFeedingReplacementTableIsBoundAndNamedOnce) {
  std::string table = "'hexChar';'search';'replace'\r\n";
  for (char c = 'a'; c < 'f'; ++c) table += "'';'" + std::string(1, c) + "';'" + std::string(20, c + 1) + "'\r\n";
  WriteBytes(Config + "/replace.lac", table);
  std::string log;
  for (int i = 0; i < 50; ++i)
    log += Line("GET / HTTP/1.1", "http://www.google.com/search?q=" + std::string(1000, 'a'));
  WriteBytes(Dir.File("feed.log"), log);
  ASSERT_EQ(Run({"--json", Dir.File("feed.log")}), 4) << Err();
  // Row 1 stops on the query's letters; the host's "c"s grow through rows 3 and 4 until row 5.
  EXPECT_EQ(Count(Err(), "row 1 of the replacement table"), 1u) << Err();
  EXPECT_EQ(Count(Err(), "row 5 of the replacement table"), 1u) << Err();
  EXPECT_EQ(Count(Err(), "warning: "), 2u) << Err();
  const auto json = minijson::Parse(Out());
  ASSERT_EQ(json["warnings"].Array().size(), 2u);
  EXPECT_NE(json["warnings"][0].Str().find("4096 bytes"), std::string::npos);
}

TEST_F(ReportOutput, MissingOrDamagedTablesCompleteWithWarnings) {
  fs::remove(Config + "/search.txt");
  fs::remove(Config + "/errorcodes.lac");
  fs::create_symlink("errorcodes.lac", Config + "/errorcodes.lac");  // a link to itself
  WriteBytes(Config + "/spare.lac", "'spareText'\r\n");
  ASSERT_EQ(Run({"--json", Sample}), 4) << Err();
  const auto json = minijson::Parse(Out());
  ASSERT_EQ(json["warnings"].Array().size(), 2u);
  EXPECT_NE(json["warnings"][0].Str().find(Config + "/errorcodes.lac: Too many levels of symbolic links"),
            std::string::npos);
  EXPECT_NE(json["warnings"][1].Str().find(Config + "/search.txt: No such file or directory"), std::string::npos);
  for (const auto& file : {"errorcodes.lac", "search.txt"}) EXPECT_EQ(Count(Err(), file), 1u) << Err();
  EXPECT_TRUE(json["ok"].Bool());
  ASSERT_EQ(Run({"--help"}), 0);
  EXPECT_NE(Out().find("4 completed with warnings"), std::string::npos) << Out();
}

TEST_F(ReportOutput, AnOverLongLineNamesItsFileOnce) {
  WriteBytes(Dir.File("long.log"), Line("GET /a HTTP/1.1") + Line("GET /" + std::string(300000, 'a') + " HTTP/1.1"));
  EXPECT_EQ(Run({Dir.File("long.log")}), 1);
  EXPECT_EQ(Count(Err(), Dir.File("long.log")), 1u) << Err();
  EXPECT_NE(Err().find("line 2"), std::string::npos) << Err();
}
