#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "run/AnalysisRun.h"
#include "support/Fakes.h"
#include "support/GzipBytes.h"
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

// Rotated logs: compressed content reads as its text, also for the choice of the log type.
TEST_F(AnalysisRunTest, CompressedLogsGiveTheLinesOfTheirText) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += Line("1.1.1." + std::to_string(i % 250)) + (i % 2 ? "\r\n" : "\n");
  const std::string plain = Log("access.log", text);
  const std::string rotated = Log("access.log.2.gz", GzipBytes(text.substr(0, 1000)) + GzipBytes(text.substr(1000)));
  std::vector<std::string> fromPlain, fromRotated;
  std::int64_t plainCount = 0, rotatedCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({Recorder(fromRotated)}, rotatedCount, {rotated}));
  ASSERT_TRUE(Run->RunAnalysis({Recorder(fromPlain)}, plainCount, {plain}));
  EXPECT_EQ(fromRotated, fromPlain);
  EXPECT_EQ(rotatedCount, 3000);
  EXPECT_EQ(Host.Maximum, 3000);  // progress counts lines, as for plain files
}

// Damage is no bad line: tolerant or not, the run ends naming the file and the first line
// that could not be read.
TEST_F(AnalysisRunTest, DamagedCompressedLogEndsTheRunNamingFileAndLine) {
  const std::string good = GzipBytes(Line("1.1.1.1") + "\n#comment\n" + Line("2.2.2.2") + "\n");
  const std::string cut = Log("access.log.1.gz", good + GzipBytes(Line("3.3.3.3") + "\n").substr(0, 12));
  for (const bool tolerant : {false, true}) {
    SCOPED_TRACE(tolerant);
    Run->SetSkipBadLines(tolerant);
    std::vector<std::string> lines;
    std::int64_t lineCount = 0;
    try {
      Run->RunAnalysis({Recorder(lines)}, lineCount, {cut});
      ADD_FAILURE() << "the damaged file should end the run";
    } catch (const ERunError& e) {
      EXPECT_EQ(e.File(), cut);
      EXPECT_EQ(e.Line(), 4);
      EXPECT_EQ(e.OriginalMessage(), "cannot read file \"" + cut + "\": the compressed data ends too early");
    }
  }
  // Damage before the first line stops the choice of the log type, naming the file.
  std::string badHeader = good;
  badHeader[3] = static_cast<char>(0xe0);
  const std::string bad = Log("access.log.3.gz", badHeader);
  std::int64_t lineCount = 0;
  try {
    Run->RunAnalysis({}, lineCount, {bad});
    ADD_FAILURE() << "no error for a damaged header";
  } catch (const EQelFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("cannot read file \"" + bad + "\": the compressed data is damaged", 0), 0u);
  }
}

namespace {

// What a handler reads of a line: the date and the user agent.
void CheckDateAndAgent(const std::string& line, TDSearchPattern& parser) {
  parser.GetDateTime(line);
  parser.GetField(line, TFieldKind::UserAgent);
}

}  // namespace

TEST_F(AnalysisRunTest, TolerantRunSkipsUnreadableLinesAndTellsTheFirst) {
  const std::string noAgent = "3.3.3.3 - - [10/Oct/2000:10:00:00 +0000] \"GET / HTTP/1.0\" 200 1";
  const std::string badDate = "4.4.4.4 - - [yesterday] \"GET / HTTP/1.0\" 200 1 \"-\" \"Mozilla/5.0\"";
  const std::string a = Log("a.log", Line("1.1.1.1") + "\n" + std::string(9000, 'x') + "\n#comment\n" +
                                         Line("2.2.2.2") + "\n" + noAgent + "\r\n" + badDate + "\n" +
                                         std::string(5000, '\0') + Line("5.5.5.5") + "\n" + Line("6.6.6.6") + "\n");
  const std::string b = Log("b.log", Line("7.7.7.7") + "\n" + std::string(5000, 'y'));
  Run->SetLineCheck(CheckDateAndAgent);
  Run->SetSkipBadLines(true);
  std::vector<std::string> lines;
  std::int64_t lineCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({Recorder(lines)}, lineCount, {a, b}));
  // The recovery after NUL bytes works as in any run.
  EXPECT_EQ(lines, (std::vector<std::string>{Line("1.1.1.1"), Line("2.2.2.2"), Line("5.5.5.5").substr(1),
                                             Line("6.6.6.6"), Line("7.7.7.7")}));
  EXPECT_EQ(lineCount, 5);  // both passes leave out the same lines
  EXPECT_EQ(Run->Processed(), 5);
  EXPECT_EQ(Run->Skipped().Count, 4);
  EXPECT_EQ(Fixture.Dialogs.TextsOf("message"),
            std::vector<std::string>{"4 line(s) could not be read and were skipped; the first was line 2 of " + a + "."});

  // Off (the default), the first bad line ends the run, the check notwithstanding.
  Run->SetSkipBadLines(false);
  lines.clear();
  EXPECT_THROW(Run->RunAnalysis({Recorder(lines)}, lineCount, {a}), ERunError);
  try {
    Run->RunAnalysis({Recorder(lines)}, lineCount, {Log("c.log", Line("1.1.1.1") + "\n" + noAgent + "\n")});
  } catch (const ERunError&) {
    ADD_FAILURE() << "without tolerance the check has no say";
  }
  EXPECT_EQ(lines.back(), noAgent);
  EXPECT_EQ(Run->Skipped().Count, 0);
}

