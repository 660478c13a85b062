// Whatever the user names as input, a run ends with a clear message naming the file (and the
// line, for a log line) or with the usual outcome, never with a crash or a hang.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "run/AnalysisRun.h"
#include "support/Fakes.h"
#include "support/ParserFixture.h"

using namespace testsupport;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// How a run over a bad input ends.
struct TOutcome {
  enum TKind { Handled, RunError, FileError, NoDescription, Missing } Kind;
  std::int64_t Lines = 0;  // Handled: lines the bad file gave; RunError: the line named
  std::string Text = {};   // a part of the message
};

struct TInputCase {
  const char* What;
  std::function<void(const std::string& path)> Make;  // creates the input at path
  TOutcome First;  // the bad file listed first, so the log type is chosen from it
  TOutcome Later;  // listed after a good log
};

std::string Binary() {
  std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  std::uint32_t state = 12345;
  for (int i = 0; i < 8000; ++i) {
    state = state * 1103515245u + 12345u;
    bytes += static_cast<char>(state >> 24);
  }
  return bytes;
}

void Write(const std::string& bytes, const std::string& path) { WriteBytes(path, bytes); }

class BadInputTest : public ::testing::Test {
protected:
  BadInputTest() {
    Fixture.Start({Good});
    Run = std::make_unique<TAnalysisRun>(Fixture.Globals(), Fixture.Dialogs, Host);
  }

  // Asks for what every analysis asks for, so that a line that is no log line shows.
  TLineHandler Reader() {
    return [this](const std::string& line, TDSearchPattern& parser) {
      parser.GetDateTime(line);
      parser.GetField(line, TFieldKind::Request);
      Lines.push_back(line);
    };
  }

  void ExpectOutcome(const std::vector<std::string>& files, const std::string& bad, const TOutcome& expected) {
    Lines.clear();
    Fixture.Dialogs.Shown.clear();
    std::int64_t lineCount = 0;
    const std::size_t goodLines = files.size() - 1;  // one line in every good log
    try {
      const bool suited = Run->RunAnalysis({Reader()}, lineCount, files);
      switch (expected.Kind) {
        case TOutcome::Handled:
          EXPECT_TRUE(suited);
          EXPECT_EQ(Lines.size(), goodLines + static_cast<std::size_t>(expected.Lines));
          EXPECT_TRUE(Fixture.Dialogs.Shown.empty());
          break;
        case TOutcome::NoDescription:
          EXPECT_FALSE(suited);
          EXPECT_EQ(Fixture.Dialogs.TextsOf("warning"),
                    std::vector<std::string>{"No configuration file found which suits your log file(s)!"});
          break;
        case TOutcome::Missing:
          EXPECT_TRUE(suited);
          EXPECT_EQ(Lines.size(), goodLines);
          ASSERT_EQ(Fixture.Dialogs.TextsOf("message").size(), 1u);
          EXPECT_TRUE(Contains(Fixture.Dialogs.TextsOf("message")[0], "\"" + bad + " \""));
          break;
        default:
          ADD_FAILURE() << "the run ended without an error";
      }
    } catch (const ERunError& e) {
      EXPECT_EQ(expected.Kind, TOutcome::RunError) << e.what();
      EXPECT_EQ(e.File(), bad);
      EXPECT_EQ(e.Line(), expected.Lines);
      EXPECT_TRUE(Contains(e.OriginalMessage(), expected.Text)) << e.what();
    } catch (const EQelFileError& e) {
      EXPECT_EQ(expected.Kind, TOutcome::FileError) << e.what();
      EXPECT_TRUE(Contains(e.what(), bad)) << e.what();
      EXPECT_TRUE(Contains(e.what(), expected.Text)) << e.what();
    }
  }

  // The bad input first and after a good log.
  void Check(const TInputCase& c) {
    SCOPED_TRACE(c.What);
    const std::string bad = Fixture.Dir.File("bad.log");
    c.Make(bad);
    const std::string good = Fixture.WriteLog("good.log", Good + "\r\n");
    {
      SCOPED_TRACE("listed first");
      ExpectOutcome({bad, good}, bad, c.First);
    }
    {
      SCOPED_TRACE("listed after a good log");
      ExpectOutcome({good, bad}, bad, c.Later);
    }
    std::filesystem::remove_all(bad);
  }

  const std::string Good = TCombinedLine{}.Text();
  TParserFixture Fixture;
  TFakeRunHost Host;
  std::unique_ptr<TAnalysisRun> Run;
  std::vector<std::string> Lines;
};

}  // namespace

