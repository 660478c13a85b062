#include <gtest/gtest.h>

#include <random>

#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"
#include "run/AnalysisRun.h"
#include "support/Fakes.h"
#include "support/ParserFixture.h"

using namespace testsupport;

namespace {

std::string Line(const std::string& ip, const std::string& time = "10:00:00") {
  TCombinedLine line;
  line.Ip = ip;
  line.Date = "10/Oct/2000:" + time + " +0000";
  return line.Text();
}

// A program folder with the combined description, a settings module and a run over it.
class AnalysisRunTest : public ::testing::Test {
protected:
  AnalysisRunTest() {
    Fixture.Start({Line("0.0.0.0")});
    Run = std::make_unique<TAnalysisRun>(Fixture.Globals(), Fixture.Dialogs, Host);
  }

  std::string Log(const std::string& name, const std::string& bytes) {
    const std::string path = Fixture.Dir.File(name);
    WriteBytes(path, bytes);
    return path;
  }

  // A handler that records the lines it gets.
  TLineHandler Recorder(std::vector<std::string>& lines) {
    return [&lines](const std::string& line, TDSearchPattern&) { lines.push_back(line); };
  }

  TParserFixture Fixture;
  TFakeRunHost Host;
  std::unique_ptr<TAnalysisRun> Run;
};

}  // namespace

TEST_F(AnalysisRunTest, HandsEveryLineOfEveryFileToEveryHandlerAndReportsMissingFilesOnce) {
  const std::string a = Log("a.log", Line("1.1.1.1") + "\r\n#comment\r\n\r\n" + Line("2.2.2.2") + "\n");
  const std::string empty = Log("empty.log", "");
  const std::string missing1 = Fixture.Dir.File("gone1.log");
  const std::string missing2 = Fixture.Dir.File("gone2.log");
  std::vector<std::string> first, second;
  std::int64_t lineCount = -1;

  ASSERT_TRUE(Run->RunAnalysis({Recorder(first), Recorder(second)}, lineCount, {a, empty, missing1, a, missing2}));

  const std::vector<std::string> expected = {Line("1.1.1.1"), Line("2.2.2.2"), Line("1.1.1.1"), Line("2.2.2.2")};
  EXPECT_EQ(first, expected);
  EXPECT_EQ(second, expected);
  EXPECT_EQ(lineCount, 4);
  EXPECT_EQ(Host.Maximum, 4);
  EXPECT_EQ(Fixture.Dialogs.TextsOf("message"),
            std::vector<std::string>{"This file(s) couldn't be found : \"" + missing1 + " \",\"" + missing2 + " \""});
  EXPECT_EQ(Run->MissingFiles(), (std::vector<std::string>{missing1, missing2}));
  EXPECT_EQ(Host.Positions.back(), 0);
}

TEST_F(AnalysisRunTest, NoSuitableDescriptionWarnsAndReadsNothing) {
  std::vector<std::string> lines;
  std::int64_t lineCount = -1;
  EXPECT_FALSE(Run->RunAnalysis({Recorder(lines)}, lineCount, {Fixture.Dir.File("nothing.log")}));
  EXPECT_EQ(Fixture.Dialogs.TextsOf("warning"),
            std::vector<std::string>{"No configuration file found which suits your log file(s)!"});
  EXPECT_TRUE(Fixture.Dialogs.TextsOf("message").empty());
  EXPECT_TRUE(lines.empty());
}

TEST_F(AnalysisRunTest, StopEndsTheRunAfterTheCurrentHandler) {
  const std::string a = Log("a.log", Line("1.1.1.1") + "\n" + Line("2.2.2.2") + "\n" + Line("3.3.3.3") + "\n");
  std::vector<std::string> later;
  int calls = 0;
  auto stopper = [&](const std::string&, TDSearchPattern&) {
    if (++calls == 2) Run->Stop();
  };
  std::int64_t lineCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({stopper, Recorder(later)}, lineCount, {a, Fixture.Dir.File("gone.log"), a}));
  EXPECT_EQ(later, std::vector<std::string>{Line("1.1.1.1")});
  EXPECT_EQ(Run->Processed(), 2);
  EXPECT_EQ(lineCount, 6);  // the counting pass saw every file
  EXPECT_TRUE(Fixture.Dialogs.TextsOf("message").empty());  // files after the stop are not reported

  // The next run clears the flag.
  later.clear();
  ASSERT_TRUE(Run->RunAnalysis({Recorder(later)}, lineCount, {a}));
  EXPECT_EQ(later.size(), 3u);
}

