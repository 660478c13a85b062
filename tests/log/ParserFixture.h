#pragma once
// A program folder with a small configuration, the settings module over it, and parsers.
#include <memory>
#include <string>

#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"
#include "support/Fakes.h"
#include "support/TestSupport.h"

namespace parsertest {

// Table file text: a header line and records, values in apostrophes, CR LF ends.
std::string TableText(const std::string& header, std::initializer_list<std::string> records);

inline const std::string CommonDescription = TableText("'Name';'LeftChar';'RightChar'",
    {"'IP';;", "'user';;", "'auth';;", "'Date';'[';']'", "'Request';'\"';'\"'", "'StatusCode';;", "'Bytes';;"});
inline const std::string CombinedDescription = TableText("'Name';'LeftChar';'RightChar'",
    {"'IP';;", "'user';;", "'auth';;", "'Date';'[';']'", "'Request';'\"';'\"'", "'StatusCode';;", "'Bytes';;",
     "'Referrer';'\"';'\"'", "'UserAgent';'\"';'\"'"});

inline const std::string L1 = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326";
inline const std::string L2 =
    L1 + " \"http://www.example.com/start.html\" \"Mozilla/4.08 [en] (Win98; I ;Nav)\"";

class TParserSetup {
public:
  // replaceRecords: rows of replace.lac as table-file lines ("'+';'+';' '").
  explicit TParserSetup(std::initializer_list<std::string> replaceRecords = {});

  std::string ConfigDir() const { return Dir.Path().string() + "/config/"; }
  void WriteConfig(const std::string& name, const std::string& text) const;
  void WriteLogType(const std::string& name, const std::string& text) const;
  // A log file in the folder; returns its path.
  std::string WriteLog(const std::string& name, const std::string& text) const;
  std::unique_ptr<TDSearchPattern> NewParser();
  // A parser that chose its description for a log whose first line is firstLine.
  std::unique_ptr<TDSearchPattern> ParserFor(const std::string& firstLine);

  testsupport::TTempDir Dir;
  testsupport::TMemorySettingsStore Store;
  testsupport::TFakeDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;
};

}  // namespace parsertest