// Only the line's own faults are skipped: a description that lacks a kind, or a handler's
// own error, still ends the run.
TEST_F(AnalysisRunTest, TolerantRunStillEndsOnOtherErrors) {
  const std::string a = Log("a.log", Line("1.1.1.1") + "\n" + Line("2.2.2.2") + "\n");
  Run->SetSkipBadLines(true);
  std::int64_t lineCount = 0;
  Run->SetLineCheck([](const std::string&, TDSearchPattern&) {
    throw ETDSearchPatternError("TDSearchPattern Error, part \"Referrer\" not found in configuration!");
  });
  EXPECT_THROW(Run->RunAnalysis({}, lineCount, {a}), ERunError);
  Run->SetLineCheck(CheckDateAndAgent);
  auto failing = [](const std::string&, TDSearchPattern&) { throw EConvertError("from the handler"); };
  EXPECT_THROW(Run->RunAnalysis({failing}, lineCount, {a}), ERunError);
  EXPECT_TRUE(Fixture.Dialogs.TextsOf("message").empty());
}

// Records split in two by a stray line end every few KiB, and a last record cut off: the
// halves that lack a field are skipped, every other line is handled.
TEST_F(AnalysisRunTest, TolerantRunOverSplitRecordsOfTheCorpus) {
  const std::string log = testsupport::CorpusDir() + "/nasty/nasa_aug95_split_records.log";
  if (!std::filesystem::exists(log)) GTEST_SKIP() << "no corpus";
  Fixture.WriteConfig("LogTypes/common.lf", TParserFixture::CommonDescription());
  Run->SetLineCheck([](const std::string& line, TDSearchPattern& parser) {
    parser.GetDateTime(line);
    parser.GetField(line, TFieldKind::Request);
    parser.GetInteger(line, TFieldKind::StatusCode);
    parser.GetInt64(line, TFieldKind::Bytes);
  });
  Run->SetSkipBadLines(true);
  std::int64_t lineCount = 0, handled = 0;
  ASSERT_TRUE(Run->RunAnalysis({[&](const std::string&, TDSearchPattern&) { ++handled; }}, lineCount, {log}));

  std::int64_t lines = 0;
  const std::string text = ReadBytes(log);
  for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    ++lines;
    if (text.find('\n', at) == std::string::npos) break;
  }
  EXPECT_EQ(lineCount, handled);
  EXPECT_GT(Run->Skipped().Count, 10);
  EXPECT_LT(Run->Skipped().Count, 100);
  EXPECT_EQ(handled + Run->Skipped().Count, lines);
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
    // LF only in the first two files, where whole buffers are counted at once.
    for (int i = 0; i < 400; ++i) bytes += pieces[random() % std::size(pieces)] + ends[f < 2 ? 0 : random() % 3];
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

TEST_F(AnalysisRunTest, TheLineFilterKeepsLinesFromEveryHandlerAndFromTheLineCount) {
  const std::string a = Log("a.log", Line("1.1.1.1") + "\n" + Line("2.2.2.2") + "\nbroken\n" + Line("3.3.3.3") + "\n");
  std::vector<std::string> first, second, asked;
  Run->SetLineFilter([&](const std::string& line, TDSearchPattern& parser) {
    asked.push_back(line);
    return parser.GetField(line, TFieldKind::IP) != "2.2.2.2";
  });
  Run->SetLineCheck(CheckDateAndAgent);
  Run->SetSkipBadLines(true);
  std::int64_t lineCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({Recorder(first), Recorder(second)}, lineCount, {a}));
  EXPECT_EQ(first, (std::vector<std::string>{Line("1.1.1.1"), Line("3.3.3.3")}));
  EXPECT_EQ(second, first);
  EXPECT_EQ(asked.size(), 3u);  // the line the check refused is not asked
  EXPECT_EQ(lineCount, 2);
  EXPECT_EQ(Run->LeftOut(), 1);
  EXPECT_EQ(Run->Processed(), 2);
  EXPECT_EQ(Run->Skipped().Count, 1);

  // The next run without a filter hands out every line again.
  Run->SetLineFilter(nullptr);
  first.clear();
  ASSERT_TRUE(Run->RunAnalysis({Recorder(first)}, lineCount, {a}));
  EXPECT_EQ(first.size(), 3u);
  EXPECT_EQ(Run->LeftOut(), 0);
}