TEST_F(AnalysisRunTest, NulBytesBeforeALineAreSkippedWithItsFirstCharacter) {
  const std::string a = Log("a.log", Line("0.0.0.0") + "\n" + std::string(5000, '\0') + Line("1.1.1.1") + "\n" + Line("2.2.2.2") + "\n");
  std::vector<std::string> lines;
  std::int64_t lineCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({Recorder(lines)}, lineCount, {a}));
  EXPECT_EQ(lines, (std::vector<std::string>{Line("0.0.0.0"), Line("1.1.1.1").substr(1), Line("2.2.2.2")}));
}

TEST_F(AnalysisRunTest, TheFirstLineMovesTheProgressBar) {
  const std::string a = Log("a.log", Line("1.1.1.1") + "\n" + Line("2.2.2.2") + "\n");
  std::vector<std::string> lines;
  std::int64_t lineCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({Recorder(lines)}, lineCount, {a}));
  EXPECT_EQ(Host.EventRounds, 1);  // the clock stands still after the first yield
  EXPECT_EQ(Host.Positions, (std::vector<std::int64_t>{0, 1, 0}));
}

TEST_F(AnalysisRunTest, ErrorsNameTheFileAndTheLine) {
  const std::string a = Log("a.log", Line("1.1.1.1") + "\n#comment\n" + Line("2.2.2.2") + "\n");
  int calls = 0;
  auto failing = [&](const std::string&, TDSearchPattern&) {
    if (++calls == 2) throw std::runtime_error("bad line");
  };
  std::int64_t lineCount = 0;
  try {
    Run->RunAnalysis({failing}, lineCount, {a});
    FAIL() << "the run should end with the handler's error";
  } catch (const ERunError& e) {
    EXPECT_EQ(e.OriginalMessage(), "bad line");
    EXPECT_EQ(e.File(), a);
    EXPECT_EQ(e.Line(), 3);
    EXPECT_EQ(std::string(e.what()), "bad line (file \"" + a + "\", line 3)");
  }
}

TEST_F(AnalysisRunTest, ALineTooLongForTheRecoveryEndsTheRunNamingIt) {
  const std::string a = Log("a.log", Line("1.1.1.1") + "\n" + std::string(9000, 'x') + "\n");
  std::vector<std::string> lines;
  std::int64_t lineCount = 0;
  try {
    Run->RunAnalysis({Recorder(lines)}, lineCount, {a});
    FAIL() << "the over-long line should end the run";
  } catch (const ERunError& e) {
    EXPECT_EQ(e.File(), a);
    EXPECT_EQ(e.Line(), 2);
    EXPECT_NE(e.OriginalMessage().find("line longer than max line length"), std::string::npos);
  }
}

// The counting pass looks at lines in the reader's buffer without handing them out; it must
// count exactly the lines the handling pass hands out, whatever the file holds.
TEST_F(AnalysisRunTest, TheCountingPassCountsTheLinesTheHandlingPassHandsOut) {
  std::mt19937 random(20261210);
  const char* const ends[] = {"\n", "\r\n", "\r"};
  const std::string pieces[] = {
      Line("1.1.1.1"),
      "",                                        // blank
      " \t ",                                    // blanks only
      "#" + Line("2.2.2.2"),                     // comment
      Line("3.3.3.3") + " \t" + std::string(2, '\0'),  // trailing blanks and NULs
      std::string(3, '\0') + Line("4.4.4.4"),    // NULs inside a line
      std::string(4000, 'x'),                    // the longest line taken
      std::string(4100, '\0') + Line("5.5.5.5"), // NULs beyond the limit: skipped
      std::string(4100, '\0') + "#" + Line("6.6.6.6"),
      std::string(4100, '\0') + "\n",
  };
  std::vector<std::string> files;
  for (int f = 0; f < 4; ++f) {
    std::string bytes = Line("0.0.0.0") + "\n";  // the line the log type is chosen by
    for (int i = 0; i < 400; ++i) bytes += pieces[random() % std::size(pieces)] + ends[random() % 3];
    if (f == 3) bytes += Line("7.7.7.7");  // no line end at the end
    files.push_back(Log("f" + std::to_string(f) + ".log", bytes));
  }

  std::vector<std::string> lines;
  std::int64_t lineCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({Recorder(lines)}, lineCount, files));
  EXPECT_EQ(lineCount, static_cast<std::int64_t>(lines.size()));
  EXPECT_EQ(Run->Processed(), lineCount);
  EXPECT_GT(lineCount, 500);  // the files are not mostly skipped
}