TEST_F(BadInputTest, LogFilesThatAreNoLogs) {
  TCombinedLine odd;
  odd.Request = "GET /caf\xe9\xff\xfe.html HTTP/1.0";
  odd.Referrer = "http://www.google.com/search?q=\xc3+\xe2\x82";
  odd.Agent = "\xc3";
  const std::string overlong = "line longer than max line length";
  const std::vector<TInputCase> cases = {
      {"binary file", [](const std::string& p) { Write(Binary(), p); },
       {TOutcome::NoDescription},
       {TOutcome::RunError, 1, "(\"Date\") missing in line"}},
      {"only NUL bytes", [](const std::string& p) { Write(std::string(20000, '\0'), p); },
       {TOutcome::FileError, 0, overlong + " in file \"" + Fixture.Dir.File("bad.log") + "\" (line 1)"},
       {TOutcome::Handled, 0}},
      {"a log cut off inside its second line",
       [&](const std::string& p) { Write(Good + "\r\n" + Good.substr(0, 30), p); },
       {TOutcome::RunError, 2, "(\"Date\") missing in line"},
       {TOutcome::RunError, 2, "(\"Date\") missing in line"}},
      {"invalid UTF-8", [&](const std::string& p) { Write(odd.Text() + "\n", p); },
       {TOutcome::Handled, 1},
       {TOutcome::Handled, 1}},
      {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); },
       {TOutcome::Missing},
       {TOutcome::Missing}},
      {"a named pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
       {TOutcome::FileError, 0, "cannot open file"},
       {TOutcome::FileError, 0, "cannot open file"}},
  };
  for (const TInputCase& c : cases) Check(c);

  // Bytes that are no text pass to the handlers as they are.
  Lines.clear();
  std::int64_t lineCount = 0;
  ASSERT_TRUE(Run->RunAnalysis({Reader()}, lineCount, {Fixture.WriteLog("odd.log", odd.Text() + "\n")}));
  EXPECT_EQ(Lines, std::vector<std::string>{odd.Text()});
}

TEST_F(BadInputTest, ALineOf100MBEndsTheRunNamingFileAndLine) {
  const std::string overlong = "line longer than max line length";
  Check({"100 MB in one line", [](const std::string& p) { Write(std::string(100 << 20, 'x'), p); },
         {TOutcome::FileError, 0, overlong + " in file \"" + Fixture.Dir.File("bad.log") + "\" (line 1)"},
         {TOutcome::RunError, 1, overlong}});
}

TEST_F(BadInputTest, UnreadableFileNamesTheFile) {
  const std::string bad = Fixture.WriteLog("bad.log", Good + "\r\n");
  ::chmod(bad.c_str(), 0);
  if (::access(bad.c_str(), R_OK) == 0) GTEST_SKIP() << "running with rights that read any file (root)";
  Check({"a file without read permission", [](const std::string& p) { ::chmod(p.c_str(), 0); },
         {TOutcome::FileError, 0, "cannot open file"},
         {TOutcome::FileError, 0, "cannot open file"}});
}

// Hand-edited descriptions: whatever they hold, the choice ends in the warning, or in a
// description whose fields the parser then reports as missing.
TEST_F(BadInputTest, DescriptionFilesThatDoNotDescribe) {
  const std::string header = "'Name';'LeftChar';'RightChar'\r\n";
  struct TCase {
    const char* What;
    std::string Bytes;
    bool Suits;  // alone, it is chosen for the log
  };
  const TCase cases[] = {
      {"unterminated quote", header + "'IP';;\r\n'user';;\r\n'Date';'[';']\r\n", false},
      {"integer in the delimiter column", header + "'IP';;\r\n'user';;\r\n'auth';;\r\n'Date';5;']'\r\n", false},
      {"integer for the name", header + "7;' ';' '\r\n", false},
      {"no records", header, false},
      {"no header either", "", false},
      // Many unnamed space-separated fields: a line of fewer fields fits them.
      {"binary", Binary(), true},
  };
  const std::string log = Fixture.WriteLog("good.log", Good + "\r\n");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Fixture.RemoveConfig("LogTypes/combined.lf");
    Fixture.WriteConfig("LogTypes/other.lf", c.Bytes);
    auto parser = Fixture.NewParser();
    EXPECT_EQ(parser->SelectLogType({log}), c.Suits);
    if (c.Suits) {
      try {
        parser->GetField(Good, TFieldKind::Request);
        ADD_FAILURE() << "a description without a Request field gave one";
      } catch (const ETDSearchPatternError& e) {
        EXPECT_STREQ(e.what(), "TDSearchPattern Error, part \"Request\" not found in configuration!");
      }
    }
    // Beside a good one that comes first, the good one is chosen.
    Fixture.WriteConfig("LogTypes/combined.lf", TParserFixture::CombinedDescription());
    parser = Fixture.NewParser();
    ASSERT_TRUE(parser->SelectLogType({log}));
    EXPECT_EQ(parser->GetField(Good, TFieldKind::Request), "GET /index.html HTTP/1.0");
  }
}
