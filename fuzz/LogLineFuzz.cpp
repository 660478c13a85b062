// Line splitting, field access and log dates over arbitrary log text, with each installed
// log-type description, with the choice among all of them, and with W3C headers.
//
// Input: byte 0 picks the description, the rest is the log. With a single description the
// log starts with a line that suits it, so that the rest is split as that description's
// lines; with the choice the rest is the whole log; in W3C mode a "#Software" line is put
// before it and the fuzzer writes the "#Fields" line.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "config/WSGlobal.h"
#include "log/LogDate.h"
#include "log/QelNewFile.h"
#include "log/W2SearchPat.h"
#include "support/Fakes.h"

namespace fs = std::filesystem;
using fuzzsupport::Fail;

namespace {

constexpr const char* CombinedLine =
    "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326 \"http://www.example.com/\" \"Mozilla/4.08\"";
constexpr const char* CommonLine = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326";

// A first line that suits the description of that file name.
std::string FirstLineFor(const std::string& name) {
  const bool combined = name.find("combined") != std::string::npos;
  std::string line = combined ? CombinedLine : CommonLine;
  if (name.find("vhost") != std::string::npos) line = "www.example.com " + line;
  if (name.find("forwarded") != std::string::npos) line += " \"-\"";
  return line;
}

struct TMode {
  std::unique_ptr<TDSearchPattern> Parser;
  std::string FirstLine;  // empty: the input is the whole log
  bool W3C = false;
};

struct TSetup {
  testsupport::TMemorySettingsStore Store;
  TSilentDialogs Dialogs;
  std::unique_ptr<Tglobals> Globals;
  std::vector<TMode> Modes;

  TSetup() {
    const std::string installed = TREVALO_FUZZ_CONFIG;
    const std::string programDir = fuzzsupport::WorkDir() + "program/";
    const std::string configDir = programDir + "config/";
    fs::create_directories(programDir);
    fs::copy(installed, configDir, fs::copy_options::recursive);
    Globals = std::make_unique<Tglobals>(Store, Dialogs, programDir);

    std::vector<fs::path> descriptions;
    for (const auto& entry : fs::directory_iterator(configDir + "LogTypes")) descriptions.push_back(entry.path());
    std::sort(descriptions.begin(), descriptions.end());
    for (std::size_t i = 0; i < descriptions.size(); ++i) {
      const std::string single = fuzzsupport::WorkDir() + "single" + std::to_string(i) + "/";
      fs::create_directories(single + "LogTypes");
      fs::copy_file(configDir + "search.txt", single + "search.txt");
      fs::copy_file(descriptions[i], single + "LogTypes/" + descriptions[i].filename().string());
      Modes.push_back({std::make_unique<TDSearchPattern>(*Globals, single),
                       FirstLineFor(descriptions[i].filename().string()), false});
    }
    Modes.push_back({std::make_unique<TDSearchPattern>(*Globals, configDir), {}, false});
    Modes.push_back({std::make_unique<TDSearchPattern>(*Globals, configDir), {}, true});
  }
};

void CheckDateText(double value) {
  if (!std::isfinite(value)) return;
  std::string text;
  AppendDateText(text, value);
  double back = 0;
  if (!TryReadDateText(text, back) || back != value) Fail("a date text does not read back to its value");
}

// The date and number readers on one piece of text: none may throw but the documented way.
void ExerciseText(std::string_view text) {
  double date = 0;
  const bool logDate = TryParseLogDate(text, date);
  if (logDate != TDSearchPattern::IsLogDate(text)) Fail("IsLogDate disagrees with TryParseLogDate");
  if (logDate) {
    if (TDSearchPattern::ParseLogDate(text) != date) Fail("ParseLogDate gives another value");
    CheckDateText(date);
  } else {
    try {
      TDSearchPattern::ParseLogDate(text);
      Fail("ParseLogDate read a text that is no log date");
    } catch (const EConvertError&) {
    }
  }
  if (TryParseW3CDateTime(text, date)) CheckDateText(date);
  std::int64_t number = 0;
  TryParseInteger(text, number);
}

void ExerciseLine(TDSearchPattern& parser, const std::string& line, std::vector<std::string>& fields) {
  parser.SplitLine(line, fields);
  parser.MatchesLine(line);
  for (const std::string& field : fields) ExerciseText(field);

  parser.BeginLine(&line);
  for (int k = 0; k <= static_cast<int>(TFieldKind::UserAgent); ++k) {
    try {
      ExerciseText(parser.GetField(line, static_cast<TFieldKind>(k)));
    } catch (const ETDSearchPatternError&) {
    }
  }
  try {
    parser.GetDateTime(line);
  } catch (const ETDSearchPatternError&) {
  } catch (const EConvertError&) {
  }
  for (TFieldKind kind : {TFieldKind::StatusCode, TFieldKind::Bytes}) {
    try {
      parser.GetInteger(line, kind);
      parser.GetInt64(line, kind);
    } catch (const ETDSearchPatternError&) {
    } catch (const EConvertError&) {
    }
  }
  parser.BeginLine(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TSetup setup;
  if (size < 1) return 0;
  TMode& mode = setup.Modes[data[0] % setup.Modes.size()];
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string log;
  if (mode.W3C) log = "#Software: fuzz\r\n";
  if (!mode.FirstLine.empty()) log += mode.FirstLine + "\r\n";
  log += input;
  const std::string path = fuzzsupport::WorkDir() + "input.log";
  fuzzsupport::WriteFile(path, log);

  TDSearchPattern& parser = *mode.Parser;
  try {
    if (!parser.SelectLogType({path})) {
      if (!mode.FirstLine.empty()) Fail("a description does not take its own first line");
      return 0;
    }
  } catch (const EQelFileError&) {
    return 0;  // a first line too long for the reader
  }
  if (mode.W3C && !parser.W3C()) Fail("a W3C log was not taken as one");
  if (!mode.FirstLine.empty() && parser.W3C()) Fail("a log of a description was taken as W3C");

  TQelBufferedFile reader;
  reader.SetFileName(path);
  reader.Open(omReadExisting);
  std::string line;
  std::vector<std::string> fields;
  std::int64_t physical = 0;
  try {
    while (!reader.Eof()) {
      const std::int64_t before = reader.GetPosition();
      parser.ReadLogLine(reader, line, physical);
      if (reader.GetPosition() <= before) Fail("ReadLogLine did not move on");
      if (!line.empty()) ExerciseLine(parser, line, fields);
    }
  } catch (const EQelFileError&) {
    // a line longer than the reader takes
  }
  reader.Close();
  return 0;
}
