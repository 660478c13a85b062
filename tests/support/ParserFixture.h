#pragma once
// A ready parser for handler tests: a temporary program folder whose config/ holds a
// combined-log description and small lookup tables, a settings module over a memory store,
// and a parser that has chosen its log type for a log file of the given lines.
//
//   TParserFixture fixture;
//   fixture.WriteConfig("errorcodes.lac", TParserFixture::TableText({{"Index", "Text"}, {"200", "OK"}}));
//   TDSearchPattern& parser = fixture.Start({TCombinedLine{}.Text()});
#include <memory>
#include <string>
#include <vector>

#include "support/Fakes.h"
#include "support/TestSupport.h"

class Tglobals;
class TDSearchPattern;

namespace testsupport {

// One line of a combined log, built from its fields.
struct TCombinedLine {
  std::string Ip = "1.2.3.4";
  std::string Date = "10/Oct/2000:13:55:36 +0000";  // as written between the brackets
  std::string Request = "GET /index.html HTTP/1.0";
  std::string Status = "200";
  std::string Bytes = "100";
  std::string Referrer = "-";
  std::string Agent = "Mozilla/5.0";

  // ip - - [date] "request" status bytes "referrer" "agent"
  std::string Text() const;
};

// A common-log line, and the same line with referrer and agent added.
inline const std::string CommonLine = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326";
inline const std::string CombinedLine =
    CommonLine + " \"http://www.example.com/start.html\" \"Mozilla/4.08 [en] (Win98; I ;Nav)\"";

class TParserFixture {
public:
  // Writes the default configuration (see ParserFixture.cpp); nothing is loaded yet.
  TParserFixture();
  ~TParserFixture();
  TParserFixture(const TParserFixture&) = delete;
  TParserFixture& operator=(const TParserFixture&) = delete;

  // Replaces, adds or removes a file below config/ ("errorcodes.lac", "LogTypes/combined.lf").
  // Takes effect at Start.
  void WriteConfig(const std::string& name, const std::string& text);
  void RemoveConfig(const std::string& name);

  // Writes the lines as the log file (CR LF ends), creates the settings module and the
  // parser, and lets the parser choose the log type for that file. Raises when none suits.
  TDSearchPattern& Start(const std::vector<std::string>& lines);

  // A parser of its own, for tests that choose the log type themselves. The settings module
  // it uses is made at the first call and kept; a later Start replaces it, so such parsers
  // are not used after Start.
  std::unique_ptr<TDSearchPattern> NewParser();
  // A new parser that chose its log type for a file whose first line is firstLine. Raises
  // when none suits.
  std::unique_ptr<TDSearchPattern> ParserFor(const std::string& firstLine);
  // Writes a file into the temporary folder and returns its path.
  std::string WriteLog(const std::string& name, const std::string& text) const;

  Tglobals& Globals();         // after Start or NewParser
  TDSearchPattern& Parser();   // after Start
  std::string ProgramDir() const;  // ends in "/"
  std::string ConfigDir() const { return ProgramDir() + "config/"; }
  std::string LogPath() const { return Dir.File("access.log"); }

  // A table file: the first row is the header; every value is written quoted and escaped.
  static std::string TableText(const std::vector<std::vector<std::string>>& rows);
  // A table file of lines written as they stand, for values left unquoted or empty.
  static std::string TableLines(const std::vector<std::string>& lines);
  // The common-log description with empty delimiters (which stand for a space): IP, user,
  // auth, [Date], "Request", StatusCode, Bytes.
  static std::string CommonDescription();
  // The combined-log description: IP, user, auth, [Date], "Request", StatusCode, Bytes,
  // "Referrer", "UserAgent".
  static std::string CombinedDescription();

  TTempDir Dir;
  TMemorySettingsStore Store;
  TFakeDialogs Dialogs;

private:
  Tglobals& KeptGlobals();

  std::unique_ptr<Tglobals> FGlobals;
  std::unique_ptr<TDSearchPattern> FParser;
};

}  // namespace testsupport
